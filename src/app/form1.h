#pragma once

// The one window: pick a survey file on the left and a destination folder on the right,
// run the conversion, read the outcome on the message line.

#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>

#include "app/message_boxes.h"
#include "convert/run_host.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace m2v::app {

class DriveList;
class FileList;
class FolderList;

inline constexpr char16_t kCaption[] = u"ミルタ版 -> Vesk 変換プログラム";

class Form1 : public QWidget, public convert::RunHost {
  Q_OBJECT

 public:
  // Every control in place; nothing read yet. Message boxes go through `boxes`.
  explicit Form1(MessageBoxes& boxes, QWidget* parent = nullptr);
  ~Form1() override;

  // Start-up, before the window is shown. False after the pattern-folder message: the
  // program must then end without showing the window.
  bool Form_Load();

  const std::u16string& patternFolder() const { return PatternFolder; }
  std::int16_t messageShown() const { return MessageShown; }

  // The conversion run's view of the window.
  std::u16string SourceText() override;
  std::u16string DestinationText() override;
  void SetMessageLine(std::u16string_view text) override;
  void ProcessPendingEvents() override;
  void ShowMessage(std::u16string_view text, convert::MessageIcon icon,
                   std::u16string_view title) override;
  bool AskYesNo(std::u16string_view text) override;
  void SelectDestinationText() override;
  void SetBusy(bool busy) override;
  void ReportFailure(std::u16string_view text) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Drive1_Change();
  void Drive2_Change();
  void Dir1_Change();
  void Dir2_Change();
  void File1_Click();
  void Command1_Click();
  void Command2_Click();
  void Picture1_MouseMove();

  void ChangeDrive(DriveList* drive_list, FolderList* dir, QString& last_drive);
  // An empty title stands for the application's own.
  bool ShowBox(Box box);

  MessageBoxes& boxes_;
  bool busy_ = false;

  std::u16string PatternFolder;
  std::int16_t MessageShown = 0;
  QString LastDrive1;
  QString LastDrive2;

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
inline constexpr int kExitNoPatternFolder = 1;
int RunMainWindow(MessageBoxes& boxes);

}  // namespace m2v::app
