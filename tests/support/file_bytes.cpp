#include "support/file_bytes.h"

#include "text/utf.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

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

#ifdef _WIN32
std::string Sjis(std::string_view utf8) {
  // Independent of the codec under test: Windows' own converters, through UTF-16.
  if (utf8.empty()) return {};
  const int wide_length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                              static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                      wide.data(), wide_length);
  BOOL used_default = FALSE;
  const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length,
                                         nullptr, 0, nullptr, &used_default);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length, out.data(), length,
                      nullptr, &used_default);
  if (wide_length == 0 || used_default) {
    throw std::runtime_error("no CP932 form: " + std::string(utf8));
  }
  return out;
}
#else
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
#endif

std::u16string Utf16(std::string_view utf8) { return text::Utf8ToUtf16(utf8); }

std::string SjisLines(const std::vector<std::string_view>& utf8_lines) {
  std::string out;
  for (std::string_view line : utf8_lines) {
    out += Sjis(line);
    out += "\r\n";
  }
  return out;
}

}  // namespace m2v::test
