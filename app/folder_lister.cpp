#include "app/folder_lister.h"

#include <algorithm>
#include <set>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"

namespace xl {
namespace {

// Deeper than any real record folder; a path this deep is no record folder's.
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
  const ListOptions& options;
  ListFiller& filler;
  std::string root;
  std::string foldedFilter;
  ListResult result;
  bool stopped = false;
  // Every folder listed so far, by identity: links are not followed, but a folder can still
  // be reached twice where the system does not report its links as such (Wine shows a Unix
  // symbolic link as a plain folder), and then it is listed only the first time.
  std::set<std::string> visited;

  bool Matches(const fs::DirEntry& file) const {
    return !file.isDirectory && fs::MatchesPattern(file.name, options.pattern) && NameHolds(file.name, foldedFilter);
  }

  void ListOne(const std::string& relative, int depth) {
    const std::string folder = root + relative;
    if (const std::string id = fs::FolderIdentity(folder); !id.empty() && !visited.insert(id).second) return;
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
          // A link to a folder is not followed: it may lead back up the tree, or to a folder
          // listed already.
          if (!entry.isLink && !entry.name.empty() && entry.name[0] != '.') folders.push_back(std::move(entry.name));
        } else if (Matches(entry)) {
          files.push_back(std::move(entry.name));
        }
      }
      // Replays that no program path reaches: those with such names, and those directly in a
      // folder with such a name, which is not walked any further.
      const std::vector<fs::DirEntry>& lost = search.Unlisted();
      for (size_t i = 0; i < lost.size(); ++i) {
        if (Matches(lost[i])) ++result.unreadableNames;
        if (!lost[i].isDirectory || lost[i].name.empty() || lost[i].name[0] == '.') continue;
        for (const fs::DirEntry& inner : search.UnlistedFolderEntries(i))
          if (Matches(inner)) ++result.unreadableNames;
      }
    }
    std::sort(files.begin(), files.end(), NameBefore);
    std::sort(folders.begin(), folders.end(), NameBefore);
    for (const std::string& name : files) {
      if (!options.progressLabel.empty()) ui.SetText(options.progressWindow, options.progressLabel, folder + name);
      ++result.added;
      if (!filler.Add(options.fullPath ? folder + name : relative + name)) {
        stopped = true;
        return;
      }
    }
    if (depth >= kMaxDepth) return;
    for (const std::string& name : folders) {
      ListOne(relative + name + "\\", depth + 1);
      if (stopped || !filler.Pace()) {
        stopped = true;
        return;
      }
    }
  }
};

}  // namespace

ListFiller::ListFiller(Ui& ui, std::string_view window, std::string_view list) : ui_(ui), window_(window), list_(list) {
  ui_.BeginUpdate(window_, list_);
}

ListFiller::~ListFiller() { ui_.EndUpdate(window_, list_); }

bool ListFiller::Add(std::string_view name) {
  if (gone_) return false;
  ui_.AddItem(window_, list_, name);
  return Pace();
}

bool ListFiller::Pace() {
  if (gone_) return false;
  const auto now = std::chrono::steady_clock::now();
  if (pumped_ && now - lastPump_ < kPumpInterval) return true;
  ui_.PumpMessages();
  pumped_ = true;
  lastPump_ = std::chrono::steady_clock::now();
  gone_ = !ui_.WindowExists(window_);
  return !gone_;
}

ListResult ListFolder(Ui& ui, std::string_view window, std::string_view list, std::string_view folder,
                      const ListOptions& options) {
  ListFiller filler(ui, window, list);
  Lister lister{ui, options, filler, std::string(folder), FoldGbk(options.filter), {}, false, {}};
  if (!fs::EndsWithBackslash(lister.root)) lister.root += '\\';
  lister.ListOne("", 0);
  return lister.result;
}

}  // namespace xl
