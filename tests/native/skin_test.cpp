// The login-style controls of the modify window: preview, install, and what the install
// leaves behind in the game and documents folders.
#include "skin/login_style.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "app/window_defs.h"
#include "fixtures/checked_ui.h"
#include "fixtures/temp_folder.h"
#include "fixtures/zip_builder.h"
#include "platform/archive.h"
#include "platform/files.h"
#include "resources/resources.h"

namespace xl {
namespace {

using fixtures::TempFolder;

const std::string kChooser = "组合框_登录界面";
const std::string kPreview = "图片框_界面图片";
const std::string kInstall = "超级按钮_修改界面";
const std::string kNoStyle = "选择界面";
const std::string kSilver = "简约银色";
const std::string kOriginal = "原版界面";
const std::string kHintLabel = "标签_提示";
const std::string kTitle = "温馨提示";
const std::string kDone = "修改成功";
const std::string kFailed = "修改失败";
const std::string kNotChosen = "别调皮!没选择界面我怎么给你修改啊";
const std::string kNotGameFolder = "请先将修改器放到星律纪元安装目录";

// Files below `folder`, relative, recursively.
std::set<std::string> FilesBelow(const std::string& folder, const std::string& prefix = "") {
  std::set<std::string> files;
  fs::DirectorySearch search(folder, "*");
  for (fs::DirEntry e; search.Next(e);) {
    if (e.isDirectory)
      files.merge(FilesBelow(folder + "\\" + e.name, prefix + e.name + "\\"));
    else
      files.insert(prefix + e.name);
  }
  return files;
}

class LoginStyle : public testing::Test {
 protected:
  LoginStyle() : ui(ProgramWindows()) {
    ui.SetEventSink([this](const UiEventArgs& e) {
      if (e.window != "modify") return;
      if (e.control == kChooser && e.event == UiEvent::SelectionChanged) skin::ShowPreview(ui);
      if (e.control == kInstall && e.event == UiEvent::Clicked) skin::Install(ui, game.path(), documents);
    });
    ui.LoadWindow("modify", true);
    ui.SetPage("modify", "选择夹1", 2);
    documents = docs.path();
  }

  void MakeGameFolder() { ASSERT_TRUE(fs::WriteWholeFile(game.Sub("qzd.exe"), "MZ")); }
  void Choose(const std::string& style) { ASSERT_TRUE(ui.Select("modify", kChooser, style)); }
  // Clicks the install button and returns the one notice it showed.
  Notice ClickInstall() {
    size_t before = ui.Notices().size();
    EXPECT_TRUE(ui.Click("modify", kInstall));
    EXPECT_EQ(ui.Notices().size(), before + 1);
    return ui.Notices().size() > before ? ui.Notices().back() : Notice{};
  }

  fixtures::CheckedUi ui;
  TempFolder game, docs;
  std::string documents;
};

TEST_F(LoginStyle, PreviewFollowsTheChoice) {
  EXPECT_EQ(ui.PictureOf("modify", kPreview), "");
  Choose(kSilver);
  EXPECT_EQ(ui.PictureOf("modify", kPreview), "skin/silver_preview.png");
  Choose(kNoStyle);
  EXPECT_EQ(ui.PictureOf("modify", kPreview), "");

  // The preview is a 324 x 272 PNG: its header says so.
  std::string_view png = Resource("skin/silver_preview.png");
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
  EXPECT_EQ(png.substr(16, 8), std::string_view("\0\0\x01\x44\0\0\x01\x10", 8));
}

TEST_F(LoginStyle, RefusalsTouchNothing) {
  // No style chosen: the disk is not even looked at, game folder or not.
  EXPECT_EQ(ClickInstall().text, kNotChosen);
  MakeGameFolder();
  Notice notice = ClickInstall();
  EXPECT_EQ(notice.text, kNotChosen);
  EXPECT_EQ(notice.title, kTitle);
  EXPECT_EQ(notice.owner, "modify");

  // A style chosen, but the program does not run from the game folder.
  TempFolder elsewhere;
  Choose(kSilver);
  ui.SetEventSink([&](const UiEventArgs& e) {
    if (e.control == kInstall) skin::Install(ui, elsewhere.path(), documents);
  });
  EXPECT_EQ(ClickInstall().text, kNotGameFolder);
  EXPECT_TRUE(FilesBelow(elsewhere.path()).empty());
  EXPECT_TRUE(FilesBelow(docs.path()).empty());
  EXPECT_EQ(FilesBelow(game.path()), std::set<std::string>{"qzd.exe"});
}

TEST_F(LoginStyle, InstallUnpacksTheStyleAndKeepsTheOriginalsOnce) {
  MakeGameFolder();
  const std::string layout = game.Sub("ui\\Layout\\mainframe.tpf");
  const std::string background = game.Sub("ui\\Res\\Game\\Login\\bg_00.png");
  ASSERT_TRUE(fs::CreateDirectories(game.Sub("ui\\Res\\Game\\Login")));
  ASSERT_TRUE(fs::CreateDirectories(game.Sub("ui\\Layout")));
  ASSERT_TRUE(fs::WriteWholeFile(layout, "the game's layout"));
  ASSERT_TRUE(fs::SetReadOnly(layout, true));
  ASSERT_TRUE(fs::WriteWholeFile(background, "the game's background"));
  ASSERT_TRUE(fs::WriteWholeFile(game.Sub("ui\\other.txt"), "not in the style"));

  Choose(kSilver);
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(ClickInstall().text, kDone) << round;
    EXPECT_TRUE(FilesBelow(docs.path()).empty()) << round;  // no ui.zip left behind

    // Every file of the style is in place and writable.
    TempFolder scratch;
    ASSERT_TRUE(fs::WriteWholeFile(scratch.Sub("ui.zip"), Resource("skin/silver_ui.zip")));
    auto entries = archive::ListEntries(scratch.Sub("ui.zip"));
    ASSERT_TRUE(entries);
    for (const archive::Entry& e : *entries) {
      if (e.isDirectory) continue;
      EXPECT_TRUE(fs::FileExists(game.Sub(e.path))) << e.path;
      EXPECT_FALSE(fs::IsReadOnly(game.Sub(e.path))) << e.path;
    }
    EXPECT_EQ(fs::ReadWholeFile(layout).value().substr(0, 3), "\xEF\xBB\xBF");

    // The originals are kept as they were before the first install, and only they; the list
    // of added files names every other file of the style, also after the second install.
    EXPECT_EQ(FilesBelow(game.Sub("ui.bak")),
              (std::set<std::string>{"Layout\\mainframe.tpf", "Res\\Game\\Login\\bg_00.png", "added.txt"}));
    std::string expectedAdded;
    for (const archive::Entry& e : *entries)
      if (!e.isDirectory && e.path != "ui\\Layout\\mainframe.tpf" && e.path != "ui\\Res\\Game\\Login\\bg_00.png")
        expectedAdded += e.path + "\r\n";
    EXPECT_EQ(fs::ReadWholeFile(game.Sub("ui.bak\\added.txt")).value(), expectedAdded);
    EXPECT_EQ(fs::ReadWholeFile(game.Sub("ui.bak\\Layout\\mainframe.tpf")).value(), "the game's layout");
    EXPECT_EQ(fs::ReadWholeFile(game.Sub("ui.bak\\Res\\Game\\Login\\bg_00.png")).value(), "the game's background");
    EXPECT_EQ(fs::ReadWholeFile(game.Sub("ui\\other.txt")).value(), "not in the style");
  }
}

TEST_F(LoginStyle, TheGamesOwnScreenComesBack) {
  Choose(kOriginal);
  EXPECT_EQ(ui.PictureOf("modify", kPreview), "");
  EXPECT_EQ(ui.GetText("modify", kHintLabel), "恢复游戏原来的登录界面");
  EXPECT_EQ(ClickInstall().text, kNotGameFolder);  // only from the game folder, like the install
  MakeGameFolder();
  EXPECT_EQ(ClickInstall().text, "修改失败：没有找到原来的登录界面（ui.bak），可能还没有安装过界面");
  Choose(kSilver);
  EXPECT_EQ(ui.GetText("modify", kHintLabel), "");

  const std::string layout = game.Sub("ui\\Layout\\mainframe.tpf");
  ASSERT_TRUE(fs::CreateDirectories(game.Sub("ui\\Layout")));
  ASSERT_TRUE(fs::WriteWholeFile(layout, "the game's layout"));
  ASSERT_TRUE(fs::WriteWholeFile(game.Sub("ui\\other.txt"), "not in the style"));
  const std::set<std::string> before = FilesBelow(game.path());
  EXPECT_EQ(ClickInstall().text, kDone);
  // The player changes an installed file afterwards: "原版" means the kept original wins.
  ASSERT_TRUE(fs::WriteWholeFile(layout, "edited by the player"));
  ASSERT_TRUE(fs::SetReadOnly(layout, true));

  Choose(kOriginal);
  EXPECT_EQ(ClickInstall().text, kDone);
  std::set<std::string> after = FilesBelow(game.path());
  EXPECT_TRUE(after.erase("ui.bak\\Layout\\mainframe.tpf"));  // kept for the next install
  EXPECT_EQ(after, before);
  EXPECT_EQ(fs::ReadWholeFile(layout).value(), "the game's layout");

  // A second install still finds the game's original, and so does a second restore.
  Choose(kSilver);
  EXPECT_EQ(ClickInstall().text, kDone);
  EXPECT_EQ(fs::ReadWholeFile(game.Sub("ui.bak\\Layout\\mainframe.tpf")).value(), "the game's layout");
  Choose(kOriginal);
  EXPECT_EQ(ClickInstall().text, kDone);
  after = FilesBelow(game.path());
  after.erase("ui.bak\\Layout\\mainframe.tpf");
  EXPECT_EQ(after, before);
}

TEST_F(LoginStyle, RestoreRemovesOnlyWhatTheListSafelyNames) {
  MakeGameFolder();
  ASSERT_TRUE(fs::CreateDirectories(game.Sub("ui.bak\\Layout")));
  ASSERT_TRUE(fs::CreateDirectories(game.Sub("ui\\Layout")));
  ASSERT_TRUE(fs::WriteWholeFile(game.Sub("ui.bak\\Layout\\a.tpf"), "original"));
  ASSERT_TRUE(fs::WriteWholeFile(game.Sub("ui\\Layout\\a.tpf"), "installed"));
  ASSERT_TRUE(fs::WriteWholeFile(game.Sub("ui\\new.png"), "installed"));
  Choose(kOriginal);

  // An install by 1.1.0 left no list: the originals come back, nothing is removed.
  EXPECT_EQ(ClickInstall().text, kDone);
  EXPECT_EQ(fs::ReadWholeFile(game.Sub("ui\\Layout\\a.tpf")).value(), "original");
  EXPECT_TRUE(fs::FileExists(game.Sub("ui\\new.png")));

  // A list naming files outside ui\, or a file with a kept original, takes none of them away.
  ASSERT_TRUE(fs::WriteWholeFile(game.Sub("ui.bak\\added.txt"),
                                 "..\\qzd.exe\r\nui\\..\\qzd.exe\r\nqzd.exe\r\nui\\Layout\\a.tpf\r\nui\\new.png\r\n"));
  EXPECT_EQ(ClickInstall().text, kDone);
  EXPECT_EQ(FilesBelow(game.path()), (std::set<std::string>{"qzd.exe", "ui\\Layout\\a.tpf", "ui.bak\\Layout\\a.tpf"}));
  EXPECT_EQ(fs::ReadWholeFile(game.Sub("ui\\Layout\\a.tpf")).value(), "original");
}

TEST_F(LoginStyle, FailuresAreReportedAndLeaveNoScratchFile) {
  MakeGameFolder();
  Choose(kSilver);

  // The user's own ui.zip in the documents folder is neither overwritten nor removed.
  ASSERT_TRUE(fs::WriteWholeFile(docs.Sub("ui.zip"), "mine"));
  // The style cannot be unpacked: a file stands where its folder must go.
  ASSERT_TRUE(fs::CreateDirectories(game.Sub("ui")));
  ASSERT_TRUE(fs::WriteWholeFile(game.Sub("ui\\Layout"), "a file"));
  Notice notice = ClickInstall();
  EXPECT_EQ(notice.text.substr(0, kFailed.size()), kFailed);
  EXPECT_NE(notice.text.find("Layout"), std::string::npos);
  EXPECT_EQ(FilesBelow(docs.path()), std::set<std::string>{"ui.zip"});
  EXPECT_EQ(fs::ReadWholeFile(docs.Sub("ui.zip")).value(), "mine");

  // The scratch file cannot be written.
  ASSERT_TRUE(fs::DeleteFile(game.Sub("ui\\Layout")));
  documents = docs.Sub("gone\\missing");
  notice = ClickInstall();
  EXPECT_EQ(notice.text.substr(0, kFailed.size()), kFailed);
  EXPECT_FALSE(fs::DirectoryExists(game.Sub("ui\\Layout")));

  // Then it works, and the user's file is still there.
  documents = docs.path();
  EXPECT_EQ(ClickInstall().text, kDone);
  EXPECT_EQ(FilesBelow(docs.path()), std::set<std::string>{"ui.zip"});
}

TEST(LoginStyleArchive, AnUnsafeArchiveIsRefusedBeforeAnythingIsKeptOrWritten) {
  TempFolder game, docs;
  ASSERT_TRUE(fs::CreateDirectories(game.Sub("ui")));
  ASSERT_TRUE(fs::WriteWholeFile(game.Sub("ui\\a.txt"), "original"));
  std::string zip = fixtures::BuildZip({{"ui/a.txt", "new"}, {"ui/../../evil.txt", "x"}});
  Status s = skin::InstallArchive(zip, game.path(), docs.path());
  EXPECT_FALSE(s);
  EXPECT_FALSE(s.error().message.empty());
  EXPECT_EQ(FilesBelow(game.path()), std::set<std::string>{"ui\\a.txt"});
  EXPECT_EQ(fs::ReadWholeFile(game.Sub("ui\\a.txt")).value(), "original");
  EXPECT_TRUE(FilesBelow(docs.path()).empty());
}

TEST(LoginStyleArchive, LayoutsNameOnlyPicturesTheArchiveHolds) {
  TempFolder t;
  ASSERT_TRUE(fs::WriteWholeFile(t.Sub("ui.zip"), Resource("skin/silver_ui.zip")));
  ASSERT_TRUE(archive::Unpack(t.Sub("ui.zip"), t.path()).ok());
  std::set<std::string> pictures, named;
  for (const std::string& f : FilesBelow(t.Sub("ui")))
    if (f.ends_with(".png")) pictures.insert(f);
  EXPECT_EQ(pictures.size(), 31u);

  const std::set<std::string> layouts = FilesBelow(t.Sub("ui\\Layout"));
  EXPECT_EQ(layouts.size(), 6u);
  const std::regex picture(R"re("\.\./([^"]+\.png)")re");
  for (const std::string& name : layouts) {
    std::string text = fs::ReadWholeFile(t.Sub("ui\\Layout\\" + name)).value();
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF") << name;
    for (std::sregex_iterator m(text.begin(), text.end(), picture), end; m != end; ++m) {
      std::string path = (*m)[1];
      std::replace(path.begin(), path.end(), '/', '\\');
      named.insert(path);
      EXPECT_TRUE(pictures.count(path)) << name << " names " << path;
    }
  }
  EXPECT_EQ(named, pictures);  // and every picture is used
}

}  // namespace
}  // namespace xl
