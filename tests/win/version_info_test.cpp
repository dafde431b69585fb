// The built program's version information as Explorer's Details tab, Task Manager and the
// "Open with" list read it (GetFileVersionInfoW, VerQueryValueW): every text of VERSIONINFO,
// the version numbers, and the version of the manifest's assembly identity.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "resources/version.h"

namespace {

const wchar_t* const kProgram = L"" XL_PROGRAM_EXE;

std::wstring FromUtf8(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                      wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

// The copyright line of LICENSE, which the exe's LegalCopyright must repeat.
std::wstring LicenseCopyright() {
  std::ifstream in("Z:" XL_SOURCE_DIR "/LICENSE", std::ios::binary);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("Copyright ", 0) == 0) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return FromUtf8(line);
    }
  return L"(LICENSE has no copyright line)";
}

std::vector<BYTE> VersionBlock() {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(kProgram, &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !GetFileVersionInfoW(kProgram, 0, size, block.data())) block.clear();
  return block;
}

TEST(VersionInfoTest, EveryTextReadsAsWritten) {
  std::vector<BYTE> block = VersionBlock();
  ASSERT_FALSE(block.empty()) << "no version information in the program";

  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(
      VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, sizeof(Translation));
  EXPECT_EQ(translation->language, 0x0804);  // Chinese (PRC)
  wchar_t table[64];
  swprintf(table, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);

  const std::wstring version = FromUtf8(XL_VERSION_TEXT);
  const std::pair<const wchar_t*, std::wstring> expected[] = {
      {L"CompanyName", L"星律纪元代码修改器的作者们"},
      {L"FileDescription", L"星律纪元代码修改器"},
      {L"FileVersion", version},
      {L"InternalName", L"xinglv"},
      {L"LegalCopyright", LicenseCopyright()},
      {L"OriginalFilename", L"xinglv.exe"},
      {L"ProductName", L"星律纪元代码修改器"},
      {L"ProductVersion", version},
  };
  for (const auto& [name, text] : expected) {
    wchar_t* value = nullptr;
    UINT chars = 0;
    const std::wstring path = table + std::wstring(name);
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &chars) || !value) {
      ADD_FAILURE() << "no " << std::string(name, name + wcslen(name));
      continue;
    }
    EXPECT_EQ(std::wstring(value), text) << std::string(name, name + wcslen(name));
  }

  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(XL_VERSION_MINOR, XL_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, XL_VERSION_PATCH)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
}

TEST(VersionInfoTest, TheManifestCarriesTheSameVersion) {
  HMODULE program = LoadLibraryExW(kProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(program, found)));
  const std::string manifest(bytes, SizeofResource(program, found));
  FreeLibrary(program);
  const std::string identity = "name=\"Xinglv.CodeEditor\" version=\"" XL_VERSION_TEXT ".0\"";
  EXPECT_NE(manifest.find(identity), std::string::npos) << manifest.substr(0, 400);
}

}  // namespace
