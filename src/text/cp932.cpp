#include "text/cp932.h"

#include <cerrno>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace m2v::text {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// Bytes that Windows alone would decode; both platforms refuse them.
bool IsRefusedSingleByte(unsigned char b) { return b == 0x80 || b == 0xA0 || b >= 0xFD; }

// glibc maps these to CP932 although they do not decode back to themselves; Windows
// without best fit writes "?", and so does this codec everywhere.
bool IsOneWayCharacter(char16_t c) {
  switch (c) {
    case u'\u301C':
    case u'\u2212':
    case u'\u2016':
    case u'\u00A5':
    case u'\u203E':
    case u'\u00A2':  // to 0x8191, which is U+FFE0
    case u'\u00A3':  // to 0x8192, which is U+FFE1
    case u'\u00AC':  // to 0x81CA, which is U+FFE2
    case u'\u2014':  // to 0x815C, which is U+2015
      return true;
    default:
      return false;
  }
}

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

#ifndef _WIN32

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("no iconv converter from ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  iconv_t get() const { return cd_; }
  void Reset() const { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

const Converter& Decoder() {
  thread_local const Converter converter("UTF-16LE", "CP932");
  return converter;
}

const Converter& Encoder() {
  thread_local const Converter converter("CP932", "UTF-16LE");
  return converter;
}

#endif

}  // namespace

#ifndef _WIN32

DecodedText DecodeCp932(std::string_view bytes) {
  DecodedText result;
  result.text.reserve(bytes.size());
  const Converter& cd = Decoder();
  cd.Reset();
  std::string out(bytes.size() * 2 + 8, '\0');
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    // Runs of ASCII need no converter.
    std::size_t run = pos;
    while (run < bytes.size() && static_cast<unsigned char>(bytes[run]) < 0x80) {
      result.text.push_back(static_cast<char16_t>(bytes[run]));
      ++run;
    }
    pos = run;
    if (pos == bytes.size()) break;
    std::size_t end = pos;
    while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x80) {
      end += IsLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
    }
    if (end > bytes.size()) end = bytes.size();
    char* in = const_cast<char*>(bytes.data() + pos);
    std::size_t in_left = end - pos;
    char* dst = out.data();
    std::size_t dst_left = out.size();
    while (in_left > 0) {
      const unsigned char first = static_cast<unsigned char>(*in);
      std::size_t rc = static_cast<std::size_t>(-1);
      if (!IsRefusedSingleByte(first)) {
        rc = iconv(cd.get(), &in, &in_left, &dst, &dst_left);
      } else {
        errno = EILSEQ;
      }
      if (rc != static_cast<std::size_t>(-1)) break;
      // Not CP932 (or a lead byte at the end): note it, skip one byte, go on.
      result.bad_bytes.push_back(static_cast<std::size_t>(in - bytes.data()));
      dst[0] = static_cast<char>(kReplacement & 0xFF);
      dst[1] = static_cast<char>(kReplacement >> 8);
      dst += 2;
      dst_left -= 2;
      ++in;
      --in_left;
      cd.Reset();
    }
    const std::size_t produced = static_cast<std::size_t>(dst - out.data());
    for (std::size_t i = 0; i + 1 < produced; i += 2) {
      result.text.push_back(static_cast<char16_t>(static_cast<unsigned char>(out[i]) |
                                                  (static_cast<unsigned char>(out[i + 1]) << 8)));
    }
    pos = end;
  }
  return result;
}

std::string EncodeCp932(std::u16string_view text) {
  std::string result;
  result.reserve(text.size() * 2);
  const Converter& cd = Encoder();
  std::string in_bytes;
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t run = pos;
    while (run < text.size() && text[run] < 0x80) {
      result.push_back(static_cast<char>(text[run]));
      ++run;
    }
    pos = run;
    if (pos == text.size()) break;
    std::size_t end = pos;
    while (end < text.size() && text[end] >= 0x80) ++end;
    in_bytes.clear();
    for (std::size_t i = pos; i < end; ++i) {
      const char16_t c = IsOneWayCharacter(text[i]) ? u'?' : text[i];
      in_bytes.push_back(static_cast<char>(c & 0xFF));
      in_bytes.push_back(static_cast<char>(c >> 8));
    }
    out.assign(in_bytes.size() + 8, '\0');
    cd.Reset();
    char* in = in_bytes.data();
    std::size_t in_left = in_bytes.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    while (in_left > 0) {
      if (iconv(cd.get(), &in, &in_left, &dst, &dst_left) != static_cast<std::size_t>(-1)) break;
      // No CP932 form (or a lone surrogate): "?" in its place.
      *dst++ = '?';
      --dst_left;
      const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(in[0]) |
                                                  (static_cast<unsigned char>(in[1]) << 8));
      const std::size_t skip = (unit >= 0xD800 && unit <= 0xDBFF && in_left >= 4)
                                   ? 4
                                   : std::min<std::size_t>(2, in_left);
      in += skip;
      in_left -= skip;
      cd.Reset();
    }
    result.append(out.data(), static_cast<std::size_t>(dst - out.data()));
    pos = end;
  }
  return result;
}

#else

DecodedText DecodeCp932(std::string_view bytes) {
  DecodedText result;
  result.text.reserve(bytes.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const unsigned char b = static_cast<unsigned char>(bytes[pos]);
    if (b < 0x80) {
      result.text.push_back(b);
      ++pos;
      continue;
    }
    const int len = IsLeadByte(b) ? 2 : 1;
    wchar_t wc = 0;
    const bool ok =
        !IsRefusedSingleByte(b) && pos + len <= bytes.size() &&
        MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data() + pos, len, &wc, 1) == 1;
    if (ok) {
      result.text.push_back(static_cast<char16_t>(wc));
      pos += len;
    } else {
      result.bad_bytes.push_back(pos);
      result.text.push_back(kReplacement);
      ++pos;
    }
  }
  return result;
}

std::string EncodeCp932(std::u16string_view text) {
  std::string result;
  result.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      result.push_back(static_cast<char>(c));
      continue;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
      // CP932 has nothing beyond the BMP: one "?" for a pair, as for a lone surrogate.
      if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        ++i;
      }
      result.push_back('?');
      continue;
    }
    char buf[4];
    BOOL used_default = FALSE;
    const wchar_t wc = IsOneWayCharacter(c) ? L'?' : static_cast<wchar_t>(c);
    const int n =
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wc, 1, buf, sizeof buf, "?", &used_default);
    // Windows also writes U+0080 and U+F8F0-U+F8F3 as the single bytes that neither
    // platform reads back (0x80, 0xA0, 0xFD-0xFF).
    if (n <= 0 || used_default ||
        (n == 1 && IsRefusedSingleByte(static_cast<unsigned char>(buf[0])))) {
      result.push_back('?');
    } else {
      result.append(buf, static_cast<std::size_t>(n));
    }
  }
  return result;
}

#endif

bool HasCp932Form(std::u16string_view text) {
  for (char16_t c : text) {
    if (c < 0x80) continue;
    const char16_t one[] = {c};
    const std::string bytes = EncodeCp932(std::u16string_view(one, 1));
    if (bytes == "?") return false;
  }
  return true;
}

}  // namespace m2v::text
