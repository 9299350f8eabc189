#include "manager/engine/EngineTasks.h"

#include "base/ClassicRuntime.h"
#include "resources/manager/Texts.h"

namespace krv {
namespace {

constexpr const char* kUnattended = "#";
constexpr const char* kRemoveTitle = " Remove Snapshot";

struct TaskError {
  std::int32_t code;
  text::Id text;
};

constexpr TaskError kTaskErrors[] = {
    {-103, text::ServiceNotInstalled},   {-105, text::PipesBusy},        {-107, text::PipeReadError},
    {-109, text::InsufficientDiskSpace}, {-111, text::ServiceDisabled},  {-123, text::SnapshotNotEmpty},
    {-125, text::SourceInUse},           {-127, text::DestinationInUse}, {-203, text::SnapshotExists},
    {-207, text::InvalidSnapshotName},   {-215, text::SnapshotFrozen},   {-221, text::GroupPasswordInvalid},
    {-255, text::TooManyExcluded},       {-259, text::NoStaticCopy},
};

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// The part of a tool's command line after " EXCLUDE ", when there is a list at all.
std::string exclusionPart(const std::string& exclusions) {
  if (classic::trimSpaces(exclusions).empty()) return {};
  return " EXCLUDE " + exclusions;
}

// A name of an existing area is quoted on the tool's command line: a quotation mark inside it
// would end the argument early and pass the rest as further arguments.
bool quotable(const std::string& name) {
  return name.find('"') == std::string::npos;
}

}  // namespace

std::int32_t EngineTasks::run(const std::string& commandLine, bool wait) {
  return s_.helpers.RunTool(commandLine, kToolWindowStyle, wait) != 0 ? kResultOK : kToolNotStarted;
}

std::int32_t EngineTasks::StartCopyTask(std::string& source, std::string& destination,
                                        const std::string& exclusions, bool fromWindow, bool wait) {
  source = Snapshots::areaName(source);
  destination = Snapshots::areaName(destination);
  if (source.empty() || !quotable(source) || !Snapshots::validNewName(destination)) return kInvalidName;

  // The tool sees its title as its first argument, whatever the folder holds.
  const std::string program = Commons::ProgramPath(s_.table.programFolder, kToolName);
  const std::string title = (fromWindow ? "" : kUnattended) + s_.strings.text(text::CopyTitle);
  const std::string commandLine = program + " " + quoted(title) + " COPY " + quoted(source) + " " +
                                  quoted(destination) + exclusionPart(exclusions);
  return run(commandLine, wait);
}

std::int32_t EngineTasks::StartSizeTask(const std::string& name, const std::string& exclusions) {
  const std::string area = Snapshots::areaName(name);
  if (area.empty()) return kBlankName;
  if (!quotable(area)) return kInvalidName;
  return run(std::string(kToolName) + " " + quoted(s_.strings.text(text::CalculateTitle)) + " SIZE " +
                 quoted(area) + exclusionPart(exclusions),
             false);
}

std::int32_t EngineTasks::StartRemoveTask(const std::string& name) {
  const std::string area = Snapshots::areaName(name);
  if (area.empty()) return kBlankName;
  if (!quotable(area)) return kInvalidName;
  return run(std::string(kToolName) + " " + quoted(std::string(kProductName) + kRemoveTitle) + " REMOVE " +
                 quoted(area),
             false);
}

std::string EngineTasks::TaskErrorText(std::int32_t code) const {
  for (const TaskError& error : kTaskErrors)
    if (error.code == code) return s_.strings.text(error.text);
  if (code == kToolNotStarted)
    return s_.strings.text(text::CannotLaunch) + " " + s_.table.programFolder + kToolName;
  // The negated code keeps a place for its sign: -99 shows " 99", 5 shows "-5".
  return s_.strings.text(text::InternalError) + " " +
         classic::signedNumberText(-static_cast<std::int64_t>(code)) + " " +
         s_.strings.text(text::NotifyAdministrator);
}

void EngineTasks::ShowTaskError(std::int32_t code) {
  if (code == kResultOK) return;
  s_.toolkit.messageBox({TaskErrorText(code), s_.strings.text(text::TaskErrorTitle), ui::Buttons::OK,
                         ui::Icon::Exclamation, 1});
}

}  // namespace krv
