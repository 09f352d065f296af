#include "tests/support/sha256_known_answers.h"

#include <gtest/gtest.h>

#include <string>

namespace ks::test {

namespace {

std::string hex(const Sha256Digest& digest) {
  static const char* digits = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : digest) {
    text += digits[byte >> 4];
    text += digits[byte & 15];
  }
  return text;
}

// The digest of text fed in pieces of 1, 2, 3, ... bytes.
std::string digestInPieces(Hashing& hashing, const std::string& text) {
  const auto sha256 = hashing.newSha256();
  if (!sha256) return "no computation";
  std::size_t at = 0;
  for (std::size_t piece = 1; at < text.size(); ++piece) {
    const std::size_t size = std::min(piece, text.size() - at);
    sha256->update(text.data() + at, size);
    at += size;
  }
  Sha256Digest digest{};
  return sha256->finish(digest) ? hex(digest) : "failed";
}

}  // namespace

void expectSha256KnownAnswers(Hashing& hashing) {
  EXPECT_EQ(digestInPieces(hashing, ""),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(digestInPieces(hashing, "abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(digestInPieces(hashing, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(digestInPieces(hashing, std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

}  // namespace ks::test
