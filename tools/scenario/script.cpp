#include "tools/scenario/script.h"

#include <optional>

#include "platform/codepage.h"

namespace xl::scenario {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// Splits `n` words off the front of `rest`. What follows the last word, after the one
// space that ends it, is left in `rest` (the text of the command, spaces included).
std::optional<std::vector<std::string>> Words(std::string_view& rest, size_t n) {
  std::vector<std::string> words;
  for (size_t i = 0; i < n; ++i) {
    while (!rest.empty() && IsSpace(rest.front())) rest.remove_prefix(1);
    size_t end = 0;
    while (end < rest.size() && !IsSpace(rest[end])) ++end;
    if (end == 0) return std::nullopt;
    words.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end);
  }
  if (!rest.empty()) rest.remove_prefix(1);
  return words;
}

struct LineParser {
  Command& c;
  std::string_view rest;
  std::string error;

  std::optional<std::string> Gbk(std::string_view utf8, bool escapes) {
    std::optional<std::string> gbk = Utf8ToGbk(escapes ? Unescape(utf8) : std::string(utf8));
    if (!gbk) error = "text that GBK cannot hold: " + std::string(utf8);
    return gbk;
  }

  // WINDOW CONTROL, then nothing (exact) or the text.
  bool Target(bool exact) {
    auto w = Words(rest, 2);
    if (!w) return Fail("expected WINDOW CONTROL");
    auto window = Gbk((*w)[0], false), control = Gbk((*w)[1], false);
    if (!window || !control) return false;
    c.window = *window;
    c.control = *control;
    while (exact && !rest.empty() && IsSpace(rest.back())) rest.remove_suffix(1);
    if (exact && !rest.empty()) return Fail("unexpected text after CONTROL: " + std::string(rest));
    return true;
  }
  bool Text() {
    auto text = Gbk(rest, true);
    if (!text) return false;
    c.text = *text;
    return true;
  }
  // A|B|C after CONTROL; nothing there: no items.
  bool Items() {
    std::string_view list = rest;
    while (!list.empty()) {
      size_t bar = list.find('|');
      auto item = Gbk(list.substr(0, bar), true);
      if (!item) return false;
      c.items.push_back(*item);
      if (bar == std::string_view::npos) break;
      list.remove_prefix(bar + 1);
      if (list.empty()) c.items.emplace_back();  // "A|" ends with an empty item
    }
    return true;
  }
  bool Path(std::string& into) {
    auto w = Words(rest, 1);
    if (!w) return Fail("expected a path");
    into = (*w)[0];
    return true;
  }
  bool Fail(std::string why) {
    error = std::move(why);
    return false;
  }

  bool Parse() {
    auto first = Words(rest, 1);
    if (!first) return Fail("empty command");
    const std::string verb = (*first)[0];
    if (verb == "gamedir" || verb == "docsdir") {
      c.verb = verb == "gamedir" ? Verb::GameDir : Verb::DocsDir;
      if (rest.empty()) return Fail("expected a folder");
      c.path = rest;
      return true;
    }
    if (verb == "readonly" || verb == "writable") {
      c.verb = verb == "readonly" ? Verb::ReadOnly : Verb::Writable;
      if (rest.empty()) return Fail("expected a file");
      c.path = rest;
      return true;
    }
    if (verb == "resize") {
      c.verb = Verb::Resize;
      auto bytes = Words(rest, 1);
      if (!bytes || rest.empty()) return Fail("expected BYTES FILE");
      const std::string& digits = (*bytes)[0];
      if (digits.empty() || digits.size() > 15 || digits.find_first_not_of("0123456789") != std::string::npos)
        return Fail("expected a number of bytes");
      c.size = std::stoull(digits);
      c.path = rest;
      return true;
    }
    if (verb == "copy") {
      c.verb = Verb::Copy;
      return Path(c.path) && Path(c.otherPath) && (rest.empty() || Fail("expected FROM TO"));
    }
    if (verb == "browse") {
      c.verb = Verb::Browse;
      if (rest.empty()) return Fail("expected a folder or cancel");
      c.flag = rest == "cancel";
      c.path = rest;
      return true;
    }
    if (verb == "answer") {
      c.verb = Verb::Answer;
      if (rest.empty()) return Fail("expected a button text or esc");
      if (rest == "esc") return true;  // no button: the box is closed as Esc closes it
      return Text();
    }
    if (verb == "menu") {
      c.verb = Verb::Menu;
      if (!Target(false)) return false;
      if (rest.empty()) return Fail("expected an item");
      return Text();
    }
    if (verb == "endsession") {
      c.verb = Verb::EndSession;
      if (rest != "yes" && rest != "no") return Fail("expected yes or no");
      c.flag = rest == "yes";
      return true;
    }
    if (verb == "start") {
      c.verb = Verb::Start;
      c.path = rest;  // the program's argument, if any
      return true;
    }
    if (verb == "drop") {
      c.verb = Verb::Drop;
      auto w = Words(rest, 1);
      if (!w || rest.empty()) return Fail("expected WINDOW FILE");
      c.window = (*w)[0];
      c.path = rest;
      return true;
    }
    if (verb == "click" || verb == "dblclick" || verb == "press" || verb == "clear") {
      c.verb = verb == "click"      ? Verb::Click
               : verb == "dblclick" ? Verb::DoubleClick
               : verb == "press"    ? Verb::Press
                                    : Verb::Clear;
      return Target(true);
    }
    if (verb == "select" || verb == "type") {
      c.verb = verb == "select" ? Verb::Select : Verb::Type;
      return Target(false) && Text();
    }
    if (verb == "key") {
      c.verb = Verb::Key;
      if (!Target(false)) return false;
      std::optional<KeyStroke> key = ParseKeyStroke(rest);
      if (!key) return Fail("expected keys such as Ctrl+Z, Shift+Insert or Backspace: " + std::string(rest));
      c.key = *key;
      return true;
    }
    if (verb == "clipboard") {
      c.verb = Verb::Clipboard;
      return Text();
    }
    if (verb == "meanwhile") {
      c.verb = Verb::Meanwhile;
      auto what = Words(rest, 1);
      if (!what || (*what)[0] != "click") return Fail("expected meanwhile click WINDOW CONTROL");
      return Target(true);
    }
    if (verb == "shot") {
      // shot [notice|menu] WINDOW FILE [CAPTION]
      c.verb = Verb::Shot;
      std::string_view ahead = rest;
      auto first = Words(ahead, 1);
      if (first && ((*first)[0] == "notice" || (*first)[0] == "menu")) {
        c.verb = Verb::ShotWhenShown;
        c.flag = (*first)[0] == "menu";
        rest = ahead;
      }
      auto w = Words(rest, 1);
      if (!w || !Path(c.path)) return Fail("expected WINDOW FILE");
      c.window = (*w)[0];
      c.caption = rest;
      return true;
    }
    if (verb == "hover") {
      c.verb = Verb::Hover;
      return Target(true);
    }
    if (verb != "expect") return Fail("unknown command " + verb);

    auto what = Words(rest, 1);
    if (!what) return Fail("expect what?");
    const std::string kind = (*what)[0];
    if (kind == "text" || kind == "hint") {
      c.verb = kind == "text" ? Verb::ExpectText : Verb::ExpectHint;
      return Target(false) && Text();
    }
    if (kind == "clipboard") {
      c.verb = Verb::ExpectClipboard;
      return Text();
    }
    if (kind == "items" || kind == "menu") {
      c.verb = kind == "items" ? Verb::ExpectItems : Verb::ExpectMenu;
      return Target(false) && Items();
    }
    if (kind == "visible") {
      c.verb = Verb::ExpectVisible;
      if (!Target(false)) return false;
      if (rest != "yes" && rest != "no") return Fail("expected yes or no");
      c.flag = rest == "yes";
      return true;
    }
    if (kind == "picture") {
      c.verb = Verb::ExpectPicture;
      if (!Target(false)) return false;
      if (rest.empty()) return Fail("expected a resource name or empty");
      c.flag = rest == "empty";
      c.text = c.flag ? "" : std::string(rest);
      return true;
    }
    if (kind == "notice") {
      c.verb = Verb::ExpectNotice;
      auto title = Words(rest, 1);
      if (!title) return Fail("expected TITLE TEXT");
      auto gbkTitle = Gbk((*title)[0], true);
      if (!gbkTitle || !Text()) return false;
      c.title = *gbkTitle;
      c.flag = !c.text.empty() && c.text.back() == '*';
      if (c.flag) c.text.pop_back();
      return true;
    }
    if (kind == "file") {
      c.verb = Verb::ExpectFile;
      return Path(c.path) && Path(c.otherPath) && (rest.empty() || Fail("expected PATH EXPECTED_PATH"));
    }
    if (kind == "nofile") {
      c.verb = Verb::ExpectNoFile;
      return Path(c.path) && (rest.empty() || Fail("expected one path"));
    }
    return Fail("unknown expectation " + kind);
  }
};

}  // namespace

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += "\r\n";
      ++i;
    } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
      out += '\\';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

Result<std::vector<Command>> ParseScript(std::string_view utf8) {
  std::vector<Command> commands;
  int number = 0;
  while (!utf8.empty()) {
    ++number;
    size_t nl = utf8.find('\n');
    std::string_view line = utf8.substr(0, nl);
    utf8.remove_prefix(nl == std::string_view::npos ? utf8.size() : nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // a byte-order mark
    size_t first = 0;
    while (first < line.size() && IsSpace(line[first])) ++first;
    if (first == line.size() || line[first] == '#') continue;

    Command c;
    c.line = number;
    c.source = std::string(line.substr(first));
    LineParser parser{c, line.substr(first), {}};
    if (!parser.Parse()) return Error{"line " + std::to_string(number) + ": " + parser.error + ": " + c.source};
    commands.push_back(std::move(c));
  }
  return commands;
}

}  // namespace xl::scenario
