// Prints what the CP932 codec makes of every single byte, every lead byte with every
// second byte, and every UTF-16 code unit, one line each. scripts/test-windows compares the
// listing of the Windows build with that of the POSIX build: the two must not differ.

#include <cstdio>
#include <string>

#include "text/cp932.h"

namespace {

void PrintDecoded(const std::string& bytes) {
  const m2v::text::DecodedText decoded = m2v::text::DecodeCp932(bytes);
  for (unsigned char b : bytes) std::printf("%02X", b);
  std::printf(" ->");
  for (char16_t c : decoded.text) std::printf(" %04X", static_cast<unsigned>(c));
  std::printf(" bad");
  for (std::size_t offset : decoded.bad_bytes) std::printf(" %zu", offset);
  std::printf("\n");
}

bool IsLead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

int main() {
  for (int b = 0; b < 0x100; ++b) {
    PrintDecoded(std::string(1, static_cast<char>(b)));
    if (!IsLead(b)) continue;
    for (int t = 0; t < 0x100; ++t) {
      PrintDecoded(std::string{static_cast<char>(b), static_cast<char>(t)});
    }
  }
  for (unsigned c = 0; c < 0x10000; ++c) {
    const std::string bytes = m2v::text::EncodeCp932(std::u16string(1, static_cast<char16_t>(c)));
    std::printf("%04X <-", c);
    for (unsigned char b : bytes) std::printf(" %02X", b);
    std::printf("\n");
  }
  return 0;
}
