#include "coding/soil_table_check.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <iterator>
#include <map>
#include <unordered_map>
#include <utility>

#include "coding/soil_tables.h"
#include "common/text_file.h"
#include "platform/platform.h"
#include "text/failure.h"
#include "text/num_value.h"
#include "text/text_util.h"

namespace m2v::coding {
namespace {

using text::DecimalText;

constexpr int kFieldsPerRecord = 6;
constexpr int kFirstUserCode = 2000;
constexpr int kLastUserCode = 3999;
constexpr float kInsertBefore = 4000;  // new records go before the first line of this value
constexpr int kFewCodes = 100;

// The search ranges in the order the run tries them, and how a message names them.
constexpr std::array<SearchRange, 3> kRangeOrder = {SearchRange::k5000To5499,
                                                    SearchRange::k1000To3999, SearchRange::k1To999};
constexpr std::array<const char16_t*, 3> kRangeText = {u"5000～5499", u"1000～3999", u"1～999"};

std::u16string Quoted(std::u16string_view text) { return u"「" + std::u16string(text) + u"」"; }

std::u16string LineText(int line) { return DecimalText(line) + u" 行目"; }

bool IsFourDigits(std::u16string_view text) {
  return text.size() == 4 &&
         std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

int FourDigitValue(std::u16string_view text) {
  int value = 0;
  for (char16_t c : text) value = value * 10 + (c - u'0');
  return value;
}

bool IsUserCode(int code) { return code >= kFirstUserCode && code <= kLastUserCode; }

bool IsFieldBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool IsBlankLine(std::u16string_view line) {
  return std::all_of(line.begin(), line.end(), IsFieldBlank);
}

// A number as a message shows it, in its shortest form ("200", "20.5").
std::u16string NumberText(float value) {
  char text[32];
  const std::to_chars_result end = std::to_chars(std::begin(text), std::end(text), value);
  return std::u16string(text, end.ptr);
}

// A record as the run reads it, and where its six fields stand in the table.
struct Record {
  std::vector<std::u16string> fields;
  int line = 0;                      // 1-based line of field 1
  int field = 0;                     // 1-based position of field 1 in that line
  int last_line = 0;                 // line of field 6
  int last_field = 0;                // its position there
  bool whole = false;                // six fields of one line, at a multiple of six from its start
  bool bad_code = false;             // a code beyond the range of a number: the run fails
  std::optional<std::size_t> range;  // index into kRangeOrder; none: no search matches it
  std::u16string name;               // field 2, cut before "（" when the record is in a range
  const std::u16string& code() const { return fields[0]; }
};

struct Table {
  explicit Table(const SoilTableFile& f, std::u16string n, bool u)
      : file(f), name(std::move(n)), user(u) {}

  const SoilTableFile& file;
  std::u16string name;    // "KISHITU.TXT" or "XKISHITU.TXT"
  bool user;              // the user soil table
  bool present = false;   // exists and was read
  bool readable = false;  // the record reader reads it: every byte is CP932
  std::vector<std::u16string> lines;
  std::vector<int> field_counts;  // fields of each line, as the record reader reads them
  std::vector<Record> records;
  // Per cut name, per range: the record the search finds (index into records, -1: none).
  std::unordered_map<std::u16string, std::array<int, 3>> first;
  std::vector<TableFinding> findings;

  // Where a failure to read this table stops the run.
  std::u16string StopText() const {
    return user ? u"変換は KISHITU.TXT にない土質名が現れたところで止まります。"
                : u"変換は最初の土質名を探すところで止まります。";
  }
  void Add(TableSeverity severity, const char* rule, int line, std::u16string message) {
    findings.push_back({severity, rule, line, std::move(message)});
  }
  void Error(const char* rule, int line, std::u16string message) {
    Add(TableSeverity::kError, rule, line, std::move(message));
  }
  void Warn(const char* rule, int line, std::u16string message) {
    Add(TableSeverity::kWarning, rule, line, std::move(message));
  }
  void Inform(const char* rule, int line, std::u16string message) {
    Add(TableSeverity::kInformation, rule, line, std::move(message));
  }

  // The record the search of this table finds for a cut name: the first of the first range
  // that holds one; -1 when none.
  int Found(const std::u16string& cut_name) const {
    const auto it = first.find(cut_name);
    if (it == first.end()) return -1;
    for (int index : it->second) {
      if (index >= 0) return index;
    }
    return -1;
  }
};

class TableChecker {
 public:
  explicit TableChecker(const SoilTableFiles& files)
      : soil_(files.soil, kSoilTable, false), user_(files.user, kUserSoilTable, true) {}

  SoilTableReport Check() {
    for (Table* table : {&soil_, &user_}) {
      if (!Load(*table)) continue;
      CheckBytes(*table);
      if (table->readable) ReadRecords(*table);
    }
    CheckInsertion();
    CheckUserCodes();
    CheckNames();
    SoilTableReport report;
    report.soil = Sorted(std::move(soil_.findings));
    report.user = Sorted(std::move(user_.findings));
    report.user_codes = codes_;
    return report;
  }

 private:
  static std::vector<TableFinding> Sorted(std::vector<TableFinding> findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const TableFinding& a, const TableFinding& b) {
                       return a.line != b.line ? a.line < b.line : a.severity < b.severity;
                     });
    return findings;
  }

  // False when there is nothing to read.
  bool Load(Table& t) {
    if (!t.file.exists) {
      t.Inform("no-table", 0,
               t.user ? u"XKISHITU.TXT がありません。変換は空のテーブルとして扱い、"
                        u"新しい土質名を学習するときに作ります。"
                      : u"KISHITU.TXT がありません。変換は空のテーブルとして作ります。");
      return false;
    }
    if (!t.file.failure.empty()) {
      std::u16string reason = t.file.failure;
      if (const std::size_t newline = reason.find(u'\n'); newline != std::u16string::npos) {
        reason.erase(0, newline + 1);
      }
      t.Error("unreadable", 0, t.name + u" を読み取れません: " + reason + t.StopText());
      return false;
    }
    t.present = true;
    return true;
  }

  // What the bytes themselves show: encoding, line ends, blank lines.
  void CheckBytes(Table& t) {
    const std::string_view bytes = t.file.bytes;
    common::TextLines text = common::SplitCp932Lines(bytes);
    t.lines = std::move(text.lines);

    std::size_t bom = 0;
    std::u16string bom_kind;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
      bom = 3;
      bom_kind = u"UTF-8";
    } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
      bom = 2;
      bom_kind = u"UTF-16";
    }
    if (bom > 0) {
      t.Error("bom", 1,
              u"ファイルの先頭にバイト順マーク（" + bom_kind +
                  u" の BOM）があります。Shift-JIS のテーブルではないため読めません。" +
                  t.StopText() + u"BOM を除き、Shift-JIS（CP932）で保存し直してください。");
    }
    int reported_line = 0;
    for (const common::BadByte& bad : text.bad_bytes) {
      if (bad.offset < bom || bad.line == reported_line) continue;
      reported_line = bad.line;
      t.Error("not-cp932", bad.line,
              u"この行（ファイルの " + DecimalText(static_cast<long long>(bad.offset) + 1) +
                  u" バイト目）に Shift-JIS でない文字があります。" + t.StopText());
    }
    t.readable = text.bad_bytes.empty();

    // Line ends: the run reads CR LF, a lone LF and a lone CR alike, but writes CR LF.
    int line = 1;
    int lf_only = 0;
    int cr_only = 0;
    int first_odd = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        ++i;
      } else if (bytes[i] == '\r' || bytes[i] == '\n') {
        ++(bytes[i] == '\n' ? lf_only : cr_only);
        if (first_odd == 0) first_odd = line;
      } else {
        continue;
      }
      ++line;
    }
    if (first_odd > 0) {
      std::u16string kinds;
      if (lf_only > 0) kinds = u"LF だけの行 " + DecimalText(lf_only) + u" 行";
      if (cr_only > 0) {
        kinds += (kinds.empty() ? u"" : u"、") + std::u16string(u"CR だけの行 ") +
                 DecimalText(cr_only) + u" 行";
      }
      t.Warn("line-end", first_odd,
             u"行末が CR LF でない行があります（" + kinds +
                 u"、最初はこの行）。変換は同じように"
                 u"読みますが、" +
                 (t.user ? std::u16string(u"新しいコードを付けるときにテーブル全体を CR LF "
                                          u"で書き直します。")
                         : std::u16string(u"加える行は CR LF で終わるため、行末が混ざります。")) +
                 u"CR LF を前提とする他のプログラムは、この行を読み違えることがあります。");
    }
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') {
      t.Inform("no-final-line-end", static_cast<int>(t.lines.size()),
               u"最後の行に行末（CR LF）がありません。変換は読めますが、" +
                   std::u16string(t.user ? u"書き直すときに" : u"行を加えるときに") +
                   u" CR LF を補います。");
    }
    for (std::size_t i = 0; i < t.lines.size(); ++i) {
      if (IsBlankLine(t.lines[i])) {
        t.Inform("blank-line", static_cast<int>(i) + 1,
                 u"空の行です。変換はレコードを読むときこの行を飛ばします。");
      }
    }
  }

  // The records as the run reads them (a stream of fields, six to a record, line ends only
  // separating fields), and where each one stands.
  void ReadRecords(Table& t) {
    // The fields of each line, by the same reader: a line read alone gives the fields it
    // gives within the stream, since a field never continues past its line's end.
    t.field_counts.reserve(t.lines.size());
    std::vector<int> line_start;  // index in the stream of each line's first field
    int total = 0;
    for (const std::u16string& line : t.lines) {
      common::FieldReader one(t.file.path, std::vector<std::u16string>{line});
      int count = 0;
      while (one.HasMoreData()) {
        one.ReadField();
        ++count;
      }
      line_start.push_back(total);
      t.field_counts.push_back(count);
      total += count;
    }

    common::FieldReader reader(t.file.path, t.lines);
    try {
      while (reader.HasMoreData()) {
        Record record;
        record.fields = reader.ReadRecord(kFieldsPerRecord);
        t.records.push_back(std::move(record));
      }
    } catch (const text::Failure&) {
      // The table ends inside a record; reported below, where its fields are counted.
    }

    // Where each record's first and last field stand.
    std::size_t line = 0;
    auto locate = [&](int field, int& at_line, int& at_field) {
      while (line + 1 < line_start.size() &&
             (t.field_counts[line] == 0 || field >= line_start[line] + t.field_counts[line])) {
        ++line;
      }
      at_line = static_cast<int>(line) + 1;
      at_field = field - line_start[line] + 1;
    };
    for (std::size_t r = 0; r < t.records.size(); ++r) {
      Record& record = t.records[r];
      const int start = static_cast<int>(r) * kFieldsPerRecord;
      locate(start, record.line, record.field);
      locate(start + kFieldsPerRecord - 1, record.last_line, record.last_field);
      record.whole = record.line == record.last_line && (record.field - 1) % kFieldsPerRecord == 0;
      Classify(t, record, static_cast<int>(r));
    }

    CheckFieldCounts(t, line_start, total);
    for (const Record& record : t.records) {
      if (record.whole) {
        CheckWholeRecord(t, record);
      } else {
        ReportShifted(t, record);
      }
    }
  }

  // The code value, the range and the cut name of a record, as the search sees them.
  void Classify(Table& t, Record& record, int index) {
    float value = 0;
    try {
      value = text::NumValue(record.code());
    } catch (const text::Failure&) {
      record.bad_code = true;
      t.Error(
          "bad-code", record.line,
          u"コード" + Quoted(record.code()) + u"は数として大きすぎて読めません。" + t.StopText());
      return;
    }
    for (std::size_t r = 0; r < kRangeOrder.size(); ++r) {
      if (InSearchRange(value, kRangeOrder[r])) {
        record.range = r;
        break;
      }
    }
    record.name = record.fields[1];
    if (!record.range) return;
    if (const std::size_t paren = record.name.find(u'（'); paren != std::u16string::npos) {
      record.name.resize(paren);
    }
    auto [it, added] = t.first.try_emplace(record.name);
    if (added) it->second.fill(-1);
    if (it->second[*record.range] < 0) it->second[*record.range] = index;
  }

  void CheckFieldCounts(Table& t, const std::vector<int>& line_start, int total) {
    for (std::size_t i = 0; i < t.lines.size(); ++i) {
      const int count = t.field_counts[i];
      if (count == 0 || count == kFieldsPerRecord) continue;
      const int line = static_cast<int>(i) + 1;
      const int after = (line_start[i] + count) % kFieldsPerRecord;
      if (count % kFieldsPerRecord == 0) {
        t.Warn("field-count", line,
               u"この行には " + DecimalText(count) + u" 個の項目（" +
                   DecimalText(count / kFieldsPerRecord) +
                   u" レコード）があります。変換はどのレコードも読みますが、新しいユーザーコード"
                   u"の挿入位置と、コードが使われているかどうかは、行の最初の項目だけで決まり"
                   u"ます。");
        continue;
      }
      const bool more = line_start[i] + count < total;
      std::u16string effect;
      if (after == 0) {
        effect = u"前の行から続くずれはこの行で終わります。";
        if (more) effect += u"次の行からは 1 行 1 レコードで読まれます。";
      } else if (!more) {
        effect = u"テーブルはこの行で最後のレコードの途中で終わります。";
      } else {
        effect = u"次の行の最初の項目は、レコードの " + DecimalText(after + 1) +
                 u" 項目目として読まれます（本来はコード）。それより後のレコードはずれて読まれ、"
                 u"土質名とコードの組が変わります。";
      }
      t.Error("field-count", line,
              u"この行の項目は " + DecimalText(count) +
                  u" 個です（1 レコードは 6 項目）。"
                  u"変換は行末を項目の区切りとしか見ないため、" +
                  effect);
    }
    if (const int partial = total % kFieldsPerRecord; partial != 0) {
      const int start = total - partial;
      std::size_t i = 0;
      while (i + 1 < t.lines.size() &&
             (t.field_counts[i] == 0 || start >= line_start[i] + t.field_counts[i])) {
        ++i;
      }
      t.Error("incomplete-record", static_cast<int>(i) + 1,
              u"テーブルが最後のレコードの途中で終わっています（この行から 6 項目のうち " +
                  DecimalText(partial) + u" 項目）。テーブルは検索のたびに最後まで読まれるため、" +
                  t.StopText());
    }
  }

  void ReportShifted(Table& t, const Record& record) {
    std::u16string where = u"この行の " + DecimalText(record.field) + u" 項目目から ";
    if (record.last_line != record.line) where += LineText(record.last_line) + u"の ";
    where += DecimalText(record.last_field) +
             u" 項目目までが 1 つのレコードとして読まれます: "
             u"コード" +
             Quoted(record.code()) + u"、土質名" + Quoted(record.fields[1]) + u"。";
    if (record.bad_code) {
      where += t.StopText();
    } else if (record.range) {
      where += u"変換はこれを土質名" + Quoted(record.name) + u"のコード" + Quoted(record.code()) +
               u"として探します。";
    } else {
      where +=
          u"このコードはどの検索範囲にも入らないため、このレコードはどの土質名にも一致"
          u"しません。";
    }
    t.Error("shifted-record", record.line, std::move(where));
  }

  void CheckWholeRecord(Table& t, const Record& record) {
    if (record.bad_code) return;
    const std::u16string& code = record.code();
    if (!IsFourDigits(code)) {
      t.Warn("code-not-four-digits", record.line,
             u"コード" + Quoted(code) + u"は 4 桁の数字ではありません。" +
                 (record.range
                      ? u"変換はこのレコードを" + std::u16string(kRangeText[*record.range]) +
                            u" の範囲で探し、X1.TXT には" + Quoted(code) + u"をそのまま書きます。"
                      : std::u16string(u"どの検索範囲にも入らないため、このレコードはどの"
                                       u"土質名にも一致しません。")));
    }
    if (t.user && record.field == 1) CheckLineStart(t, record);
    if (!record.range) return;
    const std::u16string& full_name = record.fields[1];
    if (full_name.empty()) {
      t.Warn("empty-name", record.line,
             u"土質名が空です。このレコードはどの層の土質名にも一致しません。");
    } else if (record.name.size() < full_name.size()) {
      t.Warn("paren-in-name", record.line,
             record.name.empty()
                 ? u"土質名" + Quoted(full_name) +
                       u"は「（」で始まります。検索は「（」から後を無視するため、このレコードは"
                       u"どの層の土質名にも一致しません。"
                 : u"土質名" + Quoted(full_name) +
                       u"の「（」から後は検索で無視され、このレコード"
                       u"は" +
                       Quoted(record.name) + u"と書かれた層に一致します。" + Quoted(full_name) +
                       u"と書かれた層には一致せず、そうした層には層ごとに新しいユーザーコードが付き"
                       u"ます。");
    }
    if (record.name.find_first_of(u",\"") != std::u16string::npos) {
      std::u16string stored = record.name;
      for (char16_t& c : stored) {
        if (c == u',') c = u'，';
        if (c == u'"') c = u'＂';
      }
      t.Warn("comma-in-name", record.line,
             u"土質名" + Quoted(record.name) +
                 u"に「,」か「\"」があります。変換は層の土質名の「,」と「\"」を全角の「，」"
                 u"「＂」にしてから探すため、このレコードはどの層にも一致しません（" +
                 Quoted(stored) + u"と書けば一致します）。");
    }
  }

  // A user table record whose line does not begin with its code: the insertion reads the
  // first four characters of the line, the search reads the code field.
  void CheckLineStart(Table& t, const Record& record) {
    const std::u16string_view line = t.lines[static_cast<std::size_t>(record.line - 1)];
    const std::u16string_view head = line.substr(0, 4);
    float line_value = 0;
    float code_value = 0;
    try {
      line_value = text::NumValue(head);
      code_value = text::NumValue(record.code());
    } catch (const text::Failure&) {
      return;  // a bad code, reported where it is read
    }
    if (line_value == code_value) return;
    t.Warn("code-not-at-line-start", record.line,
           u"行の最初の 4 文字" + Quoted(head) + u"は値 " + NumberText(line_value) +
               u" と読まれますが、レコードのコードは" + Quoted(record.code()) +
               u"です。新しいレコードの挿入位置と次のユーザーコードは行の最初の 4 文字で決まる"
               u"ため、この行は値 " +
               NumberText(line_value) + u" として数えられます。");
  }

  // The user table as the insertion reads it: the first four characters of each line.
  void CheckInsertion() {
    Table& t = user_;
    if (!t.present) return;
    std::vector<float> values(t.lines.size(), 0);
    for (std::size_t i = 0; i < t.lines.size(); ++i) {
      try {
        values[i] = text::NumValue(std::u16string_view(t.lines[i]).substr(0, 4));
      } catch (const text::Failure&) {
        t.Error("bad-code", static_cast<int>(i) + 1,
                u"行の最初の 4 文字" + Quoted(std::u16string_view(t.lines[i]).substr(0, 4)) +
                    u"は数として大きすぎて読めません。変換は新しいユーザーコードを付けるところで"
                    u"止まります。");
      }
    }
    insert_at_ = values.size();
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i] >= kInsertBefore) {
        insert_at_ = i;
        break;
      }
      try {
        previous_ = text::ToInt16(values[i]);
      } catch (const text::Failure&) {
        t.Error("bad-code", static_cast<int>(i) + 1,
                u"行の最初の 4 文字" + Quoted(std::u16string_view(t.lines[i]).substr(0, 4)) +
                    u"は小さすぎて数えられません。変換は新しいユーザーコードを付けるところで"
                    u"止まります。");
        previous_ = 0;
      }
    }
    const std::u16string insert_text = insert_at_ < values.size()
                                           ? LineText(static_cast<int>(insert_at_) + 1) + u"（値 " +
                                                 NumberText(values[insert_at_]) + u"）の前"
                                           : std::u16string(u"テーブルの終わり");

    // Lines below 4000 after the point where new records go.
    for (std::size_t i = insert_at_ + 1; i < values.size(); ++i) {
      if (values[i] > 0 && values[i] < kInsertBefore) {
        t.Warn("after-insert-point", static_cast<int>(i) + 1,
               u"値 " + NumberText(values[i]) + u" の行が、新しいレコードの挿入位置（" +
                   insert_text +
                   u"）より後にあります。変換はこの行をそのまま写し、次のユーザーコードを決める"
                   u"ときにはこの行を数えません。");
      }
    }
    // Lines out of code order before it.
    float before = 0;
    int before_line = 0;
    int last_user_line = 0;  // the last line before the insertion point holding a user code
    for (std::size_t i = 0; i < insert_at_; ++i) {
      if (values[i] <= 0) continue;
      const int line = static_cast<int>(i) + 1;
      if (before_line > 0 && values[i] < before) {
        t.Warn("out-of-order", line,
               u"値 " + NumberText(values[i]) + u" が前の行（" + LineText(before_line) + u"、値 " +
                   NumberText(before) +
                   u"）より小さく、コードの順に並んでいません。変換は新しいレコードを" +
                   insert_text + u"に入れ、その直前の行の値の次からコードを数えます。");
      }
      if (values[i] >= kFirstUserCode && i + 1 < insert_at_) last_user_line = line;
      before = values[i];
      before_line = line;
    }
    // The line right before the insertion point decides where the codes are counted from.
    if (insert_at_ > 0 && previous_ < kFirstUserCode && last_user_line > 0) {
      reset_line_ = static_cast<int>(insert_at_);
      reset_from_line_ = last_user_line;
    }
  }

  // The next user code, the lines that hold codes the rule steps over, and the records
  // whose code the rule cannot see.
  void CheckUserCodes() {
    // The codes held as the first comma field of a line of either table.
    std::array<std::vector<std::pair<Table*, int>>, kLastUserCode - kFirstUserCode + 1> holders;
    for (Table* t : {&soil_, &user_}) {
      for (std::size_t i = 0; i < t->lines.size(); ++i) {
        const std::optional<int> code = TableLineCode(t->lines[i]);
        if (!code || !IsUserCode(*code)) continue;
        holders[static_cast<std::size_t>(*code - kFirstUserCode)].emplace_back(
            t, static_cast<int>(i) + 1);
      }
    }
    auto held = [&](int code) {
      return !holders[static_cast<std::size_t>(code - kFirstUserCode)].empty();
    };
    const int start = std::max<int>(previous_, kFirstUserCode - 1) + 1;
    for (int code = start; code <= kLastUserCode; ++code) {
      if (held(code)) continue;
      if (!codes_.next) codes_.next = code;
      ++codes_.left;
    }
    const std::u16string next_text = codes_.next
                                         ? u"次のユーザーコードは " + DecimalText(*codes_.next)
                                         : std::u16string(u"ユーザーコードは残っていません");

    if (reset_line_ > 0) {
      user_.Warn("next-code-reset", reset_line_,
                 u"この行は新しいレコードの挿入位置の直前にあり、その値が 2000 より小さい"
                 u"（空の行や数でない行は 0）ため、"
                 u"ユーザーコードは 2000 から数え直されます（" +
                     next_text + u"。ユーザーコードの最後の行は " + LineText(reset_from_line_) +
                     u"）。");
    }
    for (int code = start; code <= kLastUserCode; ++code) {
      for (const auto& [table, line] : holders[static_cast<std::size_t>(code - kFirstUserCode)]) {
        table->Warn("would-duplicate", line,
                    u"コード " + FourDigitCode(code) + u" は、次のユーザーコードの数え始め（" +
                        FourDigitCode(start) +
                        u"）より後にあります。前の行 + 1 だけで数えると、新しい土質名にこの"
                        u"コードがもう一度付きます。変換はこのコードを飛ばします。");
      }
    }
    for (Table* t : {&soil_, &user_}) {
      for (const Record& record : t->records) {
        if (record.bad_code || !IsFourDigits(record.code())) continue;
        const int code = FourDigitValue(record.code());
        if (code < start || code > kLastUserCode || held(code)) continue;
        t->Error("code-given-again", record.line,
                 u"コード " + record.code() + u"（土質名" + Quoted(record.fields[1]) +
                     u"）は、どの行の最初の項目にもないため、次のユーザーコードを決めるときに"
                     u"見えません。変換は新しい土質名にもコード " +
                     record.code() + u" を付け、2 つの土質名が同じコードになります。");
      }
    }
    if (!codes_.next) {
      user_.Error("codes-used-up", 0,
                  u"ユーザーコード（2000～3999）が残っていません。変換は新しい土質名が現れた"
                  u"ところで止まります。");
    } else if (codes_.left < kFewCodes) {
      user_.Warn("few-codes-left", 0,
                 u"3999 までに残るユーザーコードは " + DecimalText(codes_.left) + u" 個です（" +
                     next_text + u"）。" + DecimalText(kFewCodes) + u" 個を切っています。");
    }
  }

  // Codes and names across both tables, as the search finds them.
  void CheckNames() {
    // The first record of each user code, soil table first.
    std::map<std::u16string, std::pair<const Table*, const Record*>> by_code;
    for (Table* t : {&soil_, &user_}) {
      for (const Record& record : t->records) {
        if (!record.whole || record.bad_code || !IsFourDigits(record.code()) ||
            !IsUserCode(FourDigitValue(record.code()))) {
          continue;
        }
        const auto [it, added] = by_code.try_emplace(record.code(), t, &record);
        if (added || it->second.second->name == record.name) continue;
        const auto& [first_table, first_record] = it->second;
        t->Error("code-two-names", record.line,
                 u"ユーザーコード " + record.code() + u" が 2 つの土質名に付いています: " +
                     Quoted(first_record->name) + u"（" + first_table->name + u" の " +
                     LineText(first_record->line) + u"）と、この行の" + Quoted(record.name) +
                     u"。X1.TXT ではどちらもコード " + record.code() +
                     u" になり、区別できません。");
      }
    }

    for (Table* t : {&soil_, &user_}) {
      for (std::size_t r = 0; r < t->records.size(); ++r) {
        const Record& record = t->records[r];
        // A shifted record is an error of its own; the search still finds it.
        if (!record.whole || !record.range || record.name.empty()) continue;
        // The record a search for this name finds: the soil table's, else the user table's.
        const Table* used_table = &soil_;
        int used = soil_.Found(record.name);
        if (used < 0) {
          used_table = &user_;
          used = user_.Found(record.name);
        }
        const Record& chosen = used_table->records[static_cast<std::size_t>(used)];
        if (used_table == t && used == static_cast<int>(r)) {
          if (t->user) {
            t->Inform("not-in-soil-table", record.line,
                      u"土質名" + Quoted(record.name) +
                          u"は KISHITU.TXT にありません。層にこの土質名が現れると、変換は"
                          u"このレコードをコード " +
                          record.code() + u" のまま KISHITU.TXT に採用します。");
          } else if (IsFourDigits(record.code()) && IsUserCode(FourDigitValue(record.code())) &&
                     user_.Found(record.name) < 0) {
            t->Inform("not-in-user-table", record.line,
                      u"ユーザーコード " + record.code() + u" の土質名" + Quoted(record.name) +
                          u"は XKISHITU.TXT にありません。変換は KISHITU.TXT でこの土質名を見つける"
                          u"ため、結果は変わりません。");
          }
          continue;
        }
        if (chosen.code() == record.code()) continue;
        std::u16string why;
        if (used_table != t) {
          why = u"KISHITU.TXT が XKISHITU.TXT より先に探されるため";
        } else if (chosen.range != record.range) {
          why =
              u"コード " + std::u16string(kRangeText[*chosen.range]) + u" の範囲が先に探されるため";
        } else {
          why = u"同じ範囲では前の行のレコードが使われるため";
        }
        t->Warn("name-two-codes", record.line,
                u"土質名" + Quoted(record.name) + u"には " + used_table->name + u" の " +
                    LineText(chosen.line) + u"のコード " + chosen.code() + u" もあります。" + why +
                    u"、変換は常にコード " + chosen.code() + u" を使い、この行のコード " +
                    record.code() + u" は使われません。");
      }
    }
  }

  Table soil_;
  Table user_;
  std::size_t insert_at_ = 0;
  int previous_ = 0;         // value of the last line below 4000 before the insertion point
  int reset_line_ = 0;       // the line that makes the codes count from 2000 again
  int reset_from_line_ = 0;  // the last line holding a user code before it
  UserCodes codes_;
};

SoilTableFile ReadTableFile(const std::u16string& path) {
  SoilTableFile file;
  file.path = path;
  if (platform::FileExists(path)) {
    file.exists = true;
    try {
      file.bytes = common::ReadFileBytes(path);
    } catch (const text::Failure& failure) {
      file.failure = failure.message();
    }
  } else if (platform::EntryExists(path)) {
    file.exists = true;
    file.failure = path + u"\nファイルではありません。";
  }
  return file;
}

}  // namespace

SoilTableFiles ReadSoilTableFiles(const std::u16string& pattern_folder) {
  return {ReadTableFile(pattern_folder + kSoilTable),
          ReadTableFile(pattern_folder + kUserSoilTable)};
}

SoilTableReport CheckSoilTables(const SoilTableFiles& files) { return TableChecker(files).Check(); }

}  // namespace m2v::coding
