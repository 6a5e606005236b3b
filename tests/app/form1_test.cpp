// The window as a person uses it: start-up, the drive, folder and file lists, the two
// fields, a conversion run with its message boxes, the message line and dropped files.

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/drive_list.h"
#include "app/file_list.h"
#include "app/folder_list.h"
#include "app/form1.h"
#include "convert/pattern_folder_setting.h"
#include "convert/run.h"
#include "platform/platform.h"
#include "scripted_boxes.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace m2v {
namespace {

namespace fs = std::filesystem;

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList Texts(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts.append(list->item(i)->text());
  return texts;
}

QListWidgetItem* ItemNamed(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  return found.isEmpty() ? nullptr : found.front();
}

void ClickItem(QListWidget* list, const QString& text) {
  QListWidgetItem* item = ItemNamed(list, text);
  QVERIFY2(item != nullptr, qPrintable(text));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void DoubleClickItem(QListWidget* list, const QString& text) {
  QListWidgetItem* item = ItemNamed(list, text);
  QVERIFY2(item != nullptr, qPrintable(text));
  // Press and release, then the second press that the system reports as a double-click.
  const QPoint at = list->visualItemRect(item).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

void WriteSetting(const fs::path& sysdir, std::string_view line2) {
  test::WriteBytes(sysdir / "PatdatV5.ini", "PATDAT\r\n" + std::string(line2) + "\r\n");
}

// A window made as the program makes it, with its message boxes scripted.
struct Window {
  test::ScriptedBoxes boxes;
  app::Form1 form{boxes};

  template <typename T>
  T* Get(const char* name) {
    T* widget = form.findChild<T*>(QLatin1String(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
  }
  QLineEdit* Text1() { return Get<QLineEdit>("Text1"); }
  QLineEdit* Text2() { return Get<QLineEdit>("Text2"); }
  QLabel* Label3() { return Get<QLabel>("Label3"); }
  app::FolderList* Dir1() { return Get<app::FolderList>("Dir1"); }
  app::FolderList* Dir2() { return Get<app::FolderList>("Dir2"); }
  app::DriveList* Drive1() { return Get<app::DriveList>("Drive1"); }
  app::DriveList* Drive2() { return Get<app::DriveList>("Drive2"); }
  app::FileList* File1() { return Get<app::FileList>("File1"); }

  // Form_Load and show, as the program does; false when start-up refused.
  bool Open() {
    if (!form.Form_Load()) return false;
    form.show();
    return QTest::qWaitForWindowExposed(&form);
  }
  // A mouse movement reaching the window at `widget`'s point `at` (its centre by default),
  // delivered to whatever control lies there, as the windowing system delivers it.
  void MoveMouseOver(const QWidget* widget, QPoint at = {}) {
    if (at.isNull()) at = widget->rect().center();
    QTest::mouseMove(form.windowHandle(), widget->mapTo(&form, at));
  }
};

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void controlsStandWhereTheWindowWasDesigned();
  void startUpRefusesWithoutAPatternFolder_data();
  void startUpRefusesWithoutAPatternFolder();
  void startUpShowsTheCurrentFolderAndEndsWithTheWindow();
  void folderAndFileEventsKeepTheFieldsUpToDate();
  void clickedFileJoinsFolderAndName_data();
  void clickedFileJoinsFolderAndName();
  void driveListsSwitchOrJumpBackSilently();
  void runFromTheWindowWritesTheFiles_data();
  void runFromTheWindowWritesTheFiles();
  void refusedDestinationIsTitledWithTheFieldAndSelected();
  void failureAfterTheChecksIsReportedWithoutTheWaitCursor();
  void droppedSurveyFileFillsTheSourceField_data();
  void droppedSurveyFileFillsTheSourceField();
  void droppedSurveysAreConvertedAfterOneQuestion();
  void yesNoBoxIsAnsweredOnlyByYesOrNo();
  void screenshot();
  void startUpTimeToFirstPaint();

 private:
  fs::path D(const fs::path& rel = {}) const { return *dir_ / "d" / rel; }
  // The files of a finished run: D:\IN\source.ddf and the tables in D:\PATDAT.
  void PrepareFullRun() const;

  std::unique_ptr<test::TempDir> dir_;
  std::unique_ptr<test::DriveTable> drives_;
};

void Form1Test::init() {
  dir_ = std::make_unique<test::TempDir>();
  drives_ = std::make_unique<test::DriveTable>(*dir_ / "sys");
  drives_->MapDrive('D', D());
  fs::create_directories(D("PATDAT"));
  fs::create_directories(D("SURVEY"));
  WriteSetting(drives_->sysdir(), "D:\\PATDAT\\");
  QVERIFY(platform::SetCurrentFolder(u"D:\\SURVEY"));
}

void Form1Test::cleanup() {
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  drives_.reset();
  dir_.reset();
}

void Form1Test::PrepareFullRun() const {
  const fs::path data = fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run";
  fs::create_directories(D("IN"));
  fs::copy_file(data / "source.ddf", D("IN/source.ddf"));
  fs::copy(data / "patdat", D("PATDAT"));
}

void Form1Test::controlsStandWhereTheWindowWasDesigned() {
  Window window;
  QCOMPARE(window.form.windowTitle(), QStringLiteral("ミルタ版 -> Vesk 変換プログラム"));
  QCOMPARE(window.form.size(), QSize(606, 433));  // 9090 x 6495 twips
  QCOMPARE(window.form.minimumSize(), window.form.maximumSize());

  struct Control {
    const char* name;
    const char* kind;
    const char* parent;
    QRect pixels;
    const char* caption;
  };
  // Twips of the design divided by 15.
  const Control controls[] = {
      {"Picture1", "QWidget", "Form1", {0, 0, 605, 433}, nullptr},
      {"Frame1", "QGroupBox", "Picture1", {16, 112, 345, 193}, "変換元ファイル名選択"},
      {"Dir1", "m2v::app::FolderList", "Frame1", {176, 28, 161, 102}, nullptr},
      {"Drive1", "m2v::app::DriveList", "Frame1", {176, 148, 161, 26}, nullptr},
      {"File1", "m2v::app::FileList", "Frame1", {8, 28, 161, 146}, nullptr},
      {"Frame2", "QGroupBox", "Picture1", {372, 112, 209, 193}, "変換先フォルダ名選択"},
      {"Dir2", "m2v::app::FolderList", "Frame2", {12, 28, 173, 102}, nullptr},
      {"Drive2", "m2v::app::DriveList", "Frame2", {12, 148, 173, 26}, nullptr},
      {"Command1", "QPushButton", "Picture1", {168, 372, 129, 37}, "実  行"},
      {"Command2", "QPushButton", "Picture1", {344, 372, 137, 37}, "終  了"},
      {"Text1", "QLineEdit", "Picture1", {160, 20, 417, 27}, ""},
      {"Label1", "QLabel", "Picture1", {16, 24, 149, 21}, "変換元ファイル名："},
      {"Label2", "QLabel", "Picture1", {16, 64, 149, 21}, "変換先フォルダ名："},
      {"Text2", "QLineEdit", "Picture1", {160, 60, 417, 27}, ""},
      {"Frame3", "QGroupBox", "Picture1", {16, 316, 565, 45}, "メッセージ"},
      {"Label3", "QLabel", "Frame3", {12, 16, 545, 21}, ""},
  };
  for (const Control& c : controls) {
    const QWidget* widget = window.Get<QWidget>(c.name);
    QCOMPARE(QLatin1String(widget->metaObject()->className()), QLatin1String(c.kind));
    QCOMPARE(widget->parentWidget()->objectName(), QLatin1String(c.parent));
    QCOMPARE(widget->geometry(), c.pixels);
    if (c.caption == nullptr) continue;
    const QString caption = QString::fromUtf8(c.caption);
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
      QCOMPARE(frame->title(), caption);
    } else if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
      QCOMPARE(button->text(), caption);
    } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      QCOMPARE(label->text(), caption);
    } else {
      QCOMPARE(qobject_cast<const QLineEdit*>(widget)->text(), caption);
    }
  }
  for (const char* grey :
       {"Picture1", "Frame1", "Frame2", "Frame3", "Label1", "Label2", "Label3"}) {
    const QWidget* widget = window.Get<QWidget>(grey);
    QVERIFY2(widget->autoFillBackground(), grey);
    QCOMPARE(widget->palette().color(widget->backgroundRole()), QColor(192, 192, 192));
  }

  // The labels that overlap the text fields' left edges lie under them.
  const QWidget* picture = window.Get<QWidget>("Picture1");
  QCOMPARE(picture->childAt(162, 30), window.Text1());
  QCOMPARE(picture->childAt(162, 70), window.Text2());
  QCOMPARE(picture->childAt(100, 30), window.Get<QWidget>("Label1"));

  // The tab key walks the controls in their design order and comes round again.
  QVERIFY(window.Open());
  QApplication::setActiveWindow(&window.form);
  window.Dir1()->setFocus();
  QStringList walked;
  for (int i = 0; i < 10; ++i) {
    walked.append(QApplication::focusWidget()->objectName());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QCOMPARE(walked, QStringList({"Dir1", "Drive1", "File1", "Dir2", "Drive2", "Command1", "Command2",
                                "Text1", "Text2", "Dir1"}));
}

void Form1Test::startUpRefusesWithoutAPatternFolder_data() {
  QTest::addColumn<QByteArray>("setting");  // bytes of PatdatV5.ini; "-" for no file
  QTest::newRow("no settings file") << QByteArray("-");
  QTest::newRow("empty settings file") << QByteArray("");
  QTest::newRow("only line 1") << QByteArray("D:\\PATDAT\\\r\n");
  QTest::newRow("folder that does not exist") << QByteArray("x\r\nD:\\NOPATDAT\\\r\n");
  QTest::newRow("no trailing separator") << QByteArray("x\r\nD:\\PATDAT\r\n");
  QTest::newRow("drive that does not exist") << QByteArray("x\r\nQ:\\PATDAT\\\r\n");
}

void Form1Test::startUpRefusesWithoutAPatternFolder() {
  QFETCH(QByteArray, setting);
  const fs::path ini = drives_->sysdir() / "PatdatV5.ini";
  fs::remove(ini);
  if (setting != "-") test::WriteBytes(ini, setting.toStdString());

  test::ScriptedBoxes boxes;
  QCOMPARE(app::RunMainWindow(boxes), app::kExitNoPatternFolder);
  QCOMPARE(boxes.shown.size(), std::size_t{1});
  const test::ScriptedBoxes::Shown& shown = boxes.shown.front();
  QCOMPARE(shown.box.text, Q(convert::kNoPatternFolderMessage));
  QCOMPARE(shown.box.title, QApplication::applicationDisplayName());
  QCOMPARE(shown.box.icon, app::BoxIcon::kNone);
  QVERIFY(!shown.box.yes_no);
  QCOMPARE(shown.visible_windows, 0);
}

void Form1Test::startUpShowsTheCurrentFolderAndEndsWithTheWindow() {
  for (const char* name : {"a.ddf", "B.DDF", "c.txt", "d.ddf.bak", "e.Ddf"}) {
    test::WriteBytes(D("SURVEY") / name, "x");
  }
  fs::create_directories(D("SURVEY/HOLE1"));
  fs::create_directories(D("SURVEY/sub.ddf"));

  // The program's own path: start-up, the window's events, Command2 closes it.
  test::ScriptedBoxes boxes;
  bool checked = false;
  QTimer::singleShot(0, [&] {
    app::Form1* form = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->isVisible()) form = qobject_cast<app::Form1*>(top);
    }
    QVERIFY(form != nullptr);
    const QRect screen = form->screen()->geometry();
    QCOMPARE(form->pos(), QPoint((screen.width() - 606) / 2, (screen.height() - 433) / 2));
    QCOMPARE(form->patternFolder(), std::u16string(u"D:\\PATDAT\\"));
    QCOMPARE(form->messageShown(), std::int16_t{0});
    QCOMPARE(form->findChild<QLineEdit*>("Text1")->text(), QStringLiteral("D:\\SURVEY"));
    QCOMPARE(form->findChild<QLineEdit*>("Text2")->text(), QStringLiteral("D:\\SURVEY"));
    QCOMPARE(form->findChild<app::DriveList*>("Drive1")->drive(), QStringLiteral("D:"));
    QCOMPARE(form->findChild<app::DriveList*>("Drive2")->drive(), QStringLiteral("D:"));
    QCOMPARE(Texts(form->findChild<app::FolderList*>("Dir1")),
             QStringList({"D:\\", "SURVEY", "HOLE1", "sub.ddf"}));
    QCOMPARE(form->findChild<app::FolderList*>("Dir2")->path(), QStringLiteral("D:\\SURVEY"));
    // Only *.ddf, whatever the letter case, and never a folder.
    QCOMPARE(Texts(form->findChild<app::FileList*>("File1")),
             QStringList({"a.ddf", "B.DDF", "e.Ddf"}));
    QCOMPARE(form->findChild<QLabel*>("Label3")->text(), QString());
    checked = true;
    QTest::mouseClick(form->findChild<QPushButton*>("Command2"), Qt::LeftButton);
  });
  QCOMPARE(app::RunMainWindow(boxes), 0);
  QVERIFY(checked);
  QVERIFY(boxes.shown.empty());
}

void Form1Test::folderAndFileEventsKeepTheFieldsUpToDate() {
  fs::create_directories(D("SURVEY/HOLE1"));
  test::WriteBytes(D("SURVEY/a.ddf"), "x");
  test::WriteBytes(D("SURVEY/HOLE1/h1.ddf"), "x");
  Window window;
  QVERIFY(window.Open());

  ClickItem(window.File1(), "a.ddf");
  QCOMPARE(window.Text1()->text(), QStringLiteral("D:\\SURVEY\\a.ddf"));
  // Clicking the selected file again puts its path back over what was typed.
  window.Text1()->setText("typed");
  ClickItem(window.File1(), "a.ddf");
  QCOMPARE(window.Text1()->text(), QStringLiteral("D:\\SURVEY\\a.ddf"));

  // A folder change shows the folder again, not the file, and lists the new folder.
  DoubleClickItem(window.Dir1(), "HOLE1");
  QCOMPARE(window.Dir1()->path(), QStringLiteral("D:\\SURVEY\\HOLE1"));
  QCOMPARE(window.Text1()->text(), QStringLiteral("D:\\SURVEY\\HOLE1"));
  QCOMPARE(Texts(window.File1()), QStringList({"h1.ddf"}));
  QCOMPARE(Texts(window.Dir1()), QStringList({"D:\\", "SURVEY", "HOLE1"}));
  QCOMPARE(window.Text2()->text(), QStringLiteral("D:\\SURVEY"));
  QCOMPARE(platform::CurrentFolder(u'D'), std::u16string(u"D:\\SURVEY\\HOLE1"));

  // The destination side leaves the source side alone; the current folder follows the
  // list that changed last.
  DoubleClickItem(window.Dir2(), "D:\\");
  QCOMPARE(window.Text2()->text(), QStringLiteral("D:\\"));
  QCOMPARE(window.Text1()->text(), QStringLiteral("D:\\SURVEY\\HOLE1"));
  QCOMPARE(platform::CurrentFolder(u'D'), std::u16string(u"D:\\"));

  // A single click only selects; Return opens like a double-click.
  ClickItem(window.Dir2(), "SURVEY");
  QCOMPARE(window.Text2()->text(), QStringLiteral("D:\\"));
  QTest::keyClick(window.Dir2(), Qt::Key_Return);
  QCOMPARE(window.Text2()->text(), QStringLiteral("D:\\SURVEY"));
  QVERIFY(window.boxes.shown.empty());
}

void Form1Test::clickedFileJoinsFolderAndName_data() {
  QTest::addColumn<QString>("folder");
  QTest::addColumn<QString>("text1");
  QTest::newRow("drive root") << "D:\\"
                              << "D:\\HOLE.DDF";
  QTest::newRow("folder") << "D:\\SURVEY"
                          << "D:\\SURVEY\\HOLE.DDF";
  QTest::newRow("folder two down") << "D:\\SURVEY\\AB12CD"
                                   << "D:\\SURVEY\\AB12CD\\HOLE.DDF";
}

void Form1Test::clickedFileJoinsFolderAndName() {
  QFETCH(QString, folder);
  QFETCH(QString, text1);
  for (const char* rel : {"HOLE.DDF", "SURVEY/HOLE.DDF", "SURVEY/AB12CD/HOLE.DDF"}) {
    test::WriteBytes(D(rel), "x");
  }
  Window window;
  QVERIFY(window.Open());
  QVERIFY(window.Dir1()->setPath(folder));
  QCOMPARE(window.Text1()->text(), folder);
  ClickItem(window.File1(), "HOLE.DDF");
  QCOMPARE(window.Text1()->text(), text1);
}

void Form1Test::driveListsSwitchOrJumpBackSilently() {
  drives_->MapDrive('E', *dir_ / "e");
  fs::create_directories(*dir_ / "e" / "DATA");
  test::WriteBytes(*dir_ / "e" / "DATA" / "e.ddf", "x");
  QVERIFY(platform::SetCurrentFolder(u"E:\\DATA"));
  // F: is in the table but its root is gone, like a drive with no medium.
  drives_->MapDrive('F', *dir_ / "f");
  fs::remove(*dir_ / "f");
  QVERIFY(platform::SetCurrentFolder(u"D:\\SURVEY"));

  Window window;
  QVERIFY(window.Open());
  QCOMPARE(window.Drive1()->count(), 3);

  // A good drive: its current folder, listed and shown; the other side stays.
  window.Drive1()->setCurrentIndex(window.Drive1()->findText("E:"));
  QCOMPARE(window.Dir1()->path(), QStringLiteral("E:\\DATA"));
  QCOMPARE(window.Text1()->text(), QStringLiteral("E:\\DATA"));
  QCOMPARE(Texts(window.File1()), QStringList({"e.ddf"}));
  QCOMPARE(window.Text2()->text(), QStringLiteral("D:\\SURVEY"));
  QCOMPARE(platform::CurrentDrive(), u'E');

  // A drive that cannot be read: back on the last good one, nothing else changed.
  ClickItem(window.File1(), "e.ddf");
  window.Drive1()->setCurrentIndex(window.Drive1()->findText("F:"));
  QCOMPARE(window.Drive1()->drive(), QStringLiteral("E:"));
  QCOMPARE(window.Dir1()->path(), QStringLiteral("E:\\DATA"));
  QCOMPARE(window.Text1()->text(), QStringLiteral("E:\\DATA\\e.ddf"));
  QCOMPARE(Texts(window.File1()), QStringList({"e.ddf"}));
  QCOMPARE(platform::CurrentDrive(), u'E');

  window.Drive2()->setCurrentIndex(window.Drive2()->findText("F:"));
  QCOMPARE(window.Drive2()->drive(), QStringLiteral("D:"));
  QCOMPARE(window.Dir2()->path(), QStringLiteral("D:\\SURVEY"));
  QCOMPARE(window.Text2()->text(), QStringLiteral("D:\\SURVEY"));

  // A drive mapped while the window is open shows up when the list opens, and reading
  // the drives again is no change of drive.
  drives_->MapDrive('G', *dir_ / "g");
  window.Drive2()->showPopup();
  window.Drive2()->hidePopup();
  QCOMPARE(window.Drive2()->count(), 4);
  QCOMPARE(window.Drive2()->drive(), QStringLiteral("D:"));
  QCOMPARE(window.Text2()->text(), QStringLiteral("D:\\SURVEY"));

  // A drive whose remembered folder has gone opens at its root.
  window.Drive1()->setCurrentIndex(window.Drive1()->findText("D:"));
  fs::remove_all(*dir_ / "e" / "DATA");
  window.Drive1()->setCurrentIndex(window.Drive1()->findText("E:"));
  QCOMPARE(window.Drive1()->drive(), QStringLiteral("E:"));
  QCOMPARE(window.Text1()->text(), QStringLiteral("E:\\"));
  QVERIFY(window.boxes.shown.empty());
}

void Form1Test::runFromTheWindowWritesTheFiles_data() {
  QTest::addColumn<bool>("host_paths");  // the fields typed as host paths, not drive-form
  QTest::newRow("drive-form fields") << false;
  QTest::newRow("host paths typed") << true;
}

void Form1Test::runFromTheWindowWritesTheFiles() {
  QFETCH(bool, host_paths);
  PrepareFullRun();
  Window window;
  QVERIFY(window.Open());
  window.boxes.answers = {true};
  window.Text1()->setText(host_paths ? QString::fromStdString(D("IN/source.ddf").string())
                                     : QStringLiteral("D:\\IN\\source.ddf"));
  // CNT.TXT takes its pieces from this path, as in the expected files.
  window.Text2()->setText(host_paths ? QString::fromStdString(D("SURVEY/AB12CD/HOLE1").string())
                                     : QStringLiteral("D:\\SURVEY\\AB12CD\\HOLE1"));

  QTest::mouseClick(window.Get<QPushButton>("Command1"), Qt::LeftButton);

  QCOMPARE(window.boxes.shown.size(), std::size_t{1});
  const app::Box& question = window.boxes.shown.front().box;
  QCOMPARE(question.text, Q(convert::kCreateFolderQuestion));
  QCOMPARE(question.title, QApplication::applicationDisplayName());
  QCOMPARE(question.icon, app::BoxIcon::kQuestion);
  QVERIFY(question.yes_no);
  const fs::path expected = fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run" / "expected" / "out";
  for (const auto& entry : fs::directory_iterator(expected)) {
    const fs::path written = D("SURVEY/AB12CD/HOLE1") / entry.path().filename();
    QVERIFY2(fs::exists(written), written.c_str());
    QVERIFY2(test::ReadBytes(written) == test::ReadBytes(entry.path()), written.c_str());
  }
  QCOMPARE(window.Label3()->text(), Q(convert::kCompletionMessage));
  QCOMPARE(window.form.messageShown(), std::int16_t{1});
  QVERIFY(QApplication::overrideCursor() == nullptr);

  // Over the controls the completion text stays; over the background it goes, once.
  // A tracking button hands the moves it does not use on to its container, and those
  // are still moves over the button.
  window.Get<QWidget>("Command2")->setMouseTracking(true);
  for (const char* control : {"Command1", "Command2", "Text1", "Label1", "Frame1", "Label3"}) {
    window.MoveMouseOver(window.Get<QWidget>(control));
    QVERIFY2(window.Label3()->text() == Q(convert::kCompletionMessage), control);
  }
  QCOMPARE(window.form.messageShown(), std::int16_t{1});
  window.MoveMouseOver(window.Get<QWidget>("Picture1"), {4, 4});
  QCOMPARE(window.Label3()->text(), QString());
  QCOMPARE(window.form.messageShown(), std::int16_t{0});
  window.Label3()->setText("other");
  window.MoveMouseOver(window.Get<QWidget>("Picture1"), {6, 200});
  QCOMPARE(window.Label3()->text(), QStringLiteral("other"));
}

void Form1Test::refusedDestinationIsTitledWithTheFieldAndSelected() {
  PrepareFullRun();
  Window window;
  QVERIFY(window.Open());
  const QString refused = QStringLiteral("D:\\OUT\\LONGNAME9.TXT");
  window.Text1()->setText("D:\\IN\\source.ddf");
  window.Text2()->setText(refused);
  window.Get<QPushButton>("Command1")->setFocus();

  QTest::mouseClick(window.Get<QPushButton>("Command1"), Qt::LeftButton);

  QCOMPARE(window.boxes.shown.size(), std::size_t{1});
  const app::Box& box = window.boxes.shown.front().box;
  QCOMPARE(box.text, Q(convert::kBadPathMessage));
  QCOMPARE(box.title, refused);
  QCOMPARE(box.icon, app::BoxIcon::kExclamation);
  QVERIFY(!box.yes_no);
  QCOMPARE(window.form.focusWidget(), window.Text2());
  QCOMPARE(window.Text2()->selectedText(), refused);
  QCOMPARE(window.Text2()->selectionStart(), 0);
  QCOMPARE(window.Label3()->text(), QString());
  QCOMPARE(window.form.messageShown(), std::int16_t{0});
  QVERIFY(!fs::exists(D("OUT")));
}

void Form1Test::failureAfterTheChecksIsReportedWithoutTheWaitCursor() {
  // No tables at all in the pattern folder: the run fails once it starts converting.
  fs::create_directories(D("IN"));
  fs::copy_file(fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run" / "source.ddf",
                D("IN/source.ddf"));
  fs::create_directories(D("OUT"));
  Window window;
  QVERIFY(window.Open());
  window.Text1()->setText("D:\\IN\\source.ddf");
  window.Text2()->setText("D:\\OUT");

  QTest::mouseClick(window.Get<QPushButton>("Command1"), Qt::LeftButton);

  QCOMPARE(window.boxes.shown.size(), std::size_t{1});
  const test::ScriptedBoxes::Shown& shown = window.boxes.shown.front();
  QCOMPARE(shown.box.icon, app::BoxIcon::kCritical);
  QCOMPARE(shown.box.title, QApplication::applicationDisplayName());
  QVERIFY2(shown.box.text.contains("L4.TXT"), qPrintable(shown.box.text));
  QVERIFY(!shown.busy_cursor);
  QVERIFY(QApplication::overrideCursor() == nullptr);
  QCOMPARE(window.Label3()->text(), QString());
  QCOMPARE(window.form.messageShown(), std::int16_t{0});
}

void Form1Test::droppedSurveyFileFillsTheSourceField_data() {
  QTest::addColumn<QString>("file");   // under the temporary folder; "d/" is drive D:
  QTest::addColumn<QString>("text1");  // empty: the drop is refused, Text1 unchanged
  QTest::newRow("survey file") << "d/SURVEY/HOLE1.ddf"
                               << "D:\\SURVEY\\HOLE1.ddf";
  QTest::newRow("upper-case extension") << "d/SURVEY/HOLE2.DDF"
                                        << "D:\\SURVEY\\HOLE2.DDF";
  QTest::newRow("other extension") << "d/SURVEY/notes.txt"
                                   << "";
  QTest::newRow("outside every drive") << "elsewhere/HOLE3.ddf"
                                       << "";
}

void Form1Test::droppedSurveyFileFillsTheSourceField() {
  QFETCH(QString, file);
  QFETCH(QString, text1);
  const fs::path host = *dir_ / file.toStdString();
  test::WriteBytes(host, "x");
  Window window;
  QVERIFY(window.Open());

  // Drops go to the innermost control that takes them; none does, so the window gets
  // every drop, wherever it lands.
  for (const QWidget* child : window.form.findChildren<QWidget*>()) {
    QVERIFY2(!child->acceptDrops(), qPrintable(child->objectName()));
  }
  QVERIFY(window.form.acceptDrops());

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(host.string()))});
  const QPoint at = window.Text2()->geometry().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window.form, &enter);
  QCOMPARE(enter.isAccepted(), !text1.isEmpty());
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window.form, &drop);
  QCOMPARE(window.Text1()->text(), text1.isEmpty() ? QStringLiteral("D:\\SURVEY") : text1);
  QCOMPARE(window.Text2()->text(), QStringLiteral("D:\\SURVEY"));
}

void Form1Test::droppedSurveysAreConvertedAfterOneQuestion() {
  const fs::path samples = M2V_SAMPLES_DIR;
  fs::copy(samples / "PATDAT", D("PATDAT"), fs::copy_options::recursive);
  fs::copy_file(samples / "HOLE1.ddf", D("SURVEY/HOLE1.ddf"));
  fs::copy_file(samples / "HOLE1.ddf", D("SURVEY/HOLE2.DDF"));
  Window window;
  QVERIFY(window.Open());
  window.boxes.answers = {true};

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(D("SURVEY/HOLE1.ddf").string())),
                QUrl::fromLocalFile(QString::fromStdString(D("SURVEY/HOLE2.DDF").string()))});
  const QPoint at = window.Text1()->geometry().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window.form, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window.form, &drop);

  QCOMPARE(window.boxes.shown.size(), std::size_t{2});
  QVERIFY(window.boxes.shown[0].box.yes_no);
  QVERIFY2(window.boxes.shown[0].box.text.startsWith("2 件"),
           qPrintable(window.boxes.shown[0].box.text));
  const app::Box& summary = window.boxes.shown[1].box;
  QCOMPARE(summary.icon, app::BoxIcon::kInformation);
  QCOMPARE(summary.title, QApplication::applicationDisplayName());
  QVERIFY2(summary.text.startsWith("変換完了 2 件、中止 0 件、失敗 0 件"),
           qPrintable(summary.text));
  QVERIFY(window.boxes.shown[1].busy_cursor == false);
  QVERIFY(fs::exists(D("SURVEY/HOLE1/X1.TXT")));
  QVERIFY(fs::exists(D("SURVEY/HOLE2/X1.TXT")));
  QCOMPARE(window.Text1()->text(), QStringLiteral("D:\\SURVEY"));
}

void Form1Test::yesNoBoxIsAnsweredOnlyByYesOrNo() {
  // The real boxes: Esc and closing the box's window leave a question standing.
  app::QtMessageBoxes boxes;
  for (const QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
    bool stood_esc = false;
    bool stood_close = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) qFatal("no question box");
      QTest::keyClick(box, Qt::Key_Escape);
      stood_esc = box->isVisible();
      box->close();
      stood_close = box->isVisible();
      box->button(answer)->click();
    });
    const bool yes =
        boxes.Show(nullptr, {.text = "?", .icon = app::BoxIcon::kQuestion, .yes_no = true});
    QCOMPARE(yes, answer == QMessageBox::Yes);
    QVERIFY(stood_esc);
    QVERIFY(stood_close);
  }
  // An OK box still goes with Esc.
  QTimer::singleShot(0, [] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) qFatal("no message box");
    QTest::keyClick(box, Qt::Key_Escape);
  });
  QVERIFY(!boxes.Show(nullptr, {.text = "!"}));
}

void Form1Test::screenshot() {
  // A survey folder as a person would have it, after one finished run. docs/window.png is
  // this picture.
  const fs::path samples = M2V_SAMPLES_DIR;
  fs::create_directories(D("SURVEY/AB12CD/HOLE1"));
  fs::copy_file(samples / "HOLE1.ddf", D("SURVEY/AB12CD/HOLE1.ddf"));
  fs::copy_file(samples / "HOLE1.ddf", D("SURVEY/AB12CD/HOLE2.ddf"));
  fs::copy(samples / "PATDAT", D("PATDAT"), fs::copy_options::recursive);
  QVERIFY(platform::SetCurrentFolder(u"D:\\SURVEY\\AB12CD"));
  Window window;
  QVERIFY(window.Open());
  ClickItem(window.File1(), "HOLE1.ddf");
  DoubleClickItem(window.Dir2(), "HOLE1");
  QTest::mouseClick(window.Get<QPushButton>("Command1"), Qt::LeftButton);
  QCOMPARE(window.Label3()->text(), Q(convert::kCompletionMessage));
  QVERIFY(window.boxes.shown.empty());

  const QImage image = window.form.grab().toImage();
  QCOMPARE(image.size() / image.devicePixelRatio(), QSize(606, 433));
  const QString file = QStringLiteral(M2V_APP_TEST_OUTPUT_DIR "/window.png");
  QVERIFY(image.save(file));
  qInfo("screenshot: %s", qPrintable(file));
}

void Form1Test::startUpTimeToFirstPaint() {
  // Construction, start-up and show until the window has painted, five times.
  struct FirstPaint : QObject {
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) painted = true;
      return false;
    }
  };
  std::vector<qint64> micros;
  for (int i = 0; i < 5; ++i) {
    QElapsedTimer clock;
    clock.start();
    Window window;
    FirstPaint first;
    window.Get<QWidget>("Picture1")->installEventFilter(&first);
    QVERIFY(window.form.Form_Load());
    window.form.show();
    QVERIFY(QTest::qWaitFor([&] { return first.painted; }, 5000));
    micros.push_back(clock.nsecsElapsed() / 1000);
  }
  std::sort(micros.begin(), micros.end());
  qInfo("start-up to first paint: median %.1f ms (min %.1f, max %.1f) over 5 runs",
        static_cast<double>(micros[2]) / 1000.0, static_cast<double>(micros.front()) / 1000.0,
        static_cast<double>(micros.back()) / 1000.0);
}

}  // namespace
}  // namespace m2v

QTEST_MAIN(m2v::Form1Test)
#include "form1_test.moc"
