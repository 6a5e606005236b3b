#pragma once

// The window's message boxes behind one seam, so that tests can read every box and answer
// the questions without a person.

#include <QString>

#include "app/form_view.h"

class QWidget;

namespace m2v::app {

struct Box {
  QString text{};
  QString title{};
  BoxIcon icon = BoxIcon::kNone;
  bool yes_no = false;  // Yes and No buttons instead of OK
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box modally over `parent` (none before the window exists) until it is
  // answered. True when the answer is Yes; an OK box always gives false.
  virtual bool Show(QWidget* parent, const Box& box) = 0;
};

// Real QMessageBox dialogs.
class QtMessageBoxes final : public MessageBoxes {
 public:
  bool Show(QWidget* parent, const Box& box) override;
};

}  // namespace m2v::app
