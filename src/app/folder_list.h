#pragma once

// A folder list: the folders from the drive's root down to the one shown, then that
// folder's subfolders. A double-click (or Return) opens a folder. What it lists is decided
// by the form; opening a folder goes through the opener that the form's window gives it.

#include <QListWidget>
#include <QString>

#include <functional>
#include <vector>

#include "app/form_view.h"

namespace m2v::app {

class FolderList : public QListWidget {
  Q_OBJECT

 public:
  // Asks for a folder to be shown; false when it cannot be read.
  using Opener = std::function<bool(const QString& path)>;

  explicit FolderList(QWidget* parent = nullptr);

  void setOpener(Opener opener) { opener_ = std::move(opener); }
  // "D:\SURVEY\HOLE1", or "D:\" at a drive's root.
  QString path() const { return path_; }
  // Shows another folder through the opener: a drive-form path, absolute or relative to
  // the current folders, or a drive alone ("D:"). False when it cannot be read.
  bool setPath(const QString& path);
  // Lists the rows, marking `current` as the folder shown, reporting nothing.
  void fill(const std::vector<FolderRow>& rows, std::size_t current);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void open(const QListWidgetItem* item);

  Opener opener_;
  QString path_;
};

}  // namespace m2v::app
