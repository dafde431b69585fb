// Unpacking ZIP archives: refusals, unsafe names, both name encodings, overwriting read-only
// files, progress and cancel. Also compiled into the Windows tests, where the same cases run
// over the Windows file layer.
#include "platform/archive.h"

#include <gtest/gtest.h>

#include "fixtures/gbk.h"
#include "fixtures/temp_folder.h"
#include "fixtures/zip_builder.h"
#include "platform/files.h"
#include "resources/resources.h"

namespace xl {
namespace {

using archive::UnpackStatus;
using fixtures::TempFolder;
using fixtures::U8;
using fixtures::ZipEntry;

// Files and folders below `folder`, counted recursively.
int CountBelow(const std::string& folder) {
  int n = 0;
  fs::DirectorySearch search(folder, "*");
  for (fs::DirEntry e; search.Next(e);) {
    ++n;
    if (e.isDirectory) n += CountBelow(folder + "\\" + e.name);
  }
  return n;
}

std::string WriteArchive(const TempFolder& t, const std::vector<ZipEntry>& entries) {
  std::string path = t.Sub("test.zip");
  EXPECT_TRUE(fs::WriteWholeFile(path, fixtures::BuildZip(entries)));
  return path;
}

TEST(Archive, RefusesWhatIsNotAnArchiveWithoutTouchingTheDestination) {
  TempFolder t;
  ASSERT_TRUE(fs::WriteWholeFile(t.Sub("text.zip"), "just some text, long enough to hold a header"));
  ASSERT_TRUE(fs::WriteWholeFile(t.Sub("short.zip"), fixtures::BuildZip({}).substr(0, 20)));
  std::string headerOnly = fixtures::BuildZip({{"a.txt", "abc"}}).substr(0, 40);
  ASSERT_TRUE(fs::WriteWholeFile(t.Sub("cut.zip"), headerOnly));
  // The first entry must have a name.
  ASSERT_TRUE(fs::WriteWholeFile(t.Sub("noname.zip"), fixtures::BuildZip({{"", "x"}, {"b.txt", "y"}})));
  ASSERT_TRUE(fs::CreateDirectories(t.Sub("folder.zip")));

  const std::string dest = t.Sub("out\\deep");
  const struct {
    std::string archive, destination;
    UnpackStatus status;
  } cases[] = {
      {"", dest, UnpackStatus::EmptyArgument},
      {t.Sub("text.zip"), "", UnpackStatus::EmptyArgument},
      {t.Sub("missing.zip"), dest, UnpackStatus::NoArchive},
      {t.Sub("folder.zip"), dest, UnpackStatus::NoArchive},
      {t.Sub("text.zip"), dest, UnpackStatus::NotZip},
      {t.Sub("short.zip"), dest, UnpackStatus::NotZip},
      {t.Sub("cut.zip"), dest, UnpackStatus::NotZip},
      {t.Sub("noname.zip"), dest, UnpackStatus::NotZip},
  };
  for (const auto& c : cases) {
    archive::UnpackResult r = archive::Unpack(c.archive, c.destination);
    EXPECT_EQ(r.status, c.status) << c.archive;
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.reason.empty()) << c.archive;
    EXPECT_FALSE(fs::DirectoryExists(t.Sub("out"))) << c.archive;
  }
  EXPECT_FALSE(archive::ListEntries(t.Sub("text.zip")));
  EXPECT_FALSE(archive::ListEntries(t.Sub("missing.zip")));
}

TEST(Archive, OneUnsafeEntryRefusesTheWholeArchive) {
  const std::vector<ZipEntry> unsafe = {
      {"../evil.txt", "x"},
      {"ui/../../evil.txt", "x"},
      {"ui\\..\\..\\evil.txt", "x"},
      {"ui/./evil.txt", "x"},
      {"ui/.../evil.txt", "x"},
      {"/evil.txt", "x"},
      {"\\evil.txt", "x"},
      {"C:/evil.txt", "x"},
      {"C:evil.txt", "x"},
      {"ui/evil.txt:stream", "x"},
      {"ui//evil.txt", "x"},
      {"ui/CON", "x"},
      {"ui/nul.txt", "x"},
      {"ui/evil.", "x"},
      {"ui/evil ", "x"},
      {"ui/a|b.txt", "x"},
      {std::string("ui/a\0b.txt", 10), "x"},
      {"ui/link", "../../evil.txt", false, false, true},  // a symbolic link
      {U8(u8"ui/😀.txt"), "x", true},                      // no GBK form
      {"ui/\xC3\x28.txt", "x", true},                     // flagged UTF-8 but is not
      {"ui/\xFF\xFF.txt", "x"},                           // not GBK either
  };
  for (const ZipEntry& bad : unsafe) {
    TempFolder t;
    std::string zip = WriteArchive(t, {{"ui/", "", false, true}, {"ui/first.txt", "1"}, bad, {"ui/last.txt", "2"}});
    archive::UnpackResult r = archive::Unpack(zip, t.Sub("game"));
    EXPECT_EQ(r.status, UnpackStatus::UnsafeEntry) << bad.name;
    EXPECT_EQ(r.entriesDone, 0);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_FALSE(fs::DirectoryExists(t.Sub("game"))) << bad.name;
    EXPECT_EQ(CountBelow(t.path()), 1) << bad.name;  // the archive alone
    EXPECT_FALSE(archive::ListEntries(zip)) << bad.name;
  }
}

TEST(Archive, NamesInUtf8AndInGbkBecomeTheSameProgramPaths) {
  TempFolder t;
  // 乗 is 0x81 0x5C in GBK: its second byte is a backslash and must not split the name.
  const std::string joined = fixtures::kXingLv + "\\\x81\x5C.txt";
  std::string zip = WriteArchive(t, {{U8(u8"ui/星律/乗.txt"), "utf8", true},
                                     {"ui/" + fixtures::kZhongWen + ".txt", "gbk"},
                                     {"ui\\win\\style.txt", "backslashes"}});
  auto entries = archive::ListEntries(zip);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 3u);
  EXPECT_EQ((*entries)[0].path, "ui\\" + joined);
  EXPECT_EQ((*entries)[1].path, "ui\\" + fixtures::kZhongWen + ".txt");
  EXPECT_EQ((*entries)[2].path, "ui\\win\\style.txt");

  ASSERT_TRUE(archive::Unpack(zip, t.Sub("game")).ok());
  EXPECT_EQ(fs::ReadWholeFile(t.Sub("game\\ui\\" + joined)).value(), "utf8");
  EXPECT_EQ(fs::ReadWholeFile(t.Sub("game\\ui\\" + fixtures::kZhongWen + ".txt")).value(), "gbk");
  EXPECT_EQ(fs::ReadWholeFile(t.Sub("game\\ui\\win\\style.txt")).value(), "backslashes");
  EXPECT_EQ(CountBelow(t.Sub("game\\ui")), 5);  // two folders, three files
}

TEST(Archive, UnpacksTheSilverStyleOverReadOnlyFilesTwice) {
  TempFolder t;
  const std::string zip = t.Sub("ui.zip");
  ASSERT_TRUE(fs::WriteWholeFile(zip, Resource("skin/silver_ui.zip")));
  const std::string game = t.Sub("game");
  const std::string layout = game + "\\ui\\Layout\\mainframe.tpf";
  ASSERT_TRUE(fs::CreateDirectories(game + "\\ui\\Layout"));
  ASSERT_TRUE(fs::WriteWholeFile(layout, "the game's own layout"));
  ASSERT_TRUE(fs::SetReadOnly(layout, true));

  auto entries = archive::ListEntries(zip);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 43u);
  int folders = 0;
  for (const auto& e : *entries) folders += e.isDirectory;
  EXPECT_EQ(folders, 6);
  EXPECT_EQ(entries->front().path, "ui");
  EXPECT_EQ(entries->back().path, "ui\\Res\\Game\\Login\\yfxy_03.png");

  for (int round = 0; round < 2; ++round) {
    archive::UnpackResult r = archive::Unpack(zip, game + "\\");  // a trailing backslash is fine too
    ASSERT_TRUE(r.ok()) << r.reason;
    EXPECT_EQ(r.entriesDone, 43);
    EXPECT_FALSE(r.cancelled);
    for (const auto& e : *entries) {
      const std::string path = game + "\\" + e.path;
      if (e.isDirectory) {
        EXPECT_TRUE(fs::DirectoryExists(path)) << e.path;
      } else {
        EXPECT_TRUE(fs::FileExists(path)) << e.path;
        EXPECT_FALSE(fs::IsReadOnly(path)) << e.path;
      }
    }
    EXPECT_EQ(fs::ReadWholeFile(layout).value().substr(0, 3), "\xEF\xBB\xBF");
    // An earlier install's file made read-only is replaced the same way.
    ASSERT_TRUE(fs::SetReadOnly(game + "\\ui\\Res\\Game\\Login\\bg_00.png", true));
  }
}

TEST(Archive, ReportsProgressAndStopsWhenAsked) {
  std::vector<ZipEntry> five;
  for (char c = 'a'; c <= 'e'; ++c) five.push_back({std::string(1, c) + ".txt", std::string(3, c)});

  TempFolder t;
  std::string zip = WriteArchive(t, five);
  std::vector<std::pair<int, int>> calls;
  archive::UnpackResult all = archive::Unpack(zip, t.Sub("all"), [&](int done, int count) {
    calls.emplace_back(done, count);
    return true;
  });
  EXPECT_TRUE(all.ok());
  EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}));

  archive::UnpackResult stopped = archive::Unpack(zip, t.Sub("some"), [](int done, int) { return done < 2; });
  EXPECT_EQ(stopped.status, UnpackStatus::Done);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_EQ(stopped.entriesDone, 2);
  EXPECT_TRUE(fs::FileExists(t.Sub("some\\b.txt")));
  EXPECT_FALSE(fs::FileExists(t.Sub("some\\c.txt")));

  // Stopping at the last entry is simply done.
  archive::UnpackResult last = archive::Unpack(zip, t.Sub("last"), [](int, int) { return false; });
  EXPECT_EQ(last.entriesDone, 1);
  EXPECT_TRUE(last.cancelled);
}

TEST(Archive, FailuresStopAndSayWhy) {
  {
    // A damaged entry anywhere: nothing is written, not even the sound entries before it.
    TempFolder t;
    std::string zip = WriteArchive(t, {{"a.txt", "good"}, {"b.txt", "bad", false, false, false, true}});
    archive::UnpackResult r = archive::Unpack(zip, t.Sub("game"));
    EXPECT_EQ(r.status, UnpackStatus::DamagedEntry);
    EXPECT_NE(r.reason.find("b.txt"), std::string::npos);
    EXPECT_FALSE(fs::FileExists(t.Sub("game\\a.txt")));
  }
  {
    // A file entry whose path is taken by a folder, and a folder whose path is a file.
    TempFolder t;
    ASSERT_TRUE(fs::CreateDirectories(t.Sub("game\\a.txt")));
    std::string zip = WriteArchive(t, {{"first.txt", "1"}, {"a.txt", "2"}, {"z.txt", "3"}});
    archive::UnpackResult r = archive::Unpack(zip, t.Sub("game"));
    EXPECT_EQ(r.status, UnpackStatus::WriteFailed);
    EXPECT_EQ(r.entriesDone, 1);
    EXPECT_NE(r.reason.find("a.txt"), std::string::npos);
    EXPECT_FALSE(fs::FileExists(t.Sub("game\\z.txt")));

    ASSERT_TRUE(fs::WriteWholeFile(t.Sub("game\\ui"), "a file"));
    zip = WriteArchive(t, {{"ui/", "", false, true}, {"ui/a.txt", "x"}});
    EXPECT_EQ(archive::Unpack(zip, t.Sub("game")).status, UnpackStatus::FolderFailed);
  }
  {
    // Missing folders are made: the destination's parents and an entry's own folders,
    // also when the archive holds no directory entries.
    TempFolder t;
    std::string zip = WriteArchive(t, {{"deep/er/file.txt", "x"}});
    EXPECT_TRUE(archive::Unpack(zip, t.Sub("x\\y\\z")).ok());
    EXPECT_TRUE(fs::FileExists(t.Sub("x\\y\\z\\deep\\er\\file.txt")));
  }
}

}  // namespace
}  // namespace xl
