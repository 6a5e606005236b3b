#include "app/form1.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include <filesystem>
#include <optional>

#include "app/drive_list.h"
#include "app/file_list.h"
#include "app/folder_list.h"
#include "app/qt_text.h"
#include "convert/pattern_folder_setting.h"
#include "convert/run.h"
#include "platform/platform.h"

namespace m2v::app {
namespace {

// The window was laid out in twips; 15 twips make one device-independent pixel.
constexpr int kTwipsPerPixel = 15;

int Pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

template <typename W>
W* Make(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* widget = new W(parent);
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(Pixels(left), Pixels(top), Pixels(width), Pixels(height));
  return widget;
}

// Picture1, the frames and the labels all paint the same light grey.
void PaintGrey(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, QColor(192, 192, 192));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

QGroupBox* MakeFrame(QWidget* parent, const char* name, const char16_t* caption, int left, int top,
                     int width, int height) {
  auto* frame = Make<QGroupBox>(parent, name, left, top, width, height);
  frame->setTitle(ToQString(caption));
  PaintGrey(frame);
  return frame;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char16_t* caption, int left, int top,
                  int width, int height) {
  auto* label = Make<QLabel>(parent, name, left, top, width, height);
  label->setText(ToQString(caption));
  PaintGrey(label);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char16_t* caption, int left,
                        int top, int width, int height) {
  auto* button = Make<QPushButton>(parent, name, left, top, width, height);
  button->setText(ToQString(caption));
  return button;
}

BoxIcon ToBoxIcon(convert::MessageIcon icon) {
  switch (icon) {
    case convert::MessageIcon::kInformation:
      return BoxIcon::kInformation;
    case convert::MessageIcon::kExclamation:
      return BoxIcon::kExclamation;
    case convert::MessageIcon::kNone:
      break;
  }
  return BoxIcon::kNone;
}

// The drive-form path of the one survey file being dragged, if that is what it is.
std::optional<QString> DroppedSurveyFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls() || mime->urls().size() != 1) return std::nullopt;
  const QUrl url = mime->urls().front();
  if (!url.isLocalFile()) return std::nullopt;
  const QString file = url.toLocalFile();
  if (!file.endsWith(QStringLiteral(".ddf"), Qt::CaseInsensitive)) return std::nullopt;
  const std::optional<std::u16string> drive_form =
      platform::ToDrivePath(std::filesystem::path(file.toStdU16String()));
  if (!drive_form) return std::nullopt;
  return ToQString(*drive_form);
}

}  // namespace

Form1::Form1(MessageBoxes& boxes, QWidget* parent) : QWidget(parent), boxes_(boxes) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(ToQString(kCaption));
  setFixedSize(Pixels(9090), Pixels(6495));
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);

  Picture1 = Make<QWidget>(this, "Picture1", 0, 0, 9075, 6495);
  PaintGrey(Picture1);
  // Moves over the background, not over the controls, clear the completion text.
  Picture1->setMouseTracking(true);
  Picture1->installEventFilter(this);

  Frame1 = MakeFrame(Picture1, "Frame1", u"変換元ファイル名選択", 240, 1680, 5175, 2895);
  Dir1 = Make<FolderList>(Frame1, "Dir1", 2640, 420, 2415, 1530);
  Drive1 = Make<DriveList>(Frame1, "Drive1", 2640, 2220, 2415, 390);
  File1 = Make<FileList>(Frame1, "File1", 120, 420, 2415, 2190);
  Frame2 = MakeFrame(Picture1, "Frame2", u"変換先フォルダ名選択", 5580, 1680, 3135, 2895);
  Dir2 = Make<FolderList>(Frame2, "Dir2", 180, 420, 2595, 1530);
  Drive2 = Make<DriveList>(Frame2, "Drive2", 180, 2220, 2595, 390);
  Command1 = MakeButton(Picture1, "Command1", u"実  行", 2520, 5580, 1935, 555);
  Command2 = MakeButton(Picture1, "Command2", u"終  了", 5160, 5580, 2055, 555);
  Text1 = Make<QLineEdit>(Picture1, "Text1", 2400, 300, 6255, 405);
  Label1 = MakeLabel(Picture1, "Label1", u"変換元ファイル名：", 240, 360, 2235, 315);
  Label2 = MakeLabel(Picture1, "Label2", u"変換先フォルダ名：", 240, 960, 2235, 315);
  Text2 = Make<QLineEdit>(Picture1, "Text2", 2400, 900, 6255, 405);
  Frame3 = MakeFrame(Picture1, "Frame3", u"メッセージ", 240, 4740, 8475, 675);
  Label3 = MakeLabel(Frame3, "Label3", u"", 180, 240, 8175, 315);

  const QList<QWidget*> tab_order = {Dir1,     Drive1,   File1, Dir2, Drive2,
                                     Command1, Command2, Text1, Text2};
  for (qsizetype i = 1; i < tab_order.size(); ++i) setTabOrder(tab_order[i - 1], tab_order[i]);

  // A survey file dropped anywhere lands in Text1; the fields must not take it as text.
  setAcceptDrops(true);
  Text1->setAcceptDrops(false);
  Text2->setAcceptDrops(false);

  connect(Drive1, &DriveList::changed, this, &Form1::Drive1_Change);
  connect(Drive2, &DriveList::changed, this, &Form1::Drive2_Change);
  connect(Dir1, &FolderList::changed, this, &Form1::Dir1_Change);
  connect(Dir2, &FolderList::changed, this, &Form1::Dir2_Change);
  connect(File1, &FileList::clicked, this, &Form1::File1_Click);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
}

Form1::~Form1() {
  if (busy_) QApplication::restoreOverrideCursor();
}

bool Form1::Form_Load() {
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - frameGeometry().width()) / 2,
         area.y() + (area.height() - frameGeometry().height()) / 2);
  }
  PatternFolder = convert::ReadPatternFolder();
  if (PatternFolder.empty() || !convert::PatternFolderExists(PatternFolder)) {
    boxes_.Show(nullptr, {.text = ToQString(convert::kNoPatternFolderMessage),
                          .title = QApplication::applicationDisplayName()});
    return false;
  }
  MessageShown = 0;
  Drive1_Change();
  Drive2_Change();
  Text1->setText(Dir1->path());
  Text2->setText(Dir2->path());
  Dir1_Change();
  return true;
}

void Form1::ChangeDrive(DriveList* drive_list, FolderList* dir, QString& last_drive) {
  // A step that fails puts the list back on the last good drive, which runs this handler
  // again for that drive, and then the remaining steps go on. No message: the list just
  // jumps back.
  const auto put_back = [&] { drive_list->setDrive(last_drive); };
  if (!dir->setPath(drive_list->drive())) put_back();
  last_drive = drive_list->drive();
  if (last_drive.isEmpty() || !platform::SetCurrentDrive(last_drive.front().unicode())) {
    put_back();
  }
}

void Form1::Drive1_Change() { ChangeDrive(Drive1, Dir1, LastDrive1); }

void Form1::Drive2_Change() { ChangeDrive(Drive2, Dir2, LastDrive2); }

void Form1::Dir1_Change() {
  File1->setPattern(QStringLiteral("*.ddf"));
  File1->setPath(Dir1->path());
  Text1->setText(Dir1->path());
  platform::SetCurrentFolder(ToU16(Dir1->path()));
}

void Form1::Dir2_Change() {
  Text2->setText(Dir2->path());
  platform::SetCurrentFolder(ToU16(Dir2->path()));
}

void Form1::File1_Click() {
  const QString folder = Dir1->path();
  const QString separator = folder.endsWith(QLatin1Char('\\')) ? QString() : QStringLiteral("\\");
  Text1->setText(folder + separator + File1->fileName());
}

void Form1::Command1_Click() {
  const convert::RunResult result = convert::Run({PatternFolder}, *this);
  if (result.outcome == convert::RunOutcome::kCompleted) MessageShown = 1;
}

void Form1::Command2_Click() { close(); }

void Form1::Picture1_MouseMove() {
  if (MessageShown == 1) {
    Label3->setText(QString());
    MessageShown = 0;
  }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Picture1 && event->type() == QEvent::MouseMove) {
    // A move that a control let through to its container is still over that control.
    const auto* move = static_cast<QMouseEvent*>(event);
    if (Picture1->childAt(move->position().toPoint()) == nullptr) Picture1_MouseMove();
  }
  return QWidget::eventFilter(watched, event);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (DroppedSurveyFile(event->mimeData())) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  if (const std::optional<QString> file = DroppedSurveyFile(event->mimeData())) {
    Text1->setText(*file);
    event->acceptProposedAction();
  }
}

std::u16string Form1::SourceText() { return platform::ToDriveForm(ToU16(Text1->text())); }

std::u16string Form1::DestinationText() { return platform::ToDriveForm(ToU16(Text2->text())); }

void Form1::SetMessageLine(std::u16string_view text) { Label3->setText(ToQString(text)); }

void Form1::ProcessPendingEvents() { QCoreApplication::processEvents(); }

void Form1::ShowMessage(std::u16string_view text, convert::MessageIcon icon,
                        std::u16string_view title) {
  ShowBox({.text = ToQString(text), .title = ToQString(title), .icon = ToBoxIcon(icon)});
}

bool Form1::AskYesNo(std::u16string_view text) {
  return ShowBox({.text = ToQString(text), .icon = BoxIcon::kQuestion, .yes_no = true});
}

void Form1::SelectDestinationText() {
  Text2->setFocus();
  Text2->setSelection(0, static_cast<int>(Text2->text().size()));
}

void Form1::SetBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void Form1::ReportFailure(std::u16string_view text) {
  ShowBox({.text = ToQString(text), .icon = BoxIcon::kCritical});
}

bool Form1::ShowBox(Box box) {
  if (box.title.isEmpty()) box.title = QApplication::applicationDisplayName();
  return boxes_.Show(this, box);
}

int RunMainWindow(MessageBoxes& boxes) {
  Form1 form(boxes);
  if (!form.Form_Load()) return kExitNoPatternFolder;
  form.show();
  return QApplication::exec();
}

}  // namespace m2v::app
