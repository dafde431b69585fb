// The regular-expression object against the work it stands on. An avatar apply runs it six
// times over eight-character codes; a pattern over a whole replay-sized text is the most
// any caller could ask of it.
#include <cstdint>
#include <string>

#include "platform/codepage.h"
#include "replay/costume_edits.h"
#include "text/regex_object.h"
#include "tools/bench/ratio.h"

namespace {

// The four bytes of an id, least significant first, without any pattern matching.
std::string DirectCode(std::uint32_t id) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (int i = 0; i < 4; ++i) {
    const unsigned byte = (id >> (8 * i)) & 0xFF;
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
  }
  return out;
}

void BM_AvatarCodeDirect(benchmark::State& state) {
  std::uint32_t id = 601403601;
  for (auto _ : state) benchmark::DoNotOptimize(DirectCode(id++));
}
BENCHMARK(BM_AvatarCodeDirect);

void BM_AvatarCode(benchmark::State& state) {
  std::uint32_t id = 601403601;
  for (auto _ : state) benchmark::DoNotOptimize(xl::replay::AvatarCode(id++));
}
BENCHMARK(BM_AvatarCode);

const std::string& ReplaySizedText() {
  static const std::string text = [] {
    // 星律 and a tag line, as replays mix Chinese and ASCII.
    const std::string piece = "\xD0\xC7\xC2\xC9<NameDataBuf>616263</NameDataBuf>\r\n";
    std::string s;
    while (s.size() < (256 << 10)) s += piece;
    return s;
  }();
  return text;
}

void BM_GbkToUtf8_256KiB(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(xl::GbkToUtf8(ReplaySizedText()));
}
BENCHMARK(BM_GbkToUtf8_256KiB);

void BM_RegexRun_256KiB(benchmark::State& state) {
  for (auto _ : state) {
    xl::text::RegexObject re;
    benchmark::DoNotOptimize(re.Run("<NameDataBuf>\\w+", ReplaySizedText()));
    benchmark::DoNotOptimize(re.MatchCount());
  }
}
BENCHMARK(BM_RegexRun_256KiB);

}  // namespace

int main(int argc, char** argv) {
  // Six codes a click: even a hundred times the direct way stays far below a frame.
  xl::bench::Compare("BM_AvatarCode", "BM_AvatarCodeDirect", 0);
  xl::bench::Compare("BM_RegexRun_256KiB", "BM_GbkToUtf8_256KiB", 0);
  return xl::bench::RunAndReport(argc, argv);
}
