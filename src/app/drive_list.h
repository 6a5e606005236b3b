#pragma once

// A drive list: the drives as "C:", "D:" ..., one of them shown. What it lists and shows is
// decided by the form; the list reports the person's choice and its opening.

#include <QComboBox>
#include <QString>

#include <string>
#include <vector>

namespace m2v::app {

class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // The drive shown, "D:".
  QString drive() const { return currentText(); }
  // Lists the drives and shows one, reporting nothing.
  void fill(const std::vector<std::u16string>& drives, std::size_t current);

  void showPopup() override;

 signals:
  // The drive shown changed by a choice, not by show().
  void chosen(const QString& drive);
  // The list is about to open.
  void opening();
};

}  // namespace m2v::app
