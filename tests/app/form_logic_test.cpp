// The window's behaviour without a toolkit: a scripted view stands in for the controls,
// keeps what the form shows, answers the boxes and records every call in order.

#include "app/form_logic.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "convert/pattern_folder_setting.h"
#include "convert/run.h"
#include "platform/platform.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "test_paths.h"
#include "text/utf.h"

namespace m2v::app {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Narrow(std::u16string_view text) { return text::Utf16ToUtf8(text); }

class ScriptedView : public FormView {
 public:
  void CentreOnScreen() override { Log("centre"); }
  std::u16string SourceText() override { return text1; }
  void SetSourceText(std::u16string_view text) override { text1 = text; }
  std::u16string DestinationText() override { return text2; }
  void SetDestinationText(std::u16string_view text) override { text2 = text; }
  void SelectDestinationText() override { Log("select destination"); }
  void ShowDrives(Side side, const std::vector<std::u16string>& drives,
                  std::size_t current) override {
    Shown& shown = side == Side::kSource ? drive1 : drive2;
    shown.items = drives;
    shown.current = current;
  }
  void ShowFolders(Side side, const std::vector<FolderRow>& rows, std::size_t current) override {
    (side == Side::kSource ? dir1 : dir2) = rows;
    (side == Side::kSource ? dir1_current : dir2_current) = current;
  }
  void ShowFiles(const std::vector<std::u16string>& names) override { file1 = names; }
  void SetMessageLine(std::u16string_view text) override {
    label3 = text;
    Log("message: " + Narrow(text));
  }
  void ProcessPendingEvents() override { Log("events"); }
  bool ShowBox(const BoxContent& box) override {
    boxes.push_back(box);
    Log("box: " + Narrow(box.text));
    if (!box.yes_no || answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void SetBusy(bool busy) override { Log(busy ? "busy" : "not busy"); }
  void Close() override { Log("close"); }

  struct Shown {
    std::vector<std::u16string> items;
    std::size_t current = 0;
    std::u16string text() const { return current < items.size() ? items[current] : u""; }
  };

  std::u16string text1, text2, label3;
  Shown drive1, drive2;
  std::vector<FolderRow> dir1, dir2;
  std::size_t dir1_current = 0, dir2_current = 0;
  std::vector<std::u16string> file1;
  std::vector<BoxContent> boxes;
  std::deque<bool> answers;  // for Yes/No boxes, in order; No when none is left
  std::vector<std::string> log;

 private:
  void Log(std::string entry) { log.push_back(std::move(entry)); }
};

std::vector<std::u16string> RowTexts(const std::vector<FolderRow>& rows) {
  std::vector<std::u16string> texts;
  for (const FolderRow& row : rows) texts.push_back(row.text);
  return texts;
}

// Drive D: is a temporary folder with D:\PATDAT named by the setting and D:\SURVEY the
// current folder. Windows has only its own drives: there "D:\" is the folder's own path.
class FormLogicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drives_.MapDrive('D', D());
    fs::create_directories(D("PATDAT"));
    fs::create_directories(D("SURVEY"));
    root_ = drives_.Root('D');
    WriteSetting("PATDAT\r\n" + Narrow(root_) + "PATDAT\\\r\n");
    ASSERT_TRUE(platform::SetCurrentFolder(At(u"SURVEY")));
  }

  fs::path D(const fs::path& rel = {}) const { return dir_ / "d" / rel; }
  std::u16string At(std::u16string_view rel) const { return root_ + std::u16string(rel); }
  // The person picks a drive in a drive list: the list shows it, then the form hears.
  void ChooseDrive(Side side, std::u16string_view drive) {
    ScriptedView::Shown& list = side == Side::kSource ? view_.drive1 : view_.drive2;
    const auto at = std::find(list.items.begin(), list.items.end(), drive);
    ASSERT_NE(at, list.items.end()) << Narrow(drive);
    list.current = static_cast<std::size_t>(at - list.items.begin());
    form_.ChooseDrive(side, drive);
  }
  void WriteSetting(const std::string& bytes) const {
    test::WriteBytes(drives_.sysdir() / "PatdatV5.ini", bytes);
  }
  void PrepareFullRun() const {
    const fs::path data = fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run";
    fs::create_directories(D("IN"));
    fs::copy_file(data / "source.ddf", D("IN/source.ddf"));
    fs::copy(data / "patdat", D("PATDAT"));
  }

  test::TempDir dir_;
  test::DriveTable drives_{dir_ / "sys"};
  std::u16string root_;  // "D:\"
  ScriptedView view_;
  FormLogic form_{view_};
};

TEST_F(FormLogicTest, StartUpRefusesWithoutAPatternFolder) {
  struct Case {
    const char* name;
    std::optional<std::string> setting;  // bytes of PatdatV5.ini; none: no file
  };
  const Case cases[] = {
      {"no settings file", std::nullopt},
      {"empty settings file", ""},
      {"only line 1", "D:\\PATDAT\\\r\n"},
      {"folder that does not exist", "x\r\n" + Narrow(root_) + "NOPATDAT\\\r\n"},
      {"no trailing separator", "x\r\n" + Narrow(root_) + "PATDAT\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(drives_.sysdir() / "PatdatV5.ini");
    if (c.setting) WriteSetting(*c.setting);
    ScriptedView view;
    FormLogic form(view);
    EXPECT_FALSE(form.Form_Load());
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, convert::kNoPatternFolderMessage);
    EXPECT_EQ(view.boxes[0].title, u"");
    EXPECT_EQ(view.boxes[0].icon, BoxIcon::kNone);
    EXPECT_FALSE(view.boxes[0].yes_no);
    // Nothing of the window was filled: it never appears.
    EXPECT_THAT(view.log,
                ElementsAre("centre", "box: " + Narrow(convert::kNoPatternFolderMessage)));
    EXPECT_THAT(view.file1, IsEmpty());
    EXPECT_THAT(view.dir1, IsEmpty());
  }
}

TEST_F(FormLogicTest, StartUpShowsTheCurrentFolderInBothHalves) {
  for (const char* name : {"a.ddf", "B.DDF", "c.txt", "d.ddf.bak", "e.Ddf", "ddf"}) {
    test::WriteBytes(D("SURVEY") / name, "x");
  }
  fs::create_directories(D("SURVEY/HOLE1"));
  fs::create_directories(D("SURVEY/sub.ddf"));

  ASSERT_TRUE(form_.Form_Load());

  EXPECT_EQ(form_.patternFolder(), At(u"PATDAT\\"));
  EXPECT_EQ(form_.messageShown(), 0);
  EXPECT_EQ(view_.text1, At(u"SURVEY"));
  EXPECT_EQ(view_.text2, At(u"SURVEY"));
  const std::u16string drive = root_.substr(0, 2);
  EXPECT_EQ(view_.drive1.text(), drive);
  EXPECT_EQ(view_.drive2.text(), drive);
  // Only *.ddf, whatever the letter case, and never a folder.
  EXPECT_THAT(view_.file1, ElementsAre(u"a.ddf", u"B.DDF", u"e.Ddf"));
  // The way down, the folder shown marked, its subfolders one step further right.
  ASSERT_GE(view_.dir1.size(), 4u);
  const std::size_t shown = view_.dir1_current;
  EXPECT_EQ(view_.dir1[shown].text, u"SURVEY");
  EXPECT_EQ(view_.dir1[shown].path, At(u"SURVEY"));
  EXPECT_TRUE(view_.dir1[shown].open);
  EXPECT_EQ(view_.dir1[0].text, root_.substr(0, 3));
  EXPECT_EQ(view_.dir1[0].depth, 0);
  ASSERT_EQ(view_.dir1.size(), shown + 3);
  EXPECT_EQ(view_.dir1[shown + 1].text, u"HOLE1");
  EXPECT_EQ(view_.dir1[shown + 1].path, At(u"SURVEY\\HOLE1"));
  EXPECT_EQ(view_.dir1[shown + 1].depth, view_.dir1[shown].depth + 1);
  EXPECT_FALSE(view_.dir1[shown + 1].open);
  EXPECT_EQ(view_.dir1[shown + 2].text, u"sub.ddf");
  EXPECT_EQ(RowTexts(view_.dir2), RowTexts(view_.dir1));
  EXPECT_EQ(view_.label3, u"");
  EXPECT_THAT(view_.boxes, IsEmpty());
  EXPECT_EQ(view_.log, std::vector<std::string>{"centre"});

  form_.Command2_Click();
  EXPECT_EQ(view_.log.back(), "close");
}

TEST_F(FormLogicTest, FolderAndFileEventsKeepTheFieldsUpToDate) {
  fs::create_directories(D("SURVEY/HOLE1"));
  test::WriteBytes(D("SURVEY/a.ddf"), "x");
  test::WriteBytes(D("SURVEY/HOLE1/h1.ddf"), "x");
  test::WriteBytes(D("ROOT.DDF"), "x");
  ASSERT_TRUE(form_.Form_Load());

  form_.File1_Click(u"a.ddf");
  EXPECT_EQ(view_.text1, At(u"SURVEY\\a.ddf"));

  // A folder change shows the folder again, not the file, and lists the new folder.
  EXPECT_TRUE(form_.OpenFolder(Side::kSource, At(u"SURVEY\\HOLE1")));
  EXPECT_EQ(form_.folder(Side::kSource), At(u"SURVEY\\HOLE1"));
  EXPECT_EQ(view_.text1, At(u"SURVEY\\HOLE1"));
  EXPECT_THAT(view_.file1, ElementsAre(u"h1.ddf"));
  EXPECT_EQ(view_.dir1.back().text, u"HOLE1");
  EXPECT_EQ(view_.dir1_current, view_.dir1.size() - 1);
  EXPECT_EQ(view_.text2, At(u"SURVEY"));
  EXPECT_EQ(platform::CurrentFolder(root_[0]), At(u"SURVEY\\HOLE1"));

  // The destination side leaves the source side alone; the current folder follows the
  // list that changed last. A trailing separator names the same folder.
  EXPECT_TRUE(form_.OpenFolder(Side::kDestination, At(u"SURVEY\\")));
  EXPECT_TRUE(form_.OpenFolder(Side::kDestination, At(u"SURVEY\\HOLE1")));
  EXPECT_EQ(view_.text2, At(u"SURVEY\\HOLE1"));
  EXPECT_EQ(view_.text1, At(u"SURVEY\\HOLE1"));

  // Opening the folder already shown is no change: what was typed stays.
  view_.text1 = u"typed";
  EXPECT_TRUE(form_.OpenFolder(Side::kSource, At(u"SURVEY\\HOLE1")));
  EXPECT_EQ(view_.text1, u"typed");

  // A folder gone since the list was read: refused, the list read again, nothing else.
  fs::create_directories(D("SURVEY/HOLE1/GONE"));
  fs::create_directories(D("SURVEY/HOLE1/NEW"));
  EXPECT_TRUE(form_.OpenFolder(Side::kSource, At(u"SURVEY\\HOLE1\\GONE")));
  EXPECT_TRUE(form_.OpenFolder(Side::kSource, At(u"SURVEY\\HOLE1")));
  fs::remove(D("SURVEY/HOLE1/GONE"));
  const std::u16string before = view_.text1;
  EXPECT_FALSE(form_.OpenFolder(Side::kSource, At(u"SURVEY\\HOLE1\\GONE")));
  EXPECT_EQ(view_.dir1.back().text, u"NEW");
  EXPECT_EQ(view_.text1, before);
  EXPECT_EQ(form_.folder(Side::kSource), At(u"SURVEY\\HOLE1"));

  // A file clicked in a drive's root: no doubled separator.
  const std::u16string root_folder = root_.size() == 3 ? root_ : root_.substr(0, root_.size() - 1);
  EXPECT_TRUE(form_.OpenFolder(Side::kSource, root_folder));
  EXPECT_THAT(view_.file1, ElementsAre(u"ROOT.DDF"));
  form_.File1_Click(u"ROOT.DDF");
  EXPECT_EQ(view_.text1, At(u"ROOT.DDF"));
  EXPECT_THAT(view_.boxes, IsEmpty());
}

#ifndef _WIN32
// Drives come and go only in the drive table of the POSIX build.
TEST_F(FormLogicTest, DriveListsSwitchOrJumpBackSilently) {
  drives_.MapDrive('E', dir_ / "e");
  fs::create_directories(dir_ / "e" / "DATA");
  test::WriteBytes(dir_ / "e" / "DATA" / "e.ddf", "x");
  ASSERT_TRUE(platform::SetCurrentFolder(u"E:\\DATA"));
  // F: is in the table but its root is gone, like a drive with no medium.
  drives_.MapDrive('F', dir_ / "f");
  fs::remove(dir_ / "f");
  ASSERT_TRUE(platform::SetCurrentFolder(u"D:\\SURVEY"));
  ASSERT_TRUE(form_.Form_Load());
  EXPECT_THAT(view_.drive1.items, ElementsAre(u"D:", u"E:", u"F:"));

  // A good drive: its current folder, listed and shown; the other side stays.
  ChooseDrive(Side::kSource, u"E:");
  EXPECT_EQ(view_.drive1.text(), u"E:");
  EXPECT_EQ(view_.text1, u"E:\\DATA");
  EXPECT_THAT(view_.file1, ElementsAre(u"e.ddf"));
  EXPECT_EQ(view_.text2, u"D:\\SURVEY");
  EXPECT_EQ(platform::CurrentDrive(), u'E');

  // A drive that cannot be read: back on the last good one, nothing else changed.
  form_.File1_Click(u"e.ddf");
  ChooseDrive(Side::kSource, u"F:");
  EXPECT_EQ(view_.drive1.text(), u"E:");
  EXPECT_EQ(form_.drive(Side::kSource), u'E');
  EXPECT_EQ(form_.folder(Side::kSource), u"E:\\DATA");
  EXPECT_EQ(view_.text1, u"E:\\DATA\\e.ddf");
  EXPECT_EQ(platform::CurrentDrive(), u'E');

  ChooseDrive(Side::kDestination, u"F:");
  EXPECT_EQ(view_.drive2.text(), u"D:");
  EXPECT_EQ(view_.text2, u"D:\\SURVEY");

  // A drive mapped while the window is open shows up when the list opens; the drive
  // shown stays even after it left the table.
  drives_.MapDrive('G', dir_ / "g");
  fs::remove(drives_.sysdir() / "dosdevices" / "e:");
  form_.RereadDrives(Side::kSource);
  EXPECT_THAT(view_.drive1.items, ElementsAre(u"D:", u"E:", u"F:", u"G:"));
  EXPECT_EQ(view_.drive1.text(), u"E:");
  drives_.MapDrive('E', dir_ / "e");

  // A drive whose remembered folder has gone opens at its root.
  ChooseDrive(Side::kSource, u"D:");
  fs::remove_all(dir_ / "e" / "DATA");
  ChooseDrive(Side::kSource, u"E:");
  EXPECT_EQ(view_.drive1.text(), u"E:");
  EXPECT_EQ(view_.text1, u"E:\\");
  EXPECT_THAT(view_.boxes, IsEmpty());
}
#endif

TEST_F(FormLogicTest, RunWritesTheFilesAndTheBackgroundClearsTheCompletionOnce) {
  PrepareFullRun();
  ASSERT_TRUE(form_.Form_Load());
  view_.answers = {true};
  view_.text1 = At(u"IN\\source.ddf");
  // CNT.TXT takes its pieces from this path, as in the expected files.
  view_.text2 = At(u"SURVEY\\AB12CD\\HOLE1");
  view_.log.clear();

  form_.Command1_Click();

  const std::string progress = "message: " + Narrow(convert::kProgressMessage);
  const std::string question = "box: " + Narrow(convert::kCreateFolderQuestion);
  const std::string done = "message: " + Narrow(convert::kCompletionMessage);
  EXPECT_THAT(view_.log, ElementsAre(progress, "events", question, "busy", done, "not busy"));
  ASSERT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(view_.boxes[0].icon, BoxIcon::kQuestion);
  EXPECT_TRUE(view_.boxes[0].yes_no);
  EXPECT_EQ(view_.label3, convert::kCompletionMessage);
  EXPECT_EQ(form_.messageShown(), 1);
  const fs::path expected = fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run" / "expected" / "out";
  for (const auto& entry : fs::directory_iterator(expected)) {
#ifdef _WIN32
    // Windows' D: is a deep folder, and CNT.TXT holds the destination's path pieces.
    if (entry.path().filename() == "CNT.TXT") continue;
#endif
    const fs::path written = D("SURVEY/AB12CD/HOLE1") / entry.path().filename();
    EXPECT_EQ(test::ReadBytes(written), test::ReadBytes(entry.path())) << written;
  }

  form_.Picture1_MouseMove();
  EXPECT_EQ(view_.label3, u"");
  EXPECT_EQ(form_.messageShown(), 0);
  view_.label3 = u"other";
  form_.Picture1_MouseMove();
  EXPECT_EQ(view_.label3, u"other");
}

TEST_F(FormLogicTest, ChecksAndFailuresReachThePersonAsBoxes) {
  PrepareFullRun();
  ASSERT_TRUE(form_.Form_Load());

  // A refused destination names itself in the title and is selected for retyping.
  const std::u16string refused = At(u"OUT\\LONGNAME9.TXT");
  view_.text1 = At(u"IN\\source.ddf");
  view_.text2 = refused;
  view_.log.clear();
  form_.Command1_Click();
  ASSERT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(view_.boxes[0].text, convert::kBadPathMessage);
  EXPECT_EQ(view_.boxes[0].title, refused);
  EXPECT_EQ(view_.boxes[0].icon, BoxIcon::kExclamation);
  EXPECT_EQ(view_.log.back(), "message: ");
  EXPECT_NE(std::find(view_.log.begin(), view_.log.end(), "select destination"), view_.log.end());
  EXPECT_FALSE(fs::exists(D("OUT")));

  // The source field holding a folder, as it does after a folder change.
  view_.text1 = At(u"IN");
  view_.text2 = At(u"OUT");
  form_.Command1_Click();
  ASSERT_EQ(view_.boxes.size(), 2u);
  EXPECT_EQ(view_.boxes[1].text, convert::kNoSourceMessage);

  // No to the create-folder question: nothing made, nothing said after.
  view_.text1 = At(u"IN\\source.ddf");
  view_.answers = {false};
  form_.Command1_Click();
  ASSERT_EQ(view_.boxes.size(), 3u);
  EXPECT_TRUE(view_.boxes[2].yes_no);
  EXPECT_FALSE(fs::exists(D("OUT")));

  // A failure once converting (no L4.TXT): one critical box, the wait cursor gone first.
  fs::remove(D("PATDAT/L4.TXT"));
  fs::create_directories(D("OUT"));
  view_.log.clear();
  form_.Command1_Click();
  ASSERT_EQ(view_.boxes.size(), 4u);
  EXPECT_EQ(view_.boxes[3].icon, BoxIcon::kCritical);
  EXPECT_NE(view_.boxes[3].text.find(u"L4.TXT"), std::u16string::npos)
      << Narrow(view_.boxes[3].text);
  EXPECT_EQ(view_.log.back(), "box: " + Narrow(view_.boxes[3].text));
  EXPECT_EQ(view_.label3, u"");
  EXPECT_EQ(form_.messageShown(), 0);
}

TEST_F(FormLogicTest, SeveralDroppedSurveysAreConvertedEachIntoItsFolder) {
  PrepareFullRun();
  fs::copy_file(D("IN/source.ddf"), D("IN/HOLE2.ddf"));
  // 0x80 is no CP932 byte: the run refuses the file before writing anything.
  test::WriteBytes(D("IN/BROKEN.ddf"), "\x80\r\n");
  ASSERT_TRUE(form_.Form_Load());
  const std::vector<std::u16string> dropped = {At(u"IN\\source.ddf"), At(u"IN\\BROKEN.ddf"),
                                               At(u"IN\\HOLE2.ddf")};
  EXPECT_TRUE(form_.AcceptsDrop(dropped));
  EXPECT_FALSE(form_.AcceptsDrop({dropped[0], At(u"IN\\notes.txt")}));

  // A destination the run would refuse is refused before anything is asked.
  view_.text2 = At(u"OUT\\LONGNAME9.TXT");
  form_.Drop(dropped);
  ASSERT_EQ(view_.boxes.size(), 1u);
  EXPECT_EQ(view_.boxes[0].text, convert::kBadPathMessage);
  EXPECT_EQ(view_.boxes[0].title, view_.text2);
  EXPECT_EQ(view_.log.back(), "select destination");

  // One question for all of them; No converts none.
  view_.text2 = At(u"OUT");
  view_.answers = {false};
  form_.Drop(dropped);
  ASSERT_EQ(view_.boxes.size(), 2u);
  EXPECT_TRUE(view_.boxes[1].yes_no);
  EXPECT_NE(view_.boxes[1].text.find(u"3 件"), std::u16string::npos) << Narrow(view_.boxes[1].text);
  EXPECT_NE(view_.boxes[1].text.find(At(u"OUT\\")), std::u16string::npos);
  EXPECT_FALSE(fs::exists(D("OUT")));

  view_.answers = {true};
  view_.log.clear();
  form_.Drop(dropped);
  const std::string sum = "変換完了 2 件、中止 1 件、失敗 0 件";
  ASSERT_EQ(view_.boxes.size(), 4u);
  const BoxContent& summary = view_.boxes[3];
  EXPECT_THAT(view_.log, ElementsAre("box: " + Narrow(view_.boxes[2].text), "busy",
                                     "message: 只今変換中！（1/3）source.ddf", "events",
                                     "message: 只今変換中！（2/3）BROKEN.ddf", "events",
                                     "message: 只今変換中！（3/3）HOLE2.ddf", "events", "not busy",
                                     "message: " + sum, "box: " + Narrow(summary.text)));
  EXPECT_EQ(summary.icon, BoxIcon::kExclamation);
  const std::string text = Narrow(summary.text);
  EXPECT_EQ(text.rfind(sum + "\n\n変換完了: " + Narrow(At(u"IN\\source.ddf -> ")) +
                           Narrow(At(u"OUT\\source\\")) + "\n中止: " +
                           Narrow(At(u"IN\\BROKEN.ddf -> ")) + Narrow(At(u"OUT\\BROKEN\\")) + ": ",
                       0),
            0u)
      << text;
  EXPECT_NE(
      text.find("\n変換完了: " + Narrow(At(u"IN\\HOLE2.ddf -> ")) + Narrow(At(u"OUT\\HOLE2\\"))),
      std::string::npos)
      << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << "one line per survey";

  // Each converted survey as a single run writes it; the broken one wrote nothing.
  const fs::path expected = fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run" / "expected" / "out";
  for (const char* name : {"X1.TXT", "X3.TXT", "X5.TXT", "X12.TXT", "X6.TXT"}) {
    EXPECT_EQ(test::ReadBytes(D("OUT/source") / name), test::ReadBytes(expected / name)) << name;
    EXPECT_EQ(test::ReadBytes(D("OUT/HOLE2") / name), test::ReadBytes(expected / name)) << name;
  }
  EXPECT_FALSE(fs::exists(D("OUT/BROKEN")));
  EXPECT_EQ(form_.messageShown(), 1);
  form_.Picture1_MouseMove();
  EXPECT_EQ(view_.label3, u"");
}

TEST_F(FormLogicTest, OneDroppedSurveyFillsTheSourceField) {
  ASSERT_TRUE(form_.Form_Load());
  struct Case {
    std::vector<std::u16string> files;
    bool accepted;
  };
  const Case cases[] = {
      {{At(u"SURVEY\\HOLE1.ddf")}, true},
      {{At(u"SURVEY\\HOLE2.DDF")}, true},
      {{At(u"SURVEY\\notes.txt")}, false},
      {{At(u"SURVEY\\HOLE.ddf.bak")}, false},
      {{}, false},
  };
  for (const Case& c : cases) {
    view_.text1 = u"before";
    EXPECT_EQ(form_.AcceptsDrop(c.files), c.accepted);
    form_.Drop(c.files);
    EXPECT_EQ(view_.text1, c.accepted ? c.files.front() : u"before");
    EXPECT_THAT(view_.boxes, IsEmpty());
  }
}

TEST(MatchesPattern, WildcardsWithoutRegardToLetterCase) {
  struct Case {
    const char16_t* name;
    const char16_t* pattern;
    bool matches;
  };
  const Case cases[] = {
      {u"a.ddf", u"*.ddf", true},      {u"A.DDF", u"*.ddf", true},    {u".ddf", u"*.ddf", true},
      {u"a.ddf.bak", u"*.ddf", false}, {u"a.ddx", u"*.ddf", false},   {u"ddf", u"*.ddf", false},
      {u"a.b.ddf", u"*.ddf", true},    {u"孔１.ddf", u"*.ddf", true}, {u"ab.ddf", u"?b.DDF", true},
      {u"b.ddf", u"?b.ddf", false},    {u"x.ddfddf", u"*ddf", true},  {u"", u"*", true},
      {u"ａ.ddf", u"Ａ.ddf", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches)
        << Narrow(c.name) << " ~ " << Narrow(c.pattern);
  }
  EXPECT_THAT(SortedCaseBlind({u"b", u"A", u"a", u"C", u"Ｂ", u"ａ"}),
              ElementsAre(u"A", u"a", u"b", u"C", u"ａ", u"Ｂ"));
}

}  // namespace
}  // namespace m2v::app
