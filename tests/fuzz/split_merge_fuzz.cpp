// Split and merge: for any text, saving without edits writes back the same bytes; after an
// edit of one block only that block's bytes change, also when a later block is edited after
// an earlier one changed length; and a save with nothing new writes what is already there.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "replay/document.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

std::string Read(const std::string& path) {
  auto bytes = xl::fs::ReadWholeFile(path);
  FUZZ_CHECK(bytes.ok());
  return *bytes;
}

// A new text for a block: every byte changed, and the same length (bit 0 of `how` clear),
// longer or shorter.
std::string Edited(const std::string& block, unsigned how) {
  std::string out = block;
  for (char& c : out) c = static_cast<char>(c == 'a' ? 'b' : 'a');
  if (how & 1) {
    if ((how & 2) || out.size() < 2) {
      out += "\r\n\t\t\t\t<Extra>1</Extra>";
    } else {
      out.resize(out.size() / 2);
    }
  }
  return out;
}

}  // namespace

// Input: a selector byte, then the replay's text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const unsigned how = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string path = xl::fuzz::ScratchPath("a.rcd");
  (void)xl::fs::DeleteFile(path + ".bak");  // each input is a replay of its own, saved for the first time
  FUZZ_CHECK(xl::fs::WriteWholeFile(path, text).ok());

  xl::replay::ReplayState state;
  xl::replay::OpenReplay(state, text);
  xl::replay::SplitPlayers(state, nullptr);
  FUZZ_CHECK(xl::replay::MergeAndWrite(state, path).ok());
  FUZZ_CHECK(Read(path) == text);
  FUZZ_CHECK(Read(path + ".bak") == text);
  const size_t blocks = state.edited.size();
  if (blocks == 0) return 0;
  FUZZ_CHECK(state.loadedAt.size() == blocks);

  // One block edited: the file is the text with that block's bytes replaced where it stood.
  const size_t first = (how >> 2) % blocks;
  std::string expected = text;
  const std::string firstNew = Edited(state.loaded[first], how);
  expected.replace(state.loadedAt[first], state.loaded[first].size(), firstNew);
  const size_t secondAt =
      first + 1 < blocks ? state.loadedAt[first + 1] + firstNew.size() - state.loaded[first].size() : 0;
  state.edited[first] = firstNew;
  FUZZ_CHECK(xl::replay::MergeAndWrite(state, path).ok());
  FUZZ_CHECK(Read(path) == expected);
  FUZZ_CHECK(state.text() == expected);

  // Then the block after it, where the first edit moved it.
  if (first + 1 < blocks) {
    const std::string secondNew = Edited(state.loaded[first + 1], how >> 1);
    expected.replace(secondAt, state.loaded[first + 1].size(), secondNew);
    state.edited[first + 1] = secondNew;
    FUZZ_CHECK(xl::replay::MergeAndWrite(state, path).ok());
    FUZZ_CHECK(Read(path) == expected);
  }
  FUZZ_CHECK(xl::replay::MergeAndWrite(state, path).ok());
  FUZZ_CHECK(Read(path) == expected);
  FUZZ_CHECK(Read(path + ".bak") == text);  // later saves leave the backup alone
  return 0;
}
