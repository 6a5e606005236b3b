#pragma once

// A file list: the survey files of one folder, as the form lists them. Selecting a file,
// or clicking the selected one, raises clicked().

#include <QListWidget>
#include <QString>

#include <string>
#include <vector>

namespace m2v::app {

class FileList : public QListWidget {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent = nullptr);

  // Lists the names, none selected, reporting nothing.
  void fill(const std::vector<std::u16string>& names);
  // The name of the selected file; empty when none is selected.
  QString fileName() const;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace m2v::app
