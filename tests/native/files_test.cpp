// The file layer as the program uses it: Chinese names, whole-file reads and atomic
// replacement that never leaves a half-written or lost file. Also compiled into the Windows
// tests, where the same cases run over the W functions.
#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

#include "fixtures/gbk.h"
#include "fixtures/temp_folder.h"

namespace xl::fs {
namespace {

using fixtures::TempFolder;

std::vector<DirEntry> List(const std::string& folder, std::string_view pattern) {
  std::vector<DirEntry> entries;
  DirectorySearch search(folder, pattern);
  for (DirEntry e; search.Next(e);) entries.push_back(e);
  std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  return entries;
}

std::vector<std::string> Names(const std::vector<DirEntry>& entries) {
  std::vector<std::string> names;
  for (const DirEntry& e : entries) names.push_back(e.name);
  return names;
}

TEST(Files, ChineseNamesRoundTrip) {
  TempFolder t;
  // 星律纪元\录像 丄乤 (two characters whose second byte is a letter)
  const std::string folder =
      t.Sub(std::string("星律纪元\\录像 ") + fixtures::kSecondByteA + fixtures::kSecondByteLowerA);
  ASSERT_TRUE(CreateDirectories(folder));
  ASSERT_TRUE(CreateDirectories(folder));  // already there: fine
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_FALSE(FileExists(folder));

  const std::string name = fixtures::kXingLv + ".rcd";
  const std::string file = folder + "\\" + name;
  const std::string bytes = fixtures::kNotice + std::string("\0\r\n\xFF", 4);
  ASSERT_TRUE(WriteWholeFile(file, bytes));
  EXPECT_TRUE(FileExists(file));
  EXPECT_EQ(ReadWholeFile(file).value(), bytes);
  auto entries = List(folder, "*.*");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, name);
  EXPECT_FALSE(entries[0].isDirectory);

  ASSERT_TRUE(CopyFile(file, folder + "\\copy.rcd"));
  EXPECT_EQ(ReadWholeFile(folder + "\\copy.rcd").value(), bytes);
  ASSERT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFile(file));
}

TEST(Files, ReadsRefuseWhatIsMissingOrTooLarge) {
  TempFolder t;
  auto missing = ReadWholeFile(t.Sub("missing.rcd"));
  ASSERT_FALSE(missing);
  EXPECT_FALSE(missing.error().message.empty());
  ASSERT_TRUE(WriteWholeFile(t.Sub("a.rcd"), "12345"));
  EXPECT_FALSE(ReadWholeFile(t.Sub("a.rcd"), 4));
  EXPECT_EQ(ReadWholeFile(t.Sub("a.rcd"), 5).value(), "12345");
  EXPECT_EQ(ReadWholeFile(t.Sub("a.rcd"), 0).ok(), false);
  ASSERT_TRUE(WriteWholeFile(t.Sub("empty.rcd"), ""));
  EXPECT_EQ(ReadWholeFile(t.Sub("empty.rcd"), 0).value(), "");
}

TEST(Files, AtomicReplaceCreatesReplacesAndLeavesNothingBehind) {
  TempFolder t;
  const std::string file = t.Sub(fixtures::kXingLv + ".rcd");
  ASSERT_TRUE(ReplaceFileAtomically(file, "first"));
  EXPECT_EQ(ReadWholeFile(file).value(), "first");
  ASSERT_TRUE(ReplaceFileAtomically(file, std::string(100000, 'x')));
  EXPECT_EQ(ReadWholeFile(file).value(), std::string(100000, 'x'));
  ASSERT_TRUE(ReplaceFileAtomically(file, ""));
  EXPECT_EQ(ReadWholeFile(file).value(), "");
  EXPECT_EQ(Names(List(t.path(), "*")), std::vector<std::string>{fixtures::kXingLv + ".rcd"});
  EXPECT_FALSE(ReplaceFileAtomically(t.Sub("no such folder\\a.rcd"), "x"));
  EXPECT_EQ(List(t.path(), "*").size(), 1u);
}

#ifndef _WIN32
// A save that fails halfway (here: the file-size limit is reached, as on a full disk) must
// leave the replay exactly as it was, and no temporary file behind. A replacement is a
// new file put in the old one's place, never a rewrite of the old one.
TEST(Files, AtomicReplaceThatFailsHalfwayKeepsTheOldFile) {
  TempFolder t;
  const std::string file = t.Sub("a.rcd");
  const std::string old(3000, 'o');
  ASSERT_TRUE(WriteWholeFile(file, old));
  struct stat before {
  }, after{};
  ASSERT_EQ(::stat(NativePath(file).c_str(), &before), 0);

  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  Status replaced = ReplaceFileAtomically(file, std::string(10000, 'n'));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(replaced);
  EXPECT_TRUE(ReadWholeFile(file).value() == old) << "the replay was overwritten";
  EXPECT_EQ(Names(List(t.path(), "*")), std::vector<std::string>{"a.rcd"});

  ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
  ASSERT_EQ(::stat(NativePath(file).c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
}
#endif

TEST(Files, ReadOnlyFilesAreRefusedAndKept) {
  TempFolder t;
  const std::string file = t.Sub("a.rcd");
  ASSERT_TRUE(WriteWholeFile(file, "original"));
  ASSERT_TRUE(SetReadOnly(file, true));
  EXPECT_TRUE(IsReadOnly(file));
  Status replaced = ReplaceFileAtomically(file, "new");
  ASSERT_FALSE(replaced);
  EXPECT_FALSE(replaced.error().message.empty());
  EXPECT_FALSE(WriteWholeFile(file, "new"));
  EXPECT_EQ(ReadWholeFile(file).value(), "original");
  EXPECT_EQ(List(t.path(), "*").size(), 1u);  // no temporary file left

  ASSERT_TRUE(SetNormalAttributes(file));
  EXPECT_FALSE(IsReadOnly(file));
  ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
  EXPECT_EQ(ReadWholeFile(file).value(), "new");
}

TEST(Files, DirectorySearchMatchesNamesLikeWindows) {
  TempFolder t;
  const std::string star = fixtures::kXingLv + ".rcd";
  for (const std::string& name : {std::string("a.rcd"), std::string("B.RCD"), star, std::string("a.rcdx"),
                                  std::string("a.txt"), std::string("noext")})
    ASSERT_TRUE(WriteWholeFile(t.Sub(name), "x"));
  ASSERT_TRUE(CreateDirectories(t.Sub("2024")));
  ASSERT_TRUE(CreateDirectories(t.Sub("sub.rcd")));

  EXPECT_EQ(Names(List(t.path(), "*.rcd")), (std::vector<std::string>{"B.RCD", "a.rcd", "sub.rcd", star}));
  auto all = List(t.path(), "*.*");
  EXPECT_EQ(all.size(), 8u);  // "*.*" also matches names without an extension
  for (const DirEntry& e : all) EXPECT_EQ(e.isDirectory, e.name == "2024" || e.name == "sub.rcd") << e.name;
  EXPECT_TRUE(List(t.Sub("missing"), "*").empty());
}

}  // namespace
}  // namespace xl::fs
