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
constexpr std::string_view kTitle = "温馨提示";
constexpr std::string_view kSilverArchive = "skin/silver_ui.zip";
constexpr std::string_view kSilverPreview = "skin/silver_preview.png";
constexpr std::string_view kBackupFolder = "ui.bak";

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

bool IsUiFolder(std::string_view component) {
  return component.size() == 2 && (component[0] | 0x20) == 'u' && (component[1] | 0x20) == 'i';
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

Status InstallFrom(const std::string& scratch, std::string_view archiveBytes, std::string_view game) {
  if (Status s = fs::WriteWholeFile(scratch, archiveBytes); !s)
    return Error{"无法写入临时文件 " + scratch + "：" + s.error().message};
  auto entries = archive::ListEntries(scratch);
  if (!entries) return entries.error();
  if (Status s = KeepOriginals(*entries, game); !s) return s;
  archive::UnpackResult unpacked = archive::Unpack(scratch, game);
  if (!unpacked.ok()) {
    std::string why = unpacked.reason;
    std::string backups = Join(game, kBackupFolder);
    if (unpacked.entriesDone > 0 && fs::DirectoryExists(backups)) why += "。被替换的原文件保存在 " + backups;
    return Error{why};
  }
  return Success();
}

void Notice(Ui& ui, std::string_view text) { ui.ShowNotice(kWindow, text, kTitle); }

}  // namespace

void ShowPreview(Ui& ui) {
  std::string style = ui.GetText(kWindow, kChooser);
  if (style == kNoStyle)
    ui.SetPicture(kWindow, kPreview, {});
  else if (style == kSilver)
    ui.SetPicture(kWindow, kPreview, Resource(kSilverPreview));
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
  if (style != kSilver) return;
  Status installed = InstallArchive(Resource(kSilverArchive), programFolder, documentsFolder);
  Notice(ui, installed ? std::string("修改成功") : "修改失败：" + installed.error().message);
}

}  // namespace xl::skin
