#include "skin/login_style.h"

#include <string>
#include <vector>

#include "platform/archive.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "resources/resources.h"

namespace xl::skin {
namespace {

constexpr std::string_view kWindow = "modify";
constexpr std::string_view kChooser = "组合框_登录界面";
constexpr std::string_view kPreview = "图片框_界面图片";
constexpr std::string_view kNoStyle = "选择界面";
constexpr std::string_view kSilver = "简约银色";
constexpr std::string_view kOriginal = "原版界面";
constexpr std::string_view kHintLabel = "标签_提示";
constexpr std::string_view kTitle = "温馨提示";
constexpr std::string_view kSilverArchive = "skin/silver_ui.zip";
constexpr std::string_view kSilverPreview = "skin/silver_preview.png";
constexpr std::string_view kBackupFolder = "ui.bak";
// In ui.bak\: the files an install created where none stood, one game-relative path a line.
constexpr std::string_view kAddedList = "added.txt";
// Deeper than any folder the style's archive makes; a link that leads back up stops here.
constexpr int kMaxDepth = 32;

// Positions of the path separators of a GBK path. A double-byte character may end in 0x5C,
// which is not a separator.
std::vector<size_t> Separators(std::string_view path) {
  std::vector<size_t> at;
  for (size_t i = 0; i < path.size(); i += GbkCharLength(path, i))
    if (path[i] == '\\') at.push_back(i);
  return at;
}

std::string Join(std::string_view folder, std::string_view name) {
  std::vector<size_t> seps = Separators(folder);
  bool hasSeparator = !seps.empty() && seps.back() + 1 == folder.size();
  return std::string(folder) + (hasSeparator ? "" : "\\") + std::string(name);
}

bool SameAsciiFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] | 0x20) : a[i];
    const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] | 0x20) : b[i];
    if (x != y) return false;
  }
  return true;
}

bool IsUiFolder(std::string_view component) { return SameAsciiFolded(component, "ui"); }

// The path's components between its separators.
std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t sep : Separators(path)) {
    parts.push_back(path.substr(start, sep - start));
    start = sep + 1;
  }
  parts.push_back(path.substr(start));
  return parts;
}

// Where the original of a replaced game file is kept: ui\Layout\a.tpf -> ui.bak\Layout\a.tpf.
std::string BackupPathOf(std::string_view relative) {
  std::vector<size_t> seps = Separators(relative);
  if (!seps.empty() && IsUiFolder(relative.substr(0, seps.front())))
    return Join(kBackupFolder, relative.substr(seps.front() + 1));
  return Join(kBackupFolder, relative);
}

std::string ParentOf(std::string_view path) {
  std::vector<size_t> seps = Separators(path);
  return seps.empty() ? std::string() : std::string(path.substr(0, seps.back()));
}

// A name in the documents folder that holds nothing yet: a "ui.zip" of the user's own is
// left alone.
Result<std::string> FreeScratchPath(std::string_view documentsFolder) {
  for (int i = 0; i < 100; ++i) {
    std::string path = Join(documentsFolder, i == 0 ? std::string("ui.zip") : "ui (" + std::to_string(i) + ").zip");
    if (!fs::FileExists(path) && !fs::DirectoryExists(path)) return path;
  }
  return Error{"无法在文档文件夹中创建临时文件：" + std::string(documentsFolder)};
}

// Keeps each game file the archive will replace under ui.bak\, unless an original is kept
// there already or the file is already the archive's own (an earlier install wrote it).
Status KeepOriginals(const std::vector<archive::Entry>& entries, std::string_view game) {
  for (const archive::Entry& e : entries) {
    if (e.isDirectory) continue;
    std::string original = Join(game, e.path);
    std::string backup = Join(game, BackupPathOf(e.path));
    if (!fs::FileExists(original) || fs::FileExists(backup)) continue;
    auto bytes = fs::ReadWholeFile(original);
    if (bytes && archive::SameContent(e, *bytes)) continue;
    Status s = bytes ? fs::CreateDirectories(ParentOf(backup)) : Status(bytes.error());
    if (s) s = fs::WriteWholeFile(backup, *bytes);
    if (!s) return Error{"无法备份原文件 " + original + "：" + s.error().message};
  }
  return Success();
}

// The lines of ui.bak\added.txt; none when there is no such list (an install by 1.1.0).
std::vector<std::string> AddedFiles(std::string_view game) {
  std::vector<std::string> lines;
  auto text = fs::ReadWholeFile(Join(Join(game, kBackupFolder), kAddedList));
  if (!text) return lines;
  std::string_view rest = *text;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.emplace_back(line);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  return lines;
}

bool Listed(const std::vector<std::string>& list, std::string_view path) {
  for (const std::string& p : list)
    if (SameAsciiFolded(p, path)) return true;
  return false;
}

// Adds to ui.bak\added.txt each file the unpacking will create where none stands, so that
// putting the game's own screen back can take them away again. Files recorded by an earlier
// install stay recorded. The list is written even when it stays empty: ui.bak\ then shows
// that an install took place.
Status RecordAddedFiles(const std::vector<archive::Entry>& entries, std::string_view game) {
  std::vector<std::string> added = AddedFiles(game);
  for (const archive::Entry& e : entries)
    if (!e.isDirectory && !fs::FileExists(Join(game, e.path)) && !Listed(added, e.path)) added.push_back(e.path);
  std::string text;
  for (const std::string& path : added) text += path + "\r\n";
  const std::string folder = Join(game, kBackupFolder), list = Join(folder, kAddedList);
  Status s = fs::CreateDirectories(folder);
  if (s) s = fs::ReplaceFileAtomically(list, text);
  if (!s) return Error{"无法写入 " + list + "：" + s.error().message};
  return Success();
}

Status InstallFrom(const std::string& scratch, std::string_view archiveBytes, std::string_view game) {
  if (Status s = fs::WriteWholeFile(scratch, archiveBytes); !s)
    return Error{"无法写入临时文件 " + scratch + "：" + s.error().message};
  auto entries = archive::ListEntries(scratch);
  if (!entries) return entries.error();
  if (Status s = KeepOriginals(*entries, game); !s) return s;
  if (Status s = RecordAddedFiles(*entries, game); !s) return s;
  archive::UnpackResult unpacked = archive::Unpack(scratch, game);
  if (!unpacked.ok()) {
    std::string why = unpacked.reason;
    std::string backups = Join(game, kBackupFolder);
    if (unpacked.entriesDone > 0 && fs::DirectoryExists(backups)) why += "。被替换的原文件保存在 " + backups;
    return Error{why};
  }
  return Success();
}

// The files below `folder`, as paths relative to it, each folder's before its subfolders'.
Status CollectFiles(const std::string& folder, const std::string& relative, int depth,
                    std::vector<std::string>& files) {
  if (depth > kMaxDepth) return Success();
  std::vector<std::string> folders;
  fs::DirectorySearch search(Join(folder, relative), "*");
  for (fs::DirEntry e; search.Next(e);)
    (e.isDirectory ? folders : files).push_back(relative.empty() ? e.name : Join(relative, e.name));
  if (!search.Opened())
    return Error{"无法读取文件夹 " + Join(folder, relative) + "：" + search.Opened().error().message};
  for (const std::string& sub : folders)
    if (Status s = CollectFiles(folder, sub, depth + 1, files); !s) return s;
  return Success();
}

// A line of the added list that names a file below ui\ and cannot lead out of it; anything
// else (an edited or damaged list) is left alone.
bool IsUiFile(std::string_view path) {
  const std::vector<std::string_view> parts = Components(path);
  if (parts.size() < 2 || !IsUiFolder(parts.front())) return false;
  for (std::string_view part : parts)
    if (part.empty() || part == "." || part == ".." || part.find(':') != std::string_view::npos) return false;
  return true;
}

// Puts a kept original back, unless the game file already holds it. A read-only game file is
// replaced too, as the install replaced it.
Status PutBack(const std::string& kept, const std::string& target) {
  auto original = fs::ReadWholeFile(kept);
  if (!original) return Error{"无法读取 " + kept + "：" + original.error().message};
  if (auto current = fs::ReadWholeFile(target); current && *current == *original) return Success();
  Status s = fs::CreateDirectories(ParentOf(target));
  if (s && fs::IsReadOnly(target)) s = fs::SetReadOnly(target, false);
  if (s) s = fs::ReplaceFileAtomically(target, *original);
  if (!s) return Error{"无法写入 " + target + "：" + s.error().message};
  return Success();
}

void Notice(Ui& ui, std::string_view text) { ui.ShowNotice(kWindow, text, kTitle); }

}  // namespace

void ShowPreview(Ui& ui) {
  std::string style = ui.GetText(kWindow, kChooser);
  if (style == kNoStyle || style == kOriginal)
    ui.SetPicture(kWindow, kPreview, {});
  else if (style == kSilver)
    ui.SetPicture(kWindow, kPreview, Resource(kSilverPreview));
  ui.SetText(kWindow, kHintLabel, style == kOriginal ? "恢复游戏原来的登录界面" : "");
}

Status InstallArchive(std::string_view archiveBytes, std::string_view gameFolder, std::string_view documentsFolder) {
  if (archiveBytes.empty()) return Error{"程序中缺少界面压缩包"};
  if (gameFolder.empty()) return Error{"不知道游戏文件夹在哪里"};
  if (documentsFolder.empty()) return Error{"找不到文档文件夹"};
  auto scratch = FreeScratchPath(documentsFolder);
  if (!scratch) return scratch.error();
  Status result = InstallFrom(*scratch, archiveBytes, gameFolder);
  if (fs::FileExists(*scratch)) {
    Status removed = fs::DeleteFile(*scratch);
    if (!removed && result) return Error{"界面已安装，但无法删除临时文件 " + *scratch + "：" + removed.error().message};
  }
  return result;
}

Status RestoreOriginals(std::string_view gameFolder) {
  const std::string backups = Join(gameFolder, kBackupFolder);
  if (gameFolder.empty() || !fs::DirectoryExists(backups))
    return Error{"没有找到原来的登录界面（ui.bak），可能还没有安装过界面"};
  std::vector<std::string> kept;
  if (Status s = CollectFiles(backups, "", 0, kept); !s) return s;
  std::erase_if(kept, [](const std::string& path) { return SameAsciiFolded(path, kAddedList); });
  const std::string ui = Join(gameFolder, "ui");
  for (const std::string& path : kept)
    if (Status s = PutBack(Join(backups, path), Join(ui, path)); !s) return s;
  // A file with a kept original stood there before the install; it is back now, not added.
  const std::vector<std::string> added = AddedFiles(gameFolder);
  for (const std::string& path : added) {
    if (!IsUiFile(path) || Listed(kept, path.substr(Separators(path).front() + 1))) continue;
    const std::string file = Join(gameFolder, path);
    if (!fs::FileExists(file)) continue;
    Status s = fs::SetNormalAttributes(file);
    if (s) s = fs::DeleteFile(file);
    if (!s) return Error{"无法删除 " + file + "：" + s.error().message};
  }
  // The added files are gone; a list left behind would one day take away a file of the
  // game's own that an update puts at one of those names. The originals stay for the next
  // install.
  const std::string list = Join(backups, kAddedList);
  if (fs::FileExists(list)) {
    if (Status s = fs::DeleteFile(list); !s)
      return Error{"原来的界面已恢复，但无法删除 " + list + "：" + s.error().message};
  }
  return Success();
}

void Install(Ui& ui, std::string_view programFolder, std::string_view documentsFolder) {
  const std::string style = ui.GetText(kWindow, kChooser);
  if (style == kNoStyle) {
    Notice(ui, "别调皮!没选择界面我怎么给你修改啊");
    return;
  }
  if (programFolder.empty() || !fs::FileExists(Join(programFolder, "qzd.exe"))) {
    Notice(ui, "请先将修改器放到星律纪元安装目录");
    return;
  }
  if (style == kOriginal) {
    Status restored = RestoreOriginals(programFolder);
    Notice(ui, restored ? std::string("修改成功") : "修改失败：" + restored.error().message);
    return;
  }
  if (style != kSilver) return;
  Status installed = InstallArchive(Resource(kSilverArchive), programFolder, documentsFolder);
  Notice(ui, installed ? std::string("修改成功") : "修改失败：" + installed.error().message);
}

}  // namespace xl::skin
