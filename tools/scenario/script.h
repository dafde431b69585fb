#pragma once
// Scenario scripts: one command a line, UTF-8, "#" at the start of a line makes it a
// comment. docs/scenarios.md describes the language; ParseScript turns a script into
// commands with its texts in GBK, as the program holds them.
#include <string>
#include <string_view>
#include <vector>

#include "platform/keys.h"
#include "platform/result.h"

namespace xl::scenario {

enum class Verb {
  GameDir,
  DocsDir,
  ReadOnly,
  Writable,
  Resize,
  Copy,
  Browse,
  Answer,
  Start,
  Click,
  DoubleClick,
  Press,
  Select,
  Type,
  Key,
  Clear,
  Drop,
  Menu,
  ExpectMenu,
  EndSession,
  ExpectText,
  ExpectHint,
  ExpectClipboard,
  ExpectItems,
  ExpectVisible,
  ExpectPicture,
  ExpectNotice,
  ExpectFile,
  ExpectNoFile,
  Shot,
  ShotWhenShown,
  Hover,
  Meanwhile,
  Clipboard,
};

struct Command {
  int line = 0;
  std::string source;  // the line as written (UTF-8), for messages
  Verb verb = Verb::Start;
  std::string window, control;     // GBK
  std::string text;                // GBK: typed text, item, expected text, notice text, answer
  std::string title;               // GBK: the notice's title
  std::vector<std::string> items;  // GBK: expect items, expect menu
  // visible: yes; notice: match by prefix; browse: cancel; picture: empty; endsession: yes;
  // shot when shown: a popup menu (not a notice)
  bool flag = false;
  // UTF-8, relative to the script's folder (start: the argument, if any; copy: from, to)
  std::string path, otherPath;
  unsigned long long size = 0;  // resize: the file's new length
  KeyStroke key;                // key: what is pressed
  std::string caption;          // UTF-8: a shot's caption, as written
};

// The commands of a script; an unknown command or a malformed line fails with
// "line N: ...".
Result<std::vector<Command>> ParseScript(std::string_view utf8);

// `\n` becomes CR LF and `\\` a backslash; any other backslash stays as written.
std::string Unescape(std::string_view text);

}  // namespace xl::scenario
