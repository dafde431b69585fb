// The portable file cases over the W functions, plus what only Windows has: files held open
// by another program, names GBK cannot hold, and the system's folders.
#include "native/files_test.cpp"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace xl::fs {
namespace {

TEST(FilesWindows, ALockedFileIsKeptAndTheSaveReportsIt) {
  TempFolder t;
  const std::string file = t.Sub(fixtures::kXingLv + ".rcd");
  ASSERT_TRUE(WriteWholeFile(file, "original"));
  // Another program has the replay open without sharing it (as the game does while playing).
  HANDLE held = CreateFileW(GbkToWide(file)->c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  auto began = std::chrono::steady_clock::now();
  Status replaced = ReplaceFileAtomically(file, "new");
  auto waited = std::chrono::steady_clock::now() - began;
  CloseHandle(held);

  ASSERT_FALSE(replaced);
  EXPECT_EQ(replaced.error().problem, Problem::InUse);  // "close the game and try again"
  EXPECT_LT(waited, std::chrono::seconds(5));           // retried briefly, not forever
  EXPECT_EQ(ReadWholeFile(file).value(), "original");
  EXPECT_EQ(List(t.path(), "*").size(), 1u);        // the temporary file is gone
  ASSERT_TRUE(ReplaceFileAtomically(file, "new"));  // released: the save goes through
  EXPECT_EQ(ReadWholeFile(file).value(), "new");
}

// Whoever looks at the replay while it is saved (the game, the file manager, this program's
// list) must always find it: a second thread watches its name while the first replaces the
// file again and again. Replacing it by moving the original away first leaves moments
// without it, and a crash in such a moment loses the replay.
TEST(FilesWindows, TheNameIsNeverMissingWhileTheFileIsReplaced) {
  TempFolder t;
  const std::string file = t.Sub(fixtures::kXingLv + ".rcd");
  ASSERT_TRUE(WriteWholeFile(file, "first"));
  const std::wstring wide = *GbkToWide(file);
  std::atomic<bool> done{false};
  std::atomic<long> looks{0}, missing{0};
  std::thread watcher([&] {
    while (!done) {
      if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) ++missing;
      ++looks;
    }
  });
  int replaced = 0;
  for (int i = 0; i < 40; ++i) replaced += ReplaceFileAtomically(file, std::string(50000 + i, 'a')).ok();
  done = true;
  watcher.join();
  EXPECT_EQ(replaced, 40);
  EXPECT_EQ(missing, 0) << "the name was missing in " << missing << " of " << looks << " looks";
  EXPECT_GT(looks, 40);
  EXPECT_EQ(List(t.path(), "*").size(), 1u);  // no temporary file left
}

TEST(FilesWindows, PathsGbkCannotHoldAreRefused) {
  TempFolder t;
  const std::string bad = t.Sub("\xFF\xFF.rcd");
  EXPECT_FALSE(WriteWholeFile(bad, "x"));
  EXPECT_FALSE(ReplaceFileAtomically(bad, "x"));
  EXPECT_FALSE(ReadWholeFile(bad));
  EXPECT_FALSE(CreateDirectories(t.Sub("\xFF\xFF")));
  EXPECT_FALSE(FileExists(bad));
  EXPECT_TRUE(List(t.path(), "*").empty());
}

TEST(FilesWindows, SystemFolders) {
  EXPECT_TRUE(DirectoryExists(ExecutableFolder())) << ExecutableFolder();
  EXPECT_NE(ExecutableFolder().back(), '\\');
  EXPECT_TRUE(DirectoryExists(DocumentsFolder())) << DocumentsFolder();
  EXPECT_EQ(NativePath("C:\\a\\b"), "C:\\a\\b");
}

}  // namespace
}  // namespace xl::fs
