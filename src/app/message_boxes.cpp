#include "app/message_boxes.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace m2v::app {
namespace {

QMessageBox::Icon ToQtIcon(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kInformation:
      return QMessageBox::Information;
    case BoxIcon::kExclamation:
      return QMessageBox::Warning;
    case BoxIcon::kQuestion:
      return QMessageBox::Question;
    case BoxIcon::kCritical:
      return QMessageBox::Critical;
    case BoxIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

bool QtMessageBoxes::Show(QWidget* parent, const Box& box) {
  QMessageBox dialog(ToQtIcon(box.icon), box.title, box.text,
                     box.yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
  // The users read Japanese buttons in every other box on their desktop; Qt ships English.
  if (box.yes_no) {
    dialog.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    dialog.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    // Yes/No boxes start on Yes, as the platform's own do.
    dialog.setDefaultButton(QMessageBox::Yes);
  }
  return dialog.exec() == QMessageBox::Yes;
}

}  // namespace m2v::app
