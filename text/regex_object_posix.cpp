// The native engine: std::regex (ECMAScript grammar) over the subject's wide characters.
#include <locale>
#include <regex>
#include <vector>

#include "text/regex_object.h"

namespace xl::text {
namespace {

// One match: where the whole match and each group start and how long they are, in
// characters of the wide subject. A group that took no part starts at -1.
struct Span {
  long start = -1;
  long length = 0;
};
using Match = std::vector<Span>;  // [0] is the whole match

}  // namespace

struct RegexObject::Engine {
  bool hasRegex = false;
  std::string pattern;
  bool global = true;
  std::shared_ptr<const std::wregex> regex;
  std::shared_ptr<const std::vector<Match>> matches;
  std::string subjectBytes;
  WideSubject subject;

  const Span* Find(int n, int g) const {
    if (!matches || n < 1 || static_cast<size_t>(n) > matches->size()) return nullptr;
    const Match& m = (*matches)[static_cast<size_t>(n) - 1];
    if (g < 0 || static_cast<size_t>(g) >= m.size() || m[static_cast<size_t>(g)].start < 0) return nullptr;
    return &m[static_cast<size_t>(g)];
  }

  std::string Bytes(const Span& s, int* position) const {
    const size_t from = subject.offsets[static_cast<size_t>(s.start)];
    const size_t to = subject.offsets[static_cast<size_t>(s.start + s.length)];
    if (position) *position = static_cast<int>(from);
    return subjectBytes.substr(from, to - from);
  }

  // Expands "$$", "$&", "$`", "$'", "$n" and "$nn" of `replacement` for match `m`.
  void AppendReplacement(std::string& out, std::string_view replacement, const Match& m) const {
    auto bytesOf = [&](const Span& s) { return s.start < 0 ? std::string() : Bytes(s, nullptr); };
    for (size_t i = 0; i < replacement.size(); ++i) {
      const char c = replacement[i];
      const char next = i + 1 < replacement.size() ? replacement[i + 1] : '\0';
      if (c != '$' || next == '\0') {
        out += c;
      } else if (next == '$') {
        out += '$', ++i;
      } else if (next == '&') {
        out += bytesOf(m[0]), ++i;
      } else if (next == '`') {
        out += subjectBytes.substr(0, subject.offsets[static_cast<size_t>(m[0].start)]), ++i;
      } else if (next == '\'') {
        out += subjectBytes.substr(subject.offsets[static_cast<size_t>(m[0].start + m[0].length)]), ++i;
      } else if (next >= '0' && next <= '9') {
        size_t group = static_cast<size_t>(next - '0');
        size_t used = 1;
        const char third = i + 2 < replacement.size() ? replacement[i + 2] : '\0';
        if (third >= '0' && third <= '9' && group * 10 + static_cast<size_t>(third - '0') < m.size())
          group = group * 10 + static_cast<size_t>(third - '0'), used = 2;
        if (group == 0 || group >= m.size()) {
          out += c;  // not a group of this expression: taken literally
        } else {
          out += bytesOf(m[group]);
          i += used;
        }
      } else {
        out += c;
      }
    }
  }
};

RegexObject::RegexObject() : engine_(std::make_shared<Engine>()) {}

bool RegexObject::Run(std::string_view pattern, std::string_view subject, const RunOptions& options) {
  engine_ = std::make_shared<Engine>();
  Engine& e = *engine_;
  e.hasRegex = true;
  e.pattern = PreparePattern(pattern, options.quoteMarker);
  e.global = options.global;
  e.subjectBytes.assign(subject);
  e.subject = ToWideSubject(subject);

  auto flags = std::regex::ECMAScript;
  if (!options.caseSensitive) flags |= std::regex::icase;
  if (options.multiLine) flags |= std::regex::multiline;
  auto matches = std::make_shared<std::vector<Match>>();
  try {
    auto regex = std::make_shared<std::wregex>();
    // Word and case classes as in the classic locale: ASCII only, whatever the user's locale.
    regex->imbue(std::locale::classic());
    regex->assign(ToWideSubject(e.pattern).chars, flags);
    e.regex = regex;
    const std::wstring& s = e.subject.chars;
    for (std::wsregex_iterator it(s.begin(), s.end(), *regex), end; it != end; ++it) {
      Match m;
      for (size_t g = 0; g < it->size(); ++g) {
        const auto& sub = (*it)[g];
        m.push_back(sub.matched ? Span{static_cast<long>(sub.first - s.begin()), static_cast<long>(sub.length())}
                                : Span{});
      }
      matches->push_back(std::move(m));
      if (!options.global) break;
    }
  } catch (const std::regex_error&) {
    return false;  // an invalid pattern, or one too complex to run
  }
  e.matches = std::move(matches);
  return true;
}

std::string RegexObject::PatternText() const { return engine_->hasRegex ? engine_->pattern : std::string(); }

std::string RegexObject::Substitute(std::string_view replacement) const {
  const Engine& e = *engine_;
  if (!e.regex || !e.matches) return {};
  std::string out;
  size_t done = 0;  // bytes of the subject already copied
  for (const Match& m : *e.matches) {
    const size_t from = e.subject.offsets[static_cast<size_t>(m[0].start)];
    out.append(e.subjectBytes, done, from - done);
    e.AppendReplacement(out, replacement, m);
    done = e.subject.offsets[static_cast<size_t>(m[0].start + m[0].length)];
  }
  out.append(e.subjectBytes, done);
  return out;
}

int RegexObject::MatchCount() const { return engine_->matches ? static_cast<int>(engine_->matches->size()) : 0; }

std::string RegexObject::MatchText(int n, int* position) const {
  if (position) *position = -1;
  const Span* s = engine_->Find(n, 0);
  return s ? engine_->Bytes(*s, position) : std::string();
}

std::string RegexObject::GroupText(int n, int g, int* position) const {
  if (position) *position = -1;
  const Span* s = g >= 1 ? engine_->Find(n, g) : nullptr;
  return s ? engine_->Bytes(*s, position) : std::string();
}

int RegexObject::GroupCount() const {
  const Engine& e = *engine_;
  if (!e.matches || e.matches->empty()) return 0;
  return static_cast<int>(e.matches->front().size()) - 1;
}

}  // namespace xl::text
