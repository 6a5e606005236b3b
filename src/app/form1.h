#pragma once

// The one window: pick a survey file on the left and a destination folder on the right,
// run the conversion, read the outcome on the message line.

#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "app/form_logic.h"
#include "app/form_view.h"
#include "app/message_boxes.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace m2v::app {

class DriveList;
class FileList;
class FolderList;

class Form1 : public QWidget, private FormView {
  Q_OBJECT

 public:
  // Every control in place; nothing read yet. Message boxes go through `boxes`.
  explicit Form1(MessageBoxes& boxes, QWidget* parent = nullptr);
  ~Form1() override;

  // Start-up, before the window is shown. False after the pattern-folder message: the
  // program must then end without showing the window.
  bool Form_Load() { return form_.Form_Load(); }

  const std::u16string& patternFolder() const { return form_.patternFolder(); }
  std::int16_t messageShown() const { return form_.messageShown(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CentreOnScreen() override;
  std::u16string SourceText() override;
  void SetSourceText(std::u16string_view text) override;
  std::u16string DestinationText() override;
  void SetDestinationText(std::u16string_view text) override;
  void SelectDestinationText() override;
  void ShowDrives(Side side, const std::vector<std::u16string>& drives,
                  std::size_t current) override;
  void ShowFolders(Side side, const std::vector<FolderRow>& rows, std::size_t current) override;
  void ShowFiles(const std::vector<std::u16string>& names) override;
  void SetMessageLine(std::u16string_view text) override;
  void ProcessPendingEvents() override;
  bool ShowBox(const BoxContent& box) override;
  void SetBusy(bool busy) override;
  void Close() override;

  MessageBoxes& boxes_;
  bool busy_ = false;
  FormLogic form_;

  QWidget* Picture1;
  QGroupBox* Frame1;
  FolderList* Dir1;
  DriveList* Drive1;
  FileList* File1;
  QGroupBox* Frame2;
  FolderList* Dir2;
  DriveList* Drive2;
  QPushButton* Command1;
  QPushButton* Command2;
  QLineEdit* Text1;
  QLabel* Label1;
  QLabel* Label2;
  QLineEdit* Text2;
  QGroupBox* Frame3;
  QLabel* Label3;
};

// The program after QApplication exists: start-up, then the window's events until it
// closes. The exit status: 0 when the window was closed, kExitNoPatternFolder when
// start-up refused to open it.
int RunMainWindow(MessageBoxes& boxes);

}  // namespace m2v::app
