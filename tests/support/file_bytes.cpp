#include "support/file_bytes.h"

#include "common/utf.h"

#include <iconv.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace m2v::test {

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::string Sjis(std::string_view utf8) {
  // Independent of the codec under test: glibc's converter straight from UTF-8.
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
  std::string in(utf8);
  std::string out(in.size() * 2 + 4, '\0');
  char* src = in.data();
  size_t src_left = in.size();
  char* dst = out.data();
  size_t dst_left = out.size();
  const size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) throw std::runtime_error("no CP932 form: " + in);
  out.resize(out.size() - dst_left);
  return out;
}

std::u16string Utf16(std::string_view utf8) { return common::Utf8ToUtf16(utf8); }

std::string SjisLines(const std::vector<std::string_view>& utf8_lines) {
  std::string out;
  for (std::string_view line : utf8_lines) {
    out += Sjis(line);
    out += "\r\n";
  }
  return out;
}

}  // namespace m2v::test
