#pragma once

// A drive list: the drives of the platform as "C:", "D:" ..., starting on the current drive.

#include <QComboBox>
#include <QString>

namespace m2v::app {

class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // The drive shown, "D:".
  QString drive() const { return currentText(); }
  // Shows another drive ("D:", or any text starting with its letter and ":"). Raises
  // changed() when the drive differs. False, with nothing changed, when the list has no
  // such drive.
  bool setDrive(const QString& drive);

  // Reads the drives again before opening, as media and mapped drives come and go.
  void showPopup() override;

 signals:
  // The drive shown changed, by the user or by setDrive().
  void changed();

 private:
  void fill(const QString& keep);
};

}  // namespace m2v::app
