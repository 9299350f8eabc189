#pragma once
// The part both test toolkits share: message boxes answered from a queue and recorded (an
// unexpected box fails the test; fakes::showedBoxes compares them), and a count of the event passes.
// What happens while a box waits for its answer (a window's timer firing) is the test's whileBoxOpen.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

#include "fakes/MessageBoxes.h"
#include "ui/Toolkit.h"

namespace fakes {

template <typename Base>
class ScriptedToolkit : public Base {
 public:
  void initCommonControls() override {}
  ui::Answer messageBox(const ui::MessageBoxRequest& request) override {
    shown.push_back(request);
    if (whileBoxOpen) whileBoxOpen(request);
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected message box \"" << request.title << "\": " << request.text;
      return ui::Answer::OK;
    }
    ui::Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void processPendingEvents() override { ++eventsProcessed; }
  // Queues the answer of the next box.
  void expectBox(ui::Answer answer = ui::Answer::OK) { answers.push_back(answer); }

  int eventsProcessed = 0;
  std::function<void(const ui::MessageBoxRequest&)> whileBoxOpen;
  std::deque<ui::Answer> answers;
  std::vector<ui::MessageBoxRequest> shown;
};

}  // namespace fakes
