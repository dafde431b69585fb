#include "tools/scenario/runner.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>
#include <utility>

#include "platform/codepage.h"
#include "tools/scenario/script.h"

namespace xl::scenario {
namespace {

namespace stdfs = std::filesystem;

// GBK texts of the program, printed as the UTF-8 of the script; bytes that are no GBK
// are shown as \xNN.
std::string Printable(std::string_view gbk) {
  if (std::optional<std::string> utf8 = GbkToUtf8(gbk)) return *utf8;
  std::string out;
  for (unsigned char c : gbk) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string Quote(std::string_view gbk) {
  std::string out(1, '"');
  out += Printable(gbk);
  out += '"';
  return out;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += '|';
    out += Printable(items[i]);
  }
  return out.empty() ? "(no items)" : out;
}

// "[title] text", as the failure reports show a notice.
std::string Describe(const ShownNotice& n) {
  std::string out(1, '[');
  out += Printable(n.title);
  out += "] ";
  out += Printable(n.text);
  return out;
}

stdfs::path Resolve(const stdfs::path& folder, std::string_view utf8) {
  std::u8string u8(utf8.begin(), utf8.end());
  return folder / stdfs::path(u8);
}

// Screenshots land in the script's copy, or below the folder named by XL_SCENARIO_SHOTS when
// it is set (the copy goes when the script passes; pictures for the documentation must stay).
stdfs::path ShotPath(const stdfs::path& folder, std::string_view utf8) {
  const char* shots = std::getenv("XL_SCENARIO_SHOTS");
  return Resolve(shots && *shots ? stdfs::path(shots) : folder, utf8);
}

std::optional<std::string> ReadBytes(const stdfs::path& path) {
  std::error_code ec;
  if (!stdfs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A notice's text against an expected one in which each "*" stands for any text (a path
// that differs from run to run). No GBK trail byte is 0x2A, so a "*" is always the character.
bool Matches(std::string_view text, std::string_view pattern) {
  const size_t star = pattern.find('*');
  if (star == std::string_view::npos) return text == pattern;
  if (text.substr(0, star) != pattern.substr(0, star)) return false;
  const std::string_view rest = pattern.substr(star + 1);
  for (size_t at = star; at <= text.size(); ++at)
    if (Matches(text.substr(at), rest)) return true;
  return false;
}

bool IsAction(Verb v) {
  switch (v) {
    case Verb::Start:
    case Verb::Click:
    case Verb::DoubleClick:
    case Verb::Press:
    case Verb::Select:
    case Verb::Type:
    case Verb::Clear:
    case Verb::Drop:
    case Verb::Menu:
    case Verb::ExpectMenu:
    case Verb::EndSession: return true;
    default: return false;
  }
}

struct Interpreter {
  ScenarioDriver& driver;
  const stdfs::path& folder;
  const std::string& name;
  std::ostream& out;

  struct Pending {
    ShownNotice notice;
    int afterLine;
  };
  std::deque<Pending> notices;
  bool started = false;
  int lastAction = 0;

  bool Fail(const Command& c, const std::string& found) {
    out << name << ":" << c.line << ": " << c.source << "\n    found: " << found << "\n";
    return false;
  }

  void Collect() {
    for (ShownNotice& n : driver.TakeNotices()) notices.push_back({std::move(n), lastAction});
  }

  bool NoUnexpectedNotice(const Command& c) {
    Collect();
    if (notices.empty()) return true;
    const Pending& p = notices.front();
    return Fail(c, "a notice shown after line " + std::to_string(p.afterLine) +
                       " that no line expected: " + Describe(p.notice));
  }

  bool Done(const Command& c, const Status& s) { return s.ok() || Fail(c, Printable(s.error().message)); }

  // A "meanwhile click" waits for the next action: it is armed just before that action
  // and must have been taken by the program by the time the action ends.
  std::optional<Command> meanwhile;

  bool Execute(const Command& c) {
    if (!meanwhile || !IsAction(c.verb) || !started) return ExecuteOne(c);
    const Command m = *std::exchange(meanwhile, std::nullopt);
    if (Status s = driver.ClickMeanwhile(m.window, m.control); !s) return Fail(m, Printable(s.error().message));
    const bool acted = ExecuteOne(c);
    const Status delivered = driver.MeanwhileDone();
    if (!acted) return false;
    return delivered.ok() || Fail(m, "the click was not delivered during line " + std::to_string(c.line) + ": " +
                                         Printable(delivered.error().message));
  }

  bool ExecuteOne(const Command& c) {
    if (IsAction(c.verb) && c.verb != Verb::Start && !started) return Fail(c, "the program has not started yet");
    if (IsAction(c.verb)) lastAction = c.line;
    switch (c.verb) {
      case Verb::GameDir:
      case Verb::DocsDir:
        if (started) return Fail(c, "folders are set before start");
        (c.verb == Verb::GameDir ? driver.SetProgramFolder(Resolve(folder, c.path))
                                 : driver.SetDocumentsFolder(Resolve(folder, c.path)));
        return true;
      case Verb::ReadOnly:
      case Verb::Writable: {
        // As a user's read-only replay: no write permission at all, the read-only attribute on
        // Windows. Writable gives the owner's back, as clearing the attribute does.
        std::error_code ec;
        if (c.verb == Verb::ReadOnly)
          stdfs::permissions(Resolve(folder, c.path),
                             stdfs::perms::owner_write | stdfs::perms::group_write | stdfs::perms::others_write,
                             stdfs::perm_options::remove, ec);
        else
          stdfs::permissions(Resolve(folder, c.path), stdfs::perms::owner_write, stdfs::perm_options::add, ec);
        return !ec || Fail(c, ec.message());
      }
      case Verb::Resize: {
        // Zeros appended: a file grown past what the program reads, without storing one.
        std::error_code ec;
        stdfs::resize_file(Resolve(folder, c.path), c.size, ec);
        return !ec || Fail(c, ec.message());
      }
      case Verb::Browse:
        driver.QueueFolder(c.flag ? std::nullopt : std::optional<stdfs::path>(Resolve(folder, c.path)));
        return true;
      case Verb::Answer: driver.QueueAnswer(c.text); return true;
      case Verb::Start:
        if (started) return Fail(c, "the program has already started");
        started = true;
        return Done(c,
                    driver.Start(c.path.empty() ? std::nullopt : std::optional<stdfs::path>(Resolve(folder, c.path))));
      case Verb::Click: return Done(c, driver.Click(c.window, c.control));
      case Verb::DoubleClick: return Done(c, driver.DoubleClick(c.window, c.control));
      case Verb::Press: return Done(c, driver.Press(c.window, c.control));
      case Verb::Select: return Done(c, driver.Select(c.window, c.control, c.text));
      case Verb::Type: return Done(c, driver.Type(c.window, c.control, c.text));
      case Verb::Clear: return Done(c, driver.Clear(c.window, c.control));
      case Verb::Drop: return Done(c, driver.Drop(c.window, Resolve(folder, c.path)));
      case Verb::Menu: return Done(c, driver.ChooseFromMenu(c.window, c.control, c.text));
      case Verb::ExpectMenu: {
        Result<std::vector<std::string>> items = driver.MenuItems(c.window, c.control);
        if (!items) return Fail(c, Printable(items.error().message));
        return *items == c.items || Fail(c, Joined(*items));
      }
      case Verb::EndSession: {
        Result<bool> allowed = driver.EndSession();
        if (!allowed) return Fail(c, Printable(allowed.error().message));
        return *allowed == c.flag || Fail(c, *allowed ? "the program let the session end" : "the program kept it");
      }
      case Verb::Shot: return Done(c, driver.Shot(c.window, ShotPath(folder, c.path)));
      case Verb::Meanwhile:
        if (!started) return Fail(c, "the program has not started yet");
        if (meanwhile) return Fail(c, "line " + std::to_string(meanwhile->line) + " already waits for the next action");
        meanwhile = c;
        return true;
      case Verb::ExpectText: {
        Result<std::string> text = driver.Text(c.window, c.control);
        if (!text) return Fail(c, Printable(text.error().message));
        return *text == c.text || Fail(c, Quote(*text));
      }
      case Verb::ExpectHint: {
        Result<std::string> hint = driver.Hint(c.window, c.control);
        if (!hint) return Fail(c, Printable(hint.error().message));
        return *hint == c.text || Fail(c, hint->empty() ? std::string("no hint") : Quote(*hint));
      }
      case Verb::ExpectItems: {
        Result<std::vector<std::string>> items = driver.Items(c.window, c.control);
        if (!items) return Fail(c, Printable(items.error().message));
        return *items == c.items || Fail(c, Joined(*items));
      }
      case Verb::ExpectVisible: {
        Result<bool> visible = driver.Visible(c.window, c.control);
        if (!visible) return Fail(c, Printable(visible.error().message));
        return *visible == c.flag || Fail(c, *visible ? "yes" : "no");
      }
      case Verb::ExpectPicture: {
        Result<std::string> picture = driver.Picture(c.window, c.control);
        if (!picture) return Fail(c, Printable(picture.error().message));
        if (*picture == c.text) return true;
        return Fail(c, picture->empty() ? "empty" : *picture == "?" ? "a picture that is no resource" : *picture);
      }
      case Verb::ExpectNotice: {
        Collect();
        if (notices.empty()) return Fail(c, "no notice");
        const ShownNotice n = notices.front().notice;
        notices.pop_front();
        const bool textOk = Matches(n.text, c.flag ? c.text + "*" : c.text);
        if (n.title == c.title && textOk) return true;
        return Fail(c, Describe(n));
      }
      case Verb::ExpectFile: {
        const std::optional<std::string> actual = ReadBytes(Resolve(folder, c.path));
        const std::optional<std::string> expected = ReadBytes(Resolve(folder, c.otherPath));
        if (!expected) return Fail(c, "no file " + c.otherPath + " to compare with");
        if (!actual) return Fail(c, "no file " + c.path);
        if (*actual == *expected) return true;
        size_t at = 0;
        while (at < actual->size() && at < expected->size() && (*actual)[at] == (*expected)[at]) ++at;
        return Fail(c, std::to_string(actual->size()) + " bytes against " + std::to_string(expected->size()) +
                           ", first difference at byte " + std::to_string(at));
      }
      case Verb::ExpectNoFile: {
        std::error_code ec;
        return !stdfs::exists(Resolve(folder, c.path), ec) || Fail(c, "it exists");
      }
    }
    return Fail(c, "unknown command");
  }

  bool Run(const std::vector<Command>& commands) {
    for (const Command& c : commands) {
      if (c.verb != Verb::ExpectNotice && !IsExpectation(c.verb) && !NoUnexpectedNotice(c)) return false;
      if (!Execute(c)) return false;
      if (std::vector<std::string> problems = driver.TakeProblems(); !problems.empty()) {
        std::string found;
        for (const std::string& p : problems) found += (found.empty() ? "" : "; ") + Printable(p);
        return Fail(c, found);
      }
      Collect();
    }
    if (meanwhile) return Fail(*meanwhile, "no action followed to deliver the click");
    if (!notices.empty()) {
      const Pending& p = notices.front();
      out << name << ": a notice shown after line " << p.afterLine << " that no line expected: " << Describe(p.notice)
          << "\n";
      return false;
    }
    return true;
  }

  static bool IsExpectation(Verb v) { return v >= Verb::ExpectText && v <= Verb::ExpectNoFile; }
};

}  // namespace

bool RunCommands(std::string_view utf8Script, const stdfs::path& folder, ScenarioDriver& driver,
                 const std::string& scriptName, std::ostream& out) {
  Result<std::vector<Command>> commands = ParseScript(utf8Script);
  if (!commands) {
    out << scriptName << ": " << commands.error().message << "\n";
    return false;
  }
  driver.SetProgramFolder(folder);
  driver.SetDocumentsFolder(folder);
  Interpreter run{driver, folder, scriptName, out, {}, false, 0, std::nullopt};
  return run.Run(*commands);
}

bool RunScriptFile(const stdfs::path& script, const DriverFactory& makeDriver, std::ostream& out) {
  const std::string name = script.filename().string();
  const std::optional<std::string> text = ReadBytes(script);
  if (!text) {
    out << script.string() << ": cannot read the script\n";
    return false;
  }
  static std::atomic<int> counter{0};
  std::error_code ec;
  const stdfs::path copy =
      stdfs::temp_directory_path(ec) /
      ("xl-scenario-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
       std::to_string(counter++));
  stdfs::create_directories(copy, ec);
  if (!ec) stdfs::copy(stdfs::absolute(script).parent_path(), copy, stdfs::copy_options::recursive, ec);
  if (ec) {
    out << name << ": cannot copy the script's folder to " << copy.string() << ": " << ec.message() << "\n";
    return false;
  }
  bool passed;
  {
    std::unique_ptr<ScenarioDriver> driver = makeDriver();
    passed = RunCommands(*text, copy, *driver, name, out);
  }
  if (passed) {
    stdfs::remove_all(copy, ec);
    out << "passed " << name << "\n";
  } else {
    out << name << ": FAILED; its files are kept in " << copy.string() << "\n";
  }
  return passed;
}

}  // namespace xl::scenario
