// Code-page conversion of a 1 MiB Chinese text, against a plain copy of the same bytes.
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "tools/bench/ratio.h"

namespace {

std::string MakeGbkText(size_t bytes) {
  // 星律纪元代码修改器 with ASCII between, as replay names and tags mix them.
  const std::string piece = "\xD0\xC7\xC2\xC9\xBC\xCD\xD4\xAA<NameDataBuf>abc</NameDataBuf>\r\n";
  std::string s;
  while (s.size() + piece.size() <= bytes) s += piece;
  return s;
}

const std::string& Text() {
  static const std::string text = MakeGbkText(1 << 20);
  return text;
}

void BM_PlainCopy(benchmark::State& state) {
  const std::string& in = Text();
  std::string out(in.size(), '\0');
  for (auto _ : state) {
    std::memcpy(out.data(), in.data(), in.size());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_PlainCopy);

void BM_GbkToUtf8(benchmark::State& state) {
  const std::string& in = Text();
  for (auto _ : state) benchmark::DoNotOptimize(xl::GbkToUtf8(in));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_GbkToUtf8);

void BM_Utf8ToGbk(benchmark::State& state) {
  static const std::string utf8 = *xl::GbkToUtf8(Text());
  for (auto _ : state) benchmark::DoNotOptimize(xl::Utf8ToGbk(utf8));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * utf8.size()));
}
BENCHMARK(BM_Utf8ToGbk);

}  // namespace

int main(int argc, char** argv) {
  xl::bench::Compare("BM_GbkToUtf8", "BM_PlainCopy", 0);
  xl::bench::Compare("BM_Utf8ToGbk", "BM_PlainCopy", 0);
  return xl::bench::RunAndReport(argc, argv);
}
