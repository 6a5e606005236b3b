#include "convert/sha256.h"

#include <gtest/gtest.h>

namespace m2v::convert {
namespace {

TEST(Sha256Test, GivesThePublishedDigests) {
  struct Case {
    std::string message;
    const char* digest;
  };
  const Case cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmn"
       "opqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1'000'000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      {"The quick brown fox jumps over the lazy dog",
       "d7a8fbb307d7809469ca9abcb0082e4f8d5651e46d3cdb762d02d0bf37c9e592"},
      // Bytes above 0x7F must not be sign-extended.
      {std::string("\x00\xff\x80", 3),
       "f742b965f156c10374bc23aea96e3a8aff8facd6fc079defeaa30219ad86f211"},
  };
  for (const Case& c : cases) EXPECT_EQ(Sha256Hex(c.message), c.digest) << c.message.size();
}

TEST(Sha256Test, PadsCorrectlyAroundTheBlockBoundaries) {
  // 55 bytes is the longest message whose length still fits its own block; 56 to 63 need a
  // second one.
  const std::pair<std::size_t, const char*> cases[] = {
      {55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {56, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {63, "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {65, "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
      {119, "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
      {120, "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
  };
  for (const auto& [length, digest] : cases) {
    EXPECT_EQ(Sha256Hex(std::string(length, 'a')), digest) << length;
  }
}

TEST(Sha256Test, PiecesGiveTheSameDigestAsTheWhole) {
  std::string message;
  for (int i = 0; i < 200; ++i) message += static_cast<char>(i * 37 + 11);
  const std::string whole = Sha256Hex(message);
  for (std::size_t first = 0; first <= message.size(); first += 7) {
    for (std::size_t second : {std::size_t{0}, std::size_t{1}, std::size_t{64}}) {
      const std::size_t cut = std::min(message.size(), first + second);
      Sha256 hash;
      hash.Update(std::string_view(message).substr(0, first));
      hash.Update(std::string_view(message).substr(first, cut - first));
      hash.Update(std::string_view(message).substr(cut));
      EXPECT_EQ(HexDigits(hash.Finish()), whole) << first << "+" << second;
    }
  }
}

}  // namespace
}  // namespace m2v::convert
