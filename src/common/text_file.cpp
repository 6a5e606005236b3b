#include "common/text_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

#include "common/file_cache.h"
#include "platform/platform.h"
#include "text/cp932.h"
#include "text/failure.h"
#include "text/text_util.h"

namespace m2v::common {
namespace {

std::u16string LineText(int line) { return u"（" + text::DecimalText(line) + u" 行目）"; }

std::filesystem::path HostPathOrThrow(const std::u16string& path, const char16_t* what) {
  std::optional<std::filesystem::path> host = platform::ToHostPath(path);
  if (!host) throw text::Failure(path + u"\n" + what + u"（ドライブがありません）");
  return *host;
}

bool IsFieldBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool IsBlankLine(std::u16string_view line) {
  return std::all_of(line.begin(), line.end(), IsFieldBlank);
}

TextLines Cp932LinesOf(const std::u16string& name, std::string_view bytes) {
  TextLines lines = SplitCp932Lines(bytes);
  if (!lines.bad_bytes.empty()) {
    const BadByte& bad = lines.bad_bytes.front();
    throw text::Failure(name + u"\nShift-JIS でない文字があります。" + LineText(bad.line));
  }
  return lines;
}

}  // namespace

std::vector<std::string_view> SplitByteLines(std::string_view bytes) {
  // CR and LF are never trail bytes in CP932, so bytes can be split before decoding.
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = start;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    lines.push_back(bytes.substr(start, end - start));
    if (end < bytes.size()) {
      end += (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
    }
    start = end;
  }
  return lines;
}

TextLines SplitCp932Lines(std::string_view bytes) {
  TextLines result;
  const std::vector<std::string_view> raw_lines = SplitByteLines(bytes);
  result.lines.reserve(raw_lines.size());
  int line = 0;
  for (std::string_view raw : raw_lines) {
    ++line;
    text::DecodedText decoded = text::DecodeCp932(raw);
    const std::size_t start = static_cast<std::size_t>(raw.data() - bytes.data());
    for (std::size_t offset : decoded.bad_bytes) {
      result.bad_bytes.push_back(BadByte{line, start + offset, offset});
    }
    result.lines.push_back(std::move(decoded.text));
  }
  return result;
}

std::string ReadFileBytes(const std::u16string& path) {
  const std::filesystem::path host = HostPathOrThrow(path, u"ファイルを開けません。");
  std::error_code ec;
  if (std::filesystem::is_directory(host, ec)) {
    throw text::Failure(path + u"\nファイルを開けません。（フォルダです）");
  }
  std::ifstream in(host, std::ios::binary);
  if (!in) throw text::Failure(path + u"\nファイルを開けません。");
  // Whole blocks, not a character at a time: the tables and the survey are read often.
  std::string bytes;
  char block[65536];
  do {
    in.read(block, sizeof block);
    bytes.append(block, static_cast<std::size_t>(in.gcount()));
  } while (in);
  if (in.bad()) throw text::Failure(path + u"\nファイルを読み取れません。");
  return bytes;
}

LineReader LineReader::Open(const std::u16string& path) {
  if (FileCachingActive()) return OpenKeptLines(path);
  return FromBytes(path, ReadFileBytes(path));
}

LineReader LineReader::FromBytes(const std::u16string& name, std::string_view bytes) {
  return LineReader(name, Cp932LinesOf(name, bytes));
}

LineReader::LineReader(std::u16string name, TextLines lines)
    : name_(std::move(name)),
      lines_(std::make_shared<const std::vector<std::u16string>>(std::move(lines.lines))) {}

LineReader::LineReader(std::u16string name,
                       std::shared_ptr<const std::vector<std::u16string>> lines)
    : name_(std::move(name)), lines_(std::move(lines)) {}

std::u16string LineReader::ReadLine() {
  if (next_ >= lines_->size()) {
    throw text::Failure(name_ + u"\nファイルの終わりを越えて読もうとしました。" +
                        LineText(static_cast<int>(next_) + 1));
  }
  return (*lines_)[next_++];
}

FieldReader FieldReader::Open(const std::u16string& path) {
  return FromBytes(path, ReadFileBytes(path));
}

FieldReader FieldReader::FromBytes(const std::u16string& name, std::string_view bytes) {
  return FieldReader(name, std::move(Cp932LinesOf(name, bytes).lines));
}

FieldReader::FieldReader(std::u16string name, std::vector<std::u16string> lines)
    : name_(std::move(name)), lines_(std::move(lines)) {
  for (std::size_t i = lines_.size(); i > 0; --i) {
    const std::u16string& line = lines_[i - 1];
    if (!IsBlankLine(line)) {
      last_data_line_ = i;
      break;
    }
  }
}

bool FieldReader::HasMoreData() const { return line_ < last_data_line_; }

std::u16string FieldReader::ReadField() {
  if (!HasMoreData()) {
    throw text::Failure(name_ + u"\nファイルの終わりを越えて読もうとしました。" +
                        LineText(static_cast<int>(line_) + 1));
  }
  // A line of blanks holds no field: a table a person left blank lines in (the soil table
  // then gains records after them) must not read every later record shifted.
  while (column_ == 0 && line_ < last_data_line_ && IsBlankLine(lines_[line_])) ++line_;
  const std::u16string& line = lines_[line_];
  std::size_t i = column_;
  while (i < line.size() && IsFieldBlank(line[i])) ++i;
  std::u16string field;
  if (i < line.size() && line[i] == u'"') {
    const std::size_t close = line.find(u'"', i + 1);
    const std::size_t text_end = close == std::u16string::npos ? line.size() : close;
    field = line.substr(i + 1, text_end - i - 1);
    i = close == std::u16string::npos ? line.size() : close + 1;
    while (i < line.size() && line[i] != u',') ++i;
  } else {
    const std::size_t start = i;
    while (i < line.size() && line[i] != u',') ++i;
    std::size_t end = i;
    while (end > start && IsFieldBlank(line[end - 1])) --end;
    field = line.substr(start, end - start);
  }
  if (i < line.size()) {
    column_ = i + 1;  // past the comma; a comma at the line's end leaves one empty field
  } else {
    ++line_;
    column_ = 0;
  }
  return field;
}

std::vector<std::u16string> FieldReader::ReadRecord(int count) {
  const int first_line = Line();
  std::vector<std::u16string> fields;
  fields.reserve(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    if (!HasMoreData()) {
      throw text::Failure(name_ + u"\n最後のレコードの項目が足りません。" + LineText(first_line));
    }
    fields.push_back(ReadField());
  }
  return fields;
}

TextWriter::TextWriter(std::u16string path) : path_(std::move(path)), replaces_(true) {}

TextWriter::TextWriter(std::u16string path, std::ofstream out)
    : path_(std::move(path)), out_(std::move(out)) {}

TextWriter TextWriter::Create(const std::u16string& path) {
  HostPathOrThrow(path, u"ファイルを作成できません。");
  return TextWriter(path);
}

TextWriter TextWriter::Append(const std::u16string& path) {
  const std::filesystem::path host = HostPathOrThrow(path, u"ファイルに書き込めません。");
  bool needs_line_end = false;
  std::uintmax_t length = 0;
  {
    std::ifstream in(host, std::ios::binary | std::ios::ate);
    if (in && in.tellg() > 0) {
      length = static_cast<std::uintmax_t>(in.tellg());
      in.seekg(-1, std::ios::end);
      const int last = in.get();
      needs_line_end = last != '\n' && last != '\r';
    }
  }
  std::ofstream out(host, std::ios::binary | std::ios::app);
  if (!out) throw text::Failure(path + u"\nファイルに書き込めません。");
  TextWriter writer(path, std::move(out));
  writer.host_ = host;
  writer.length_before_ = length;
  if (needs_line_end) {
    writer.out_.write("\r\n", 2);
    writer.Check(u"ファイルに書き込めません。");
  }
  return writer;
}

void TextWriter::WriteLine(std::u16string_view line) { WriteRawLine(text::EncodeCp932(line)); }

void TextWriter::WriteRawLine(std::string_view bytes) {
  if (replaces_) {
    gathered_.append(bytes).append("\r\n");
    return;
  }
  std::string line(bytes);
  line += "\r\n";
  out_.write(line.data(), static_cast<std::streamsize>(line.size()));
  Check(u"ファイルに書き込めません。");
}

void TouchFile(const std::u16string& path) {
  // Not even opened when it exists: a pattern folder that cannot be written still serves.
  if (platform::FileExists(path)) return;
  const std::filesystem::path host = HostPathOrThrow(path, u"ファイルを作成できません。");
  std::ofstream out(host, std::ios::binary | std::ios::app);
  if (!out) throw text::Failure(path + u"\nファイルを作成できません。");
}

void TextWriter::Close() {
  if (replaces_) {
    replaces_ = false;
    if (!platform::WriteReplacing(path_, path_ + u".tmp", gathered_, /*durable=*/false)) {
      throw text::Failure(path_ + u"\nファイルを作成できません。（" + platform::LastErrorText() +
                          u"）");
    }
    gathered_.clear();
    return;
  }
  out_.flush();
  Check(u"ファイルに書き込めません。");
  out_.close();
  Check(u"ファイルを閉じられません。");
}

void TextWriter::Check(const char16_t* what) {
  if (out_) return;
  if (!host_.empty()) {
    // Part of the appended bytes may have reached the file: cut them off again.
    out_.close();
    std::error_code ec;
    std::filesystem::resize_file(host_, length_before_, ec);
    host_.clear();
  }
  throw text::Failure(path_ + u"\n" + what);
}

}  // namespace m2v::common
