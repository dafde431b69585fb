#pragma once
// One regular expression run over one GBK subject, then questions about the matches.
//
// On Windows the matching is done by the system's scripting component "VBScript.RegExp",
// driven through late-bound automation calls; natively by std::regex with the same options.
// Both see the subject as characters (a GBK double-byte character is one character), and
// every text they answer is a piece of the GBK subject, so offsets are byte offsets into it.
//
// Pattern syntax is the JavaScript-like one both engines share (\w, \d, {n}, groups,
// anchors, classes). By default matching ignores ASCII case, "^" and "$" also anchor at
// line ends, and every match is found.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xl::text {

struct RunOptions {
  bool caseSensitive = false;
  bool multiLine = true;
  bool global = true;
  // Every "#引号" in the pattern stands for a double quote, so a caller can write a pattern
  // holding quotes inside a quoted literal of its own.
  bool quoteMarker = false;
};

class RegexObject {
 public:
  RegexObject();
  // Copies share what the last run left (expression, subject, matches); a later run of either
  // replaces it for that object only.

  // Compiles `pattern`, runs it over `subject` and keeps the matches, replacing those of an
  // earlier run. True when the run produced a match list, also an empty one; false when the
  // engine is missing or the pattern is not valid (the queries then answer nothing).
  bool Run(std::string_view pattern, std::string_view subject, const RunOptions& options = {});

  // The pattern of the last run (markers already replaced); empty before any run.
  std::string PatternText() const;

  // The subject of the last run with its matches replaced by `replacement` ("$1", "$&" and
  // "$$" are understood); every match when the run was global, else the first.
  std::string Substitute(std::string_view replacement) const;

  int MatchCount() const;

  // Match `n` (1-based) as a piece of the subject; empty when there is no such match.
  // `position`, when given, receives its byte offset in the subject, or -1.
  std::string MatchText(int n, int* position = nullptr) const;

  // Group `g` (1-based) of match `n`; empty when either does not exist or the group took
  // no part in the match. With the system component the offset of a group is where its
  // text first occurs in the match, which is all that component tells.
  std::string GroupText(int n, int g, int* position = nullptr) const;

  // The number of groups of the expression, as counted on the first match; 0 without one.
  int GroupCount() const;

 private:
  // The platform's matching engine and what the last run left. Every run makes a new one and
  // nothing changes it afterwards, so copies share it safely.
  struct Engine;
  std::shared_ptr<Engine> engine_;
};

// The subject as the engines see it: one wide character per GBK character, and for every
// character the byte offset where it starts (plus the subject's length at the end). A
// character that does not convert is kept as U+FFFD, so offsets always line up.
struct WideSubject {
  std::wstring chars;
  std::vector<std::size_t> offsets;  // chars.size() + 1 entries
};
WideSubject ToWideSubject(std::string_view gbk);
// The pattern as given to the engine: the quote marker replaced when asked for.
std::string PreparePattern(std::string_view pattern, bool quoteMarker);

}  // namespace xl::text
