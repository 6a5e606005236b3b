#include "app/file_list.h"

#include <QMouseEvent>
#include <QSignalBlocker>

#include "app/qt_text.h"
#include "platform/platform.h"

namespace m2v::app {

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setPattern(QStringLiteral("*.*"));
  connect(this, &QListWidget::itemSelectionChanged, this, [this] {
    if (!selectedItems().isEmpty()) emit clicked();
  });
}

void FileList::setPattern(const QString& pattern) {
  if (pattern == pattern_) return;
  pattern_ = pattern;
  QStringList alternatives;
  for (const QString& one : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    alternatives.append(QRegularExpression::wildcardToRegularExpression(one.trimmed()));
  }
  matcher_ = QRegularExpression(alternatives.join(QLatin1Char('|')),
                                QRegularExpression::CaseInsensitiveOption);
  refill();
}

void FileList::setPath(const QString& folder) {
  path_ = folder;
  refill();
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

void FileList::refill() {
  // A new listing starts with nothing selected, and that is no click.
  const QSignalBlocker quiet(this);
  clear();
  if (path_.isEmpty()) return;
  for (const QString& name : SortedCaseBlind(platform::ListFiles(ToU16(path_)))) {
    if (matcher_.match(name).hasMatch()) addItem(name);
  }
}

}  // namespace m2v::app
