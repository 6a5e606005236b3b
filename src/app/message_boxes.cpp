#include "app/message_boxes.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace m2v::app {
namespace {

// A question that only Yes or No answers, as the platform's own Yes/No boxes: Esc and
// the window's close button leave it standing (QMessageBox would take them for No).
class YesNoBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) return;
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

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
  if (!box.yes_no) {
    QMessageBox dialog(ToQtIcon(box.icon), box.title, box.text, QMessageBox::Ok, parent);
    dialog.exec();
    return false;
  }
  YesNoBox dialog(ToQtIcon(box.icon), box.title, box.text, QMessageBox::Yes | QMessageBox::No,
                  parent);
  dialog.setWindowFlag(Qt::WindowCloseButtonHint, false);
  // The users read Japanese buttons in every other box on their desktop; Qt ships English.
  dialog.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
  dialog.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
  // Yes/No boxes start on Yes, as the platform's own do.
  dialog.setDefaultButton(QMessageBox::Yes);
  return dialog.exec() == QMessageBox::Yes;
}

}  // namespace m2v::app
