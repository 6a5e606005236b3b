#include "app/folder_list.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include "app/qt_text.h"

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

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new IndentDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::open);
}

bool FolderList::setPath(const QString& path) { return opener_ && opener_(path); }

void FolderList::fill(const std::vector<FolderRow>& rows, std::size_t current) {
  clear();
  const QIcon open_icon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed_icon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  for (const FolderRow& row : rows) {
    auto* item = new QListWidgetItem(row.open ? open_icon : closed_icon, ToQString(row.text), this);
    item->setData(kPathRole, ToQString(row.path));
    item->setData(kDepthRole, row.depth);
  }
  path_ = current < rows.size() ? ToQString(rows[current].path) : QString();
  setCurrentRow(static_cast<int>(current));
}

void FolderList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    open(currentItem());
    return;
  }
  QListWidget::keyPressEvent(event);
}

void FolderList::open(const QListWidgetItem* item) {
  if (item != nullptr) setPath(item->data(kPathRole).toString());
}

}  // namespace m2v::app
