#pragma once
// Fills a list with the files found in a folder and in all its subfolders.
#include <chrono>
#include <string>
#include <string_view>

#include "platform/ui.h"

namespace xl {

struct ListOptions {
  std::string pattern = "*.*";  // file-name pattern with * and ?, ASCII case ignored
  // Only names holding this text (ASCII case ignored) are listed; empty lists all.
  std::string filter;
  // When set, this label shows each file as it is found.
  std::string progressWindow, progressLabel;
  // Items are full paths; otherwise paths relative to the listed folder ("a.rcd",
  // "2024\b.rcd"), so the folder + the item always reaches the file.
  bool fullPath = false;
};

struct ListResult {
  int added = 0;
  // Matching files left out because GBK cannot hold their names, or the name of the folder
  // they are in: no program path reaches them, so they could be neither shown nor opened.
  int unreadableNames = 0;
  // The first folder that could not be searched (one that does not exist aside), and why.
  std::string failedFolder, failure;
};

// Fills a list with many names, as the folder lister does: redraw is suspended from the first
// name to the last, and pending messages are let through after the first name and then
// whenever kPumpInterval has passed. Letting messages through costs a round trip to the
// system, which under Wine takes longer than adding a dozen names; fifty times a second
// keeps the windows as responsive as after every name.
class ListFiller {
 public:
  static constexpr std::chrono::milliseconds kPumpInterval{20};

  ListFiller(Ui& ui, std::string_view window, std::string_view list);
  ~ListFiller();
  ListFiller(const ListFiller&) = delete;
  ListFiller& operator=(const ListFiller&) = delete;

  // Appends one name, then lets messages through when it is time. False once the list's
  // window is gone (closed by a handler that ran meanwhile).
  bool Add(std::string_view name);
  // Lets messages through when it is time (between folders, say). False once the window is gone.
  bool Pace();

 private:
  Ui& ui_;
  std::string window_, list_;
  bool pumped_ = false;
  std::chrono::steady_clock::time_point lastPump_{};
  bool gone_ = false;
};

// Appends the matching files of `folder` (a trailing backslash is added when missing),
// each folder's files before its subfolders, names in the same order on every file
// system. Folders whose names start with "." are skipped, links to folders (symbolic links,
// junctions) are not followed and no folder is listed twice, so every file is listed once
// and a tree full of loops is listed at once. Pending messages are let through
// as ListFiller paces them; the listing stops when the list's window is closed meanwhile.
ListResult ListFolder(Ui& ui, std::string_view window, std::string_view list, std::string_view folder,
                      const ListOptions& options);

}  // namespace xl
