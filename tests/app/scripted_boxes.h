#pragma once

// Message boxes for window tests: every box is recorded, questions take scripted answers,
// and nothing waits for a person.

#include <QApplication>
#include <QWidget>

#include <deque>
#include <vector>

#include "app/message_boxes.h"

namespace m2v::test {

class ScriptedBoxes : public app::MessageBoxes {
 public:
  struct Shown {
    app::Box box;
    int visible_windows = 0;  // top-level widgets on screen while the box stood
    bool busy_cursor = false;
  };

  bool Show(QWidget*, const app::Box& box) override {
    int visible = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets()) visible += widget->isVisible();
    shown.push_back({box, visible, QApplication::overrideCursor() != nullptr});
    if (!box.yes_no || answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<Shown> shown;
  std::deque<bool> answers;  // for Yes/No boxes, in order; No when none is left
};

}  // namespace m2v::test
