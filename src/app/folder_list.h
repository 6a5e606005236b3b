#pragma once

// A folder list: the folders from the drive's root down to the current one, then the
// current folder's subfolders. A double-click (or Return) opens a folder.

#include <QListWidget>
#include <QString>

namespace m2v::app {

class FolderList : public QListWidget {
  Q_OBJECT

 public:
  // Starts on the current folder of the current drive.
  explicit FolderList(QWidget* parent = nullptr);

  // "D:\SURVEY\HOLE1", or "D:\" at a drive's root.
  QString path() const { return path_; }
  // Shows another folder: a drive-form path, absolute or relative to the current folders,
  // or a drive alone ("D:"), meaning that drive's current folder. Raises changed() when the
  // path differs. False, with nothing changed, when the folder cannot be read.
  bool setPath(const QString& path);

 signals:
  // The path changed, by the user or by setPath().
  void changed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void open(const QListWidgetItem* item);
  void refill();

  QString path_;
};

}  // namespace m2v::app
