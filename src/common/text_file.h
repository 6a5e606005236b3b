#pragma once

// Text files as the system keeps them: CP932, lines ended by CR LF. Paths are drive-form
// (see platform.h). Every failure is a text::Failure naming the file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::common {

// A CP932 byte that is not valid, where it stands.
struct BadByte {
  int line;            // 1-based
  std::size_t offset;  // 0-based, from the start of the file
  std::size_t column;  // 0-based, from the start of the line, in bytes
};

// The lines of a file: a line ends at CR LF, a lone CR or a lone LF; a last line without
// a line end still counts, an empty file has no line.
struct TextLines {
  std::vector<std::u16string> lines;
  std::vector<BadByte> bad_bytes;
};

TextLines SplitCp932Lines(std::string_view bytes);

// The lines of a file as raw bytes, without their line ends, by the same rule.
std::vector<std::string_view> SplitByteLines(std::string_view bytes);

// Whole file as bytes. Throws Failure when it cannot be opened or read.
std::string ReadFileBytes(const std::u16string& path);

// Reads a text file line by line.
class LineReader {
 public:
  // Throws Failure when the file cannot be read or holds bytes that are not CP932.
  static LineReader Open(const std::u16string& path);
  // The same for bytes already read from the file `name`.
  static LineReader FromBytes(const std::u16string& name, std::string_view bytes);
  LineReader(std::u16string name, TextLines lines);
  // Lines shared with other readers of the same bytes; they are not copied.
  LineReader(std::u16string name, std::shared_ptr<const std::vector<std::u16string>> lines);

  bool HasMoreData() const { return next_ < lines_->size(); }
  // Throws Failure when the file has no more line.
  std::u16string ReadLine();
  // Lines read so far; the 1-based number of the line last read.
  int LinesRead() const { return static_cast<int>(next_); }
  const std::u16string& name() const { return name_; }
  const std::vector<std::u16string>& lines() const { return *lines_; }
  std::shared_ptr<const std::vector<std::u16string>> shared_lines() const { return lines_; }

 private:
  std::u16string name_;
  std::shared_ptr<const std::vector<std::u16string>> lines_;
  std::size_t next_ = 0;
};

// Reads comma records: fields stream across line ends (a line end only ends a field).
// A field ends at "," or at the end of its line; blanks before it are skipped; a field that
// then starts with a double quote is the text up to the next double quote (the rest up to
// the next "," or line end is skipped); any other field loses its trailing blanks.
// A line of blanks is no data, wherever it stands.
class FieldReader {
 public:
  static FieldReader Open(const std::u16string& path);
  // The same for bytes already read from the file `name`.
  static FieldReader FromBytes(const std::u16string& name, std::string_view bytes);
  FieldReader(std::u16string name, std::vector<std::u16string> lines);

  bool HasMoreData() const;
  // Throws Failure when the data has ended.
  std::u16string ReadField();
  // Reads `count` fields; throws Failure naming the line when the data ends inside them.
  std::vector<std::u16string> ReadRecord(int count);
  // 1-based line of the next field.
  int Line() const { return static_cast<int>(line_) + 1; }

 private:
  std::u16string name_;
  std::vector<std::u16string> lines_;
  std::size_t last_data_line_ = 0;  // one past the last line that holds more than blanks
  std::size_t line_ = 0;
  std::size_t column_ = 0;
};

// Creates an empty file when none exists; an existing one is left as it is.
void TouchFile(const std::u16string& path);

// Writes CP932 lines ended by CR LF. Create gathers the lines, and Close writes them into a
// new file that then replaces `path` whole: a link standing under that name is replaced,
// never written through, and a writer dropped before Close leaves `path` as it was. Append
// adds at the file's end, starting on a fresh line when the file does not end with a line
// end, and when a write fails (a full disk) cuts the file back to its length before, so that
// an append is whole or not there at all.
class TextWriter {
 public:
  static TextWriter Create(const std::u16string& path);
  static TextWriter Append(const std::u16string& path);

  // Throws Failure on a write error.
  void WriteLine(std::u16string_view line);
  // A line that is CP932 bytes already, copied as it stands.
  void WriteRawLine(std::string_view bytes);
  // Flushes and closes; throws Failure on a write error. Destruction closes quietly.
  void Close();

 private:
  explicit TextWriter(std::u16string path);
  TextWriter(std::u16string path, std::ofstream out);
  void Check(const char16_t* what);
  std::u16string path_;
  bool replaces_ = false;  // made by Create: `gathered_` replaces the file on Close
  std::string gathered_;
  std::ofstream out_;
  std::filesystem::path host_;        // set by Append: the file to cut back
  std::uintmax_t length_before_ = 0;  // its length before the append
};

}  // namespace m2v::common
