#include "app/folder_list.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "app/qt_text.h"
#include "platform/platform.h"

namespace m2v::app {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 8;

// Each level of the tree is drawn a little further right, as in a tree without lines.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem shifted(option);
    shifted.rect.setLeft(shifted.rect.left() + Indent(index));
    QStyledItemDelegate::paint(painter, shifted, index);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QStyledItemDelegate::sizeHint(option, index) + QSize(Indent(index), 0);
  }

 private:
  static int Indent(const QModelIndex& index) {
    return index.data(kDepthRole).toInt() * kIndentPixels;
  }
};

bool IsDriveAlone(const std::u16string& path) { return path.size() == 2 && path[1] == u':'; }

// "D:\A\" -> "D:\A"; a root keeps its "\".
std::u16string WithoutTrailingSeparator(std::u16string path) {
  while (path.size() > 3 && path.back() == u'\\') path.pop_back();
  return path;
}

std::u16string Child(const std::u16string& folder, const std::u16string& name) {
  return folder.back() == u'\\' ? folder + name : folder + u'\\' + name;
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new IndentDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  path_ = ToQString(platform::CurrentFolder(platform::CurrentDrive()));
  refill();
  connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::open);
}

bool FolderList::setPath(const QString& path) {
  const std::u16string asked = ToU16(path);
  std::u16string full = WithoutTrailingSeparator(platform::FullPath(asked));
  if (full.size() < 3 || !platform::CanSelectDrive(full[0])) return false;
  if (!platform::FolderExists(full)) {
    // A drive whose remembered folder has gone opens at its root, so it stays reachable.
    if (!IsDriveAlone(asked)) return false;
    full.resize(3);
  }
  const QString shown = ToQString(full);
  const bool differs = shown != path_;
  path_ = shown;
  refill();
  if (differs) emit changed();
  return true;
}

void FolderList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    open(currentItem());
    return;
  }
  QListWidget::keyPressEvent(event);
}

void FolderList::open(const QListWidgetItem* item) {
  if (item == nullptr) return;
  // A folder that went away since the list was read: show what is there now.
  if (!setPath(item->data(kPathRole).toString())) refill();
}

void FolderList::refill() {
  clear();
  const std::u16string current = ToU16(path_);
  const QIcon open_icon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed_icon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  auto add = [this](const QString& text, const std::u16string& path, int depth, const QIcon& icon) {
    auto* item = new QListWidgetItem(icon, text, this);
    item->setData(kPathRole, ToQString(path));
    item->setData(kDepthRole, depth);
  };

  // The way down from the root, each level on its own line.
  std::u16string walked = current.substr(0, 3);
  add(ToQString(walked), walked, 0, open_icon);
  int depth = 0;
  for (std::size_t start = 3; start < current.size();) {
    std::size_t end = current.find(u'\\', start);
    if (end == std::u16string::npos) end = current.size();
    const std::u16string name = current.substr(start, end - start);
    walked = Child(walked, name);
    add(ToQString(name), walked, ++depth, open_icon);
    start = end + 1;
  }
  const int current_row = count() - 1;
  for (const QString& name : SortedCaseBlind(platform::ListFolders(current))) {
    add(name, Child(current, ToU16(name)), depth + 1, closed_icon);
  }
  setCurrentRow(current_row);
}

}  // namespace m2v::app
