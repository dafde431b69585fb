// SHA-256 against the published test vectors (FIPS 180-4 examples) and lengths at the
// edges of the padding, by both engines, and
// fed in pieces of every awkward size: a wrong digest would make every save ask whether
// another program changed the replay, or miss a change.
#include "platform/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace xl {
namespace {

std::string Hex(const Sha256Digest& d) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::uint8_t b : d) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

TEST(Sha256, PublishedVectorsByBothEngines) {
  const struct {
    std::string message, digest;
  } vectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrst"
       "u",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
      // Lengths at the edges of the padding (from another implementation).
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(119, 'a'), "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
  };
  for (Sha256::Engine engine : {Sha256::Engine::Best, Sha256::Engine::Portable}) {
    for (const auto& v : vectors) {
      Sha256 whole(engine);
      whole.Add(v.message);
      EXPECT_EQ(Hex(whole.Finish()), v.digest) << v.message.size() << " bytes";
      // The same bytes in pieces that straddle the 64-byte blocks in every way.
      Sha256 pieces(engine);
      size_t at = 0;
      for (size_t step = 0; at < v.message.size(); step = (step + 1) % 130) {
        const size_t take = std::min(step, v.message.size() - at);
        pieces.Add(std::string_view(v.message).substr(at, take));
        at += take;
      }
      EXPECT_EQ(Hex(pieces.Finish()), v.digest) << v.message.size() << " bytes in pieces";
    }
  }
  const std::string_view parts[] = {"ab", "", "c"};
  EXPECT_EQ(DigestOf(parts), DigestOf("abc"));
  EXPECT_EQ(DigestOf("abc").size, 3u);
  EXPECT_EQ(Hex(DigestOf("abc").sha256), vectors[1].digest);
}

}  // namespace
}  // namespace xl
