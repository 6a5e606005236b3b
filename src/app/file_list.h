#pragma once

// A file list: the files of one folder whose names match a pattern ("*.ddf"), compared
// without regard to letter case. Selecting a file, or clicking the selected one, raises
// clicked().

#include <QListWidget>
#include <QRegularExpression>
#include <QString>

namespace m2v::app {

class FileList : public QListWidget {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent = nullptr);

  // One or more wildcard patterns separated by ";". Reads the folder again when it changes.
  void setPattern(const QString& pattern);
  QString pattern() const { return pattern_; }
  // The folder listed, drive-form. Reads the folder again.
  void setPath(const QString& folder);
  QString path() const { return path_; }
  // The name of the selected file; empty when none is selected.
  QString fileName() const;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void refill();

  QString pattern_;
  QRegularExpression matcher_;
  QString path_;
};

}  // namespace m2v::app
