#include "app/drive_list.h"

#include <QSignalBlocker>

#include "app/qt_text.h"

namespace m2v::app {

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::currentIndexChanged, this, [this] { emit chosen(drive()); });
}

void DriveList::fill(const std::vector<std::u16string>& drives, std::size_t current) {
  const QSignalBlocker quiet(this);
  clear();
  for (const std::u16string& name : drives) addItem(ToQString(name));
  setCurrentIndex(static_cast<int>(current));
}

void DriveList::showPopup() {
  // Media and mapped drives come and go: the owner reads them again first.
  emit opening();
  QComboBox::showPopup();
}

}  // namespace m2v::app
