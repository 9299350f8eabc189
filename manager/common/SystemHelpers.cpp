#include "manager/common/SystemHelpers.h"

#include "manager/common/Commons.h"
#include "manager/engine/EngineBuffers.h"
#include "resources/manager/Texts.h"

namespace krv {
namespace {

constexpr const char* kWebScheme = "http://";
// The shell's results below this are failures.
constexpr std::intptr_t kShellSuccessFrom = 32;

}  // namespace

std::uint32_t SystemHelpers::RunTool(const std::string& commandLine, std::int16_t windowStyle, bool wait) {
  // Held from the start to the end of the wait: the identifier of a program that has ended may
  // pass to another one, which a wait by identifier would then watch instead.
  const platform::ProcessHandle process = s_.processes.start(commandLine, windowStyle);
  if (!process) return 0;
  if (!wait) return process.id();

  // Asked of the process itself, not read from its exit code: a program may end with the code
  // that otherwise means "still running".
  bool running = true;
  do {
    s_.processes.sleep(kWaitStepMilliseconds);
    running = s_.processes.running(process);
    s_.toolkit.processPendingEvents();
  } while (running);
  return process.id();
}

platform::WindowHandle SystemHelpers::NotifyMonitor(platform::WindowHandle sender, const std::string& text) {
  // The message keeps room for the NUL, so the monitor always finds the end of the text.
  auto message = AnsiBuffer::holding(s_.codec, text, kMonitorMessageBytes);
  if (!message) return 0;
  const platform::WindowHandle monitor = s_.windows.findByTitle(kMonitorTitle);
  if (monitor == 0) return 0;
  s_.windows.sendCopyData(monitor, sender, kMonitorDataKind, std::string(message->data(), message->size()));
  return monitor;
}

void SystemHelpers::showSystemError(const std::string& what, std::uint32_t code) {
  s_.toolkit.messageBox({what + std::to_string(code), s_.strings.text(text::KorvaneError), ui::Buttons::OK,
                         ui::Icon::Critical, 1});
}

void SystemHelpers::RestartComputer() {
  // Each step that fails is reported and the next one is tried all the same.
  if (const auto step = s_.shutdown.openProcessToken(); !step.ok)
    showSystemError("OpenProcessToken error =", step.error);
  if (const auto step = s_.shutdown.lookupPrivilege(kShutdownPrivilege); !step.ok)
    showSystemError("LookupPrivilegeValue error =", step.error);
  if (const auto step = s_.shutdown.enablePrivilege(); !step.ok)
    showSystemError("AdjustTokenPrivileges error==", step.error);
  const auto restart = s_.shutdown.exitWindows(kRebootFlags, kRebootReason);
  if (restart.ok) s_.system.exitProcess(0);
  showSystemError("ExitWindowsEx error =", restart.error);
}

void SystemHelpers::OpenWebAddress(const std::string& address) {
  const std::string target = kWebScheme + address;
  const std::intptr_t result = s_.shell.open(target);
  if (result >= kShellSuccessFrom) return;
  s_.toolkit.messageBox({"Error " + std::to_string(result) + " opening " + target, "Error", ui::Buttons::OK,
                         ui::Icon::Critical, 1});
}

}  // namespace krv
