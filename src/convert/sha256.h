#pragma once

// SHA-256 (FIPS 180-4), so that a report can name exactly which bytes were converted and
// written. Plain C++ with no platform code, the same on every system.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace m2v::convert {

class Sha256 {
 public:
  using Digest = std::array<std::uint8_t, 32>;

  Sha256();
  // Adds bytes; may be called any number of times with pieces of any size.
  void Update(std::string_view bytes);
  // The digest of everything added. The object must not be updated afterwards.
  Digest Finish();

 private:
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> buffer_{};
  std::size_t buffered_ = 0;
  std::uint64_t total_bytes_ = 0;
};

// The digest of the bytes as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);
std::string HexDigits(const Sha256::Digest& digest);

}  // namespace m2v::convert
