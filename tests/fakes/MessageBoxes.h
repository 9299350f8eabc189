#pragma once
// The message boxes a test toolkit recorded, compared with the ones the user should have seen:
// text, title, buttons, icon and default button, with every difference named.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Toolkit.h"

namespace fakes {

// Whether exactly these boxes were shown, in this order.
inline ::testing::AssertionResult showedBoxes(const std::vector<ui::MessageBoxRequest>& shown,
                                              const std::vector<ui::MessageBoxRequest>& expected) {
  if (shown.size() != expected.size()) {
    auto failure = ::testing::AssertionFailure()
                   << shown.size() << " boxes shown where " << expected.size() << " were expected";
    for (const ui::MessageBoxRequest& box : shown) failure << "\n  shown: \"" << box.text << "\"";
    return failure;
  }
  std::string differences;
  const auto compare = [&](std::size_t i, const char* what, const auto& got, const auto& wanted) {
    if (got == wanted) return;
    differences += "\n  box " + std::to_string(i + 1) + " " + what + ": " + ::testing::PrintToString(got) +
                   ", expected " + ::testing::PrintToString(wanted);
  };
  for (std::size_t i = 0; i < shown.size(); ++i) {
    compare(i, "text", shown[i].text, expected[i].text);
    compare(i, "title", shown[i].title, expected[i].title);
    compare(i, "buttons", static_cast<int>(shown[i].buttons), static_cast<int>(expected[i].buttons));
    compare(i, "icon", static_cast<int>(shown[i].icon), static_cast<int>(expected[i].icon));
    compare(i, "default button", shown[i].defaultButton, expected[i].defaultButton);
  }
  if (differences.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the boxes shown differ:" << differences;
}

// Whether this box, and no other, was shown.
inline ::testing::AssertionResult showedOneBox(const std::vector<ui::MessageBoxRequest>& shown,
                                               const ui::MessageBoxRequest& expected) {
  return showedBoxes(shown, {expected});
}

}  // namespace fakes
