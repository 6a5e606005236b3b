#include "app/drive_list.h"

#include <QSignalBlocker>

#include "platform/platform.h"

namespace m2v::app {
namespace {

QString DriveName(char16_t letter) { return QString(QChar(letter)) + QLatin1Char(':'); }

}  // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  fill(DriveName(platform::CurrentDrive()));
  connect(this, &QComboBox::currentIndexChanged, this, &DriveList::changed);
}

bool DriveList::setDrive(const QString& drive) {
  if (drive.size() < 2 || drive[1] != QLatin1Char(':')) return false;
  const int index = findText(drive.left(2).toUpper());
  if (index < 0) return false;
  setCurrentIndex(index);
  return true;
}

void DriveList::showPopup() {
  fill(drive());
  QComboBox::showPopup();
}

void DriveList::fill(const QString& keep) {
  const QSignalBlocker quiet(this);
  QStringList names;
  for (char16_t letter : platform::Drives()) names.append(DriveName(letter));
  // The drive shown stays even when it has left the table, until another is chosen.
  if (!keep.isEmpty() && !names.contains(keep)) {
    names.append(keep);
    names.sort();
  }
  clear();
  addItems(names);
  setCurrentIndex(findText(keep));
}

}  // namespace m2v::app
