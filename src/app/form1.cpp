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
#include <vector>

#include "app/drive_list.h"
#include "app/file_list.h"
#include "app/folder_list.h"
#include "app/qt_text.h"
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

// The drive-form paths of the files being dragged; none when one of them is no file a
// drive reaches.
std::vector<std::u16string> DroppedFiles(const QMimeData* mime) {
  std::vector<std::u16string> files;
  if (mime == nullptr || !mime->hasUrls()) return files;
  for (const QUrl& url : mime->urls()) {
    std::optional<std::u16string> drive_form;
    if (url.isLocalFile()) {
      drive_form = platform::ToDrivePath(std::filesystem::path(url.toLocalFile().toStdU16String()));
    }
    if (!drive_form) return {};
    files.push_back(std::move(*drive_form));
  }
  return files;
}

}  // namespace

Form1::Form1(MessageBoxes& boxes, QWidget* parent) : QWidget(parent), boxes_(boxes), form_(*this) {
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

  // A label that overlaps a text field's left edge lies under it, not over its text.
  Label1->stackUnder(Text1);
  Label2->stackUnder(Text2);

  const QList<QWidget*> tab_order = {Dir1,     Drive1,   File1, Dir2, Drive2,
                                     Command1, Command2, Text1, Text2};
  for (qsizetype i = 1; i < tab_order.size(); ++i) setTabOrder(tab_order[i - 1], tab_order[i]);

  // Survey files dropped anywhere go to the form; the fields must not take them as text.
  setAcceptDrops(true);
  Text1->setAcceptDrops(false);
  Text2->setAcceptDrops(false);

  const auto choose = [this](Side side) {
    return [this, side](const QString& drive) { form_.ChooseDrive(side, ToU16(drive)); };
  };
  connect(Drive1, &DriveList::chosen, this, choose(Side::kSource));
  connect(Drive2, &DriveList::chosen, this, choose(Side::kDestination));
  connect(Drive1, &DriveList::opening, this, [this] { form_.RereadDrives(Side::kSource); });
  connect(Drive2, &DriveList::opening, this, [this] { form_.RereadDrives(Side::kDestination); });
  Dir1->setOpener(
      [this](const QString& path) { return form_.OpenFolder(Side::kSource, ToU16(path)); });
  Dir2->setOpener(
      [this](const QString& path) { return form_.OpenFolder(Side::kDestination, ToU16(path)); });
  connect(File1, &FileList::clicked, this, [this] { form_.File1_Click(ToU16(File1->fileName())); });
  connect(Command1, &QPushButton::clicked, this, [this] { form_.Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { form_.Command2_Click(); });
}

Form1::~Form1() {
  if (busy_) QApplication::restoreOverrideCursor();
}

void Form1::CentreOnScreen() {
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - frameGeometry().width()) / 2,
         area.y() + (area.height() - frameGeometry().height()) / 2);
  }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Picture1 && event->type() == QEvent::MouseMove) {
    // A move that a control let through to its container is still over that control.
    const auto* move = static_cast<QMouseEvent*>(event);
    if (Picture1->childAt(move->position().toPoint()) == nullptr) form_.Picture1_MouseMove();
  }
  return QWidget::eventFilter(watched, event);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
  if (form_.AcceptsDrop(DroppedFiles(event->mimeData()))) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
  const std::vector<std::u16string> files = DroppedFiles(event->mimeData());
  if (!form_.AcceptsDrop(files)) return;
  event->acceptProposedAction();
  form_.Drop(files);
}

std::u16string Form1::SourceText() { return ToU16(Text1->text()); }

void Form1::SetSourceText(std::u16string_view text) { Text1->setText(ToQString(text)); }

std::u16string Form1::DestinationText() { return ToU16(Text2->text()); }

void Form1::SetDestinationText(std::u16string_view text) { Text2->setText(ToQString(text)); }

void Form1::SelectDestinationText() {
  Text2->setFocus();
  Text2->setSelection(0, static_cast<int>(Text2->text().size()));
}

void Form1::ShowDrives(Side side, const std::vector<std::u16string>& drives, std::size_t current) {
  (side == Side::kSource ? Drive1 : Drive2)->fill(drives, current);
}

void Form1::ShowFolders(Side side, const std::vector<FolderRow>& rows, std::size_t current) {
  (side == Side::kSource ? Dir1 : Dir2)->fill(rows, current);
}

void Form1::ShowFiles(const std::vector<std::u16string>& names) { File1->fill(names); }

void Form1::SetMessageLine(std::u16string_view text) { Label3->setText(ToQString(text)); }

void Form1::ProcessPendingEvents() { QCoreApplication::processEvents(); }

bool Form1::ShowBox(const BoxContent& box) {
  // Before the window is shown a box stands alone.
  QWidget* parent = isVisible() ? this : nullptr;
  const QString title =
      box.title.empty() ? QApplication::applicationDisplayName() : ToQString(box.title);
  return boxes_.Show(
      parent,
      {.text = ToQString(box.text), .title = title, .icon = box.icon, .yes_no = box.yes_no});
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

void Form1::Close() { close(); }

int RunMainWindow(MessageBoxes& boxes) {
  Form1 form(boxes);
  if (!form.Form_Load()) return kExitNoPatternFolder;
  form.show();
  return QApplication::exec();
}

}  // namespace m2v::app
