#include "app/folder_lister.h"

#include <algorithm>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"

namespace xl {
namespace {

// Deeper than any real record folder; a link that leads back up the tree stops here.
constexpr int kMaxDepth = 64;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// NTFS returns names in this order (upper-cased, then as stored); other file systems
// return them in any order, so the list is sorted the same way everywhere.
bool NameBefore(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = UpperAscii(a[i]), y = UpperAscii(b[i]);
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

// ASCII letters fold to lower case; the bytes of double-byte characters stay as they are
// and a match never starts inside one.
std::string FoldGbk(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    const size_t len = GbkCharLength(out, i);
    if (len == 1) out[i] = LowerAscii(out[i]);
    i += len;
  }
  return out;
}

bool NameHolds(std::string_view name, std::string_view foldedFilter) {
  if (foldedFilter.empty()) return !name.empty();
  const std::string folded = FoldGbk(name);
  for (size_t i = 0; i + foldedFilter.size() <= folded.size(); i += GbkCharLength(folded, i))
    if (std::string_view(folded).substr(i, foldedFilter.size()) == foldedFilter) return true;
  return false;
}

struct Lister {
  Ui& ui;
  std::string_view window, list;
  const ListOptions& options;
  std::string root;
  std::string foldedFilter;
  ListResult result;
  bool stopped = false;

  // Lets messages through; the window may be gone afterwards.
  void Pump() {
    ui.PumpMessages();
    if (!ui.WindowExists(window)) stopped = true;
  }

  void ListOne(const std::string& relative, int depth) {
    const std::string folder = root + relative;
    std::vector<std::string> files, folders;
    {
      fs::DirectorySearch search(folder, "*");
      if (const Status& opened = search.Opened();
          !opened && opened.error().problem != Problem::NotFound && result.failedFolder.empty()) {
        result.failedFolder = folder.substr(0, folder.size() - 1);  // without its closing separator
        result.failure = opened.error().message;
      }
      fs::DirEntry entry;
      while (search.Next(entry)) {
        if (entry.isDirectory) {
          if (!entry.name.empty() && entry.name[0] != '.') folders.push_back(std::move(entry.name));
        } else if (fs::MatchesPattern(entry.name, options.pattern) && NameHolds(entry.name, foldedFilter)) {
          files.push_back(std::move(entry.name));
        }
      }
      for (const fs::DirEntry& lost : search.Unlisted())
        if (!lost.isDirectory && fs::MatchesPattern(lost.name, options.pattern) && NameHolds(lost.name, foldedFilter))
          ++result.unreadableNames;
    }
    std::sort(files.begin(), files.end(), NameBefore);
    std::sort(folders.begin(), folders.end(), NameBefore);
    for (const std::string& name : files) {
      if (!options.progressLabel.empty()) ui.SetText(options.progressWindow, options.progressLabel, folder + name);
      ui.AddItem(window, list, options.fullPath ? folder + name : relative + name);
      ++result.added;
      Pump();
      if (stopped) return;
    }
    if (depth >= kMaxDepth) return;
    for (const std::string& name : folders) {
      ListOne(relative + name + "\\", depth + 1);
      if (stopped) return;
      Pump();
      if (stopped) return;
    }
  }
};

}  // namespace

ListResult ListFolder(Ui& ui, std::string_view window, std::string_view list, std::string_view folder,
                      const ListOptions& options) {
  Lister lister{ui, window, list, options, std::string(folder), FoldGbk(options.filter), {}, false};
  if (!fs::EndsWithBackslash(lister.root)) lister.root += '\\';
  ui.BeginUpdate(window, list);
  lister.ListOne("", 0);
  ui.EndUpdate(window, list);
  return lister.result;
}

}  // namespace xl
