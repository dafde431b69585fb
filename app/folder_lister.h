#pragma once
// Fills a list with the files found in a folder and in all its subfolders.
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

// Appends the matching files of `folder` (a trailing backslash is added when missing),
// each folder's files before its subfolders, names in the same order on every file
// system. Folders whose names start with "." are skipped, links to folders (symbolic links,
// junctions) are not followed and no folder is listed twice, so every file is listed once
// and a tree full of loops is listed at once. Pending messages are processed
// after every file and folder; the listing stops when the list's window is closed
// meanwhile.
ListResult ListFolder(Ui& ui, std::string_view window, std::string_view list, std::string_view folder,
                      const ListOptions& options);

}  // namespace xl
