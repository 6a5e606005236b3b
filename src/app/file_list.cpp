#include "app/file_list.h"

#include <QMouseEvent>
#include <QSignalBlocker>

#include "app/qt_text.h"

namespace m2v::app {

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemSelectionChanged, this, [this] {
    if (!selectedItems().isEmpty()) emit clicked();
  });
}

void FileList::fill(const std::vector<std::u16string>& names) {
  // A new listing starts with nothing selected, and that is no click.
  const QSignalBlocker quiet(this);
  clear();
  for (const std::u16string& name : names) addItem(ToQString(name));
}

QString FileList::fileName() const {
  const QList<QListWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? QString() : selected.front()->text();
}

void FileList::mousePressEvent(QMouseEvent* event) {
  const QListWidgetItem* before = selectedItems().isEmpty() ? nullptr : selectedItems().front();
  QListWidget::mousePressEvent(event);
  // A click on the file already selected changes no selection but is still a click.
  if (before != nullptr && itemAt(event->position().toPoint()) == before) emit clicked();
}

}  // namespace m2v::app
