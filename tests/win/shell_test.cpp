// The start window's handlers and the folder lister over the Windows file layer: the
// same cases as natively (GBK names, subfolders, order, unreadable replays); and the
// program's argument as its entry point reads it.
#include "native/shell_test.cpp"

#include <windows.h>

#include "app/command_line.h"

namespace xl {
namespace {

// A relative argument with a Chinese name, as "Open with" from the folder the program was
// started in passes it: made absolute against that folder before the program's own folder
// becomes the current one, and then opened.
TEST(ShellWindows, TheArgumentIsReadInTheFolderTheProgramWasStartedIn) {
  TempFolder temp;
  const std::string started = temp.Sub("started"), programFolder = temp.Sub("program");
  Put(started + "\\朋友\\录像.rcd", fixtures::MakeReplay({.players = 2, .seed = 5}));
  ASSERT_TRUE(fs::CreateDirectories(programFolder).ok());
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  ASSERT_TRUE(SetCurrentDirectoryW(GbkToWide(started).value().c_str()));

  const std::string path = EnterProgramFolder(L"\"D:\\星律纪元\\xinglv.exe\" 朋友\\录像.rcd", programFolder);
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  SetCurrentDirectoryW(before);  // the temporary folder can go only once it is not current
  EXPECT_EQ(path, started + "\\朋友\\录像.rcd");
  EXPECT_EQ(WideToGbkLossy(current), programFolder);
  EXPECT_EQ(EnterProgramFolder(L"xinglv.exe", programFolder), "");
  SetCurrentDirectoryW(before);

  fixtures::CheckedUi ui{ProgramWindows()};
  Program program{ui, ProgramState{}};
  program.state.programFolder = programFolder;
  program.Start(path);
  EXPECT_TRUE(ui.IsVisible("modify", "-"));
  EXPECT_EQ(ui.ItemCount("modify", "组合框_修改"), 3);
  EXPECT_TRUE(ui.Notices().empty());
}

}  // namespace
}  // namespace xl
