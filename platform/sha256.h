#pragma once
// SHA-256 (FIPS 180-4). The program keeps no copy of a replay as it was read or written;
// the size and this digest of those bytes tell whether a file still holds them, and
// whether an edited document differs from them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace xl {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  // Best uses the processor's SHA instructions where it has them (about five times
  // faster); Portable never does. Both give the same digest.
  enum class Engine { Best, Portable };
  explicit Sha256(Engine engine = Engine::Best);

  void Add(std::string_view bytes);
  // The digest of everything added; the object starts afresh afterwards.
  Sha256Digest Finish();

 private:
  using Blocks = void (*)(std::uint32_t* state, const std::uint8_t* data, size_t blocks);
  Blocks blocks_;
  std::array<std::uint32_t, 8> state_;
  std::array<std::uint8_t, 64> pending_;
  size_t pendingSize_ = 0;
  std::uint64_t length_ = 0;
};

// What "the same bytes" means when the program compares a file with what it last read or
// wrote: the size and the SHA-256 of the content.
struct ContentDigest {
  std::uint64_t size = 0;
  Sha256Digest sha256{};
  bool operator==(const ContentDigest&) const = default;
};

// The digest of the bytes of all pieces, one after the other.
ContentDigest DigestOf(std::span<const std::string_view> pieces);
inline ContentDigest DigestOf(std::string_view bytes) { return DigestOf(std::span<const std::string_view>(&bytes, 1)); }

}  // namespace xl
