#include "replay/text_ops.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace xl::replay {
namespace {

constexpr size_t npos = std::string_view::npos;

unsigned char Byte(std::string_view s, size_t i) { return static_cast<unsigned char>(s[i]); }
bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// Raw byte search. glibc's memmem skips far faster than a byte loop; elsewhere the
// standard library's find (memchr on the first byte, then compare) is what there is.
size_t FindBytes(std::string_view hay, std::string_view needle, size_t from) {
  if (from > hay.size() || needle.size() > hay.size() - from) return npos;
#if defined(__GLIBC__)
  const void* hit = ::memmem(hay.data() + from, hay.size() - from, needle.data(), needle.size());
  return hit ? static_cast<size_t>(static_cast<const char*>(hit) - hay.data()) : npos;
#else
  return hay.find(needle, from);
#endif
}

// Answers "does a character start here?" for a scan that steps through `text` from
// `origin`, without stepping through every byte. A byte below 0x80 is always the last
// byte of its character, so the byte after it always starts one; before a candidate we
// only need to count back over the run of high bytes that precedes it. Questions must come
// in increasing order; the work done is linear in the text overall.
class CharStarts {
 public:
  CharStarts(std::string_view text, size_t origin) : text_(text), known_(origin) {}

  bool IsStart(size_t pos) {
    size_t q = pos;
    while (q > known_ && Byte(text_, q - 1) >= 0x80) --q;
    // From q every byte up to pos is a high byte: they pair up as lead and trail.
    bool start = (pos - q) % 2 == 0 || text_[pos] == '\0';  // a zero byte never trails
    known_ = start ? pos : pos + 1;
    return start;
  }

 private:
  std::string_view text_;
  size_t known_;  // a character start at or before every later question
};

// A prepared search for one sought text. Case-sensitive searches let the byte search do
// the skipping. With case ignored, a Horspool scan over ASCII-folded bytes does it: folding
// every byte finds a superset of the real matches, each of which is then compared with the
// rule that only letters starting a character fold.
class Searcher {
 public:
  Searcher(std::string_view sought, bool ignoreCase) : sought_(sought), ignoreCase_(ignoreCase) {
    if (!ignoreCase_ || sought_.empty()) return;
    folds_.assign(sought_.size(), false);
    bool anyFold = false;
    for (size_t k = 0; k < sought_.size(); ++k) {
      unsigned char c = Byte(sought_, k);
      if (c >= 0x80 && k + 1 < sought_.size() && sought_[k + 1] != '\0') {
        ++k;  // a trail byte compares exactly, whatever it looks like
        continue;
      }
      if (IsAsciiLetter(c)) folds_[k] = anyFold = true;
    }
    if (!anyFold) {
      ignoreCase_ = false;  // nothing to fold: a plain search is the same search
      return;
    }
    const size_t m = sought_.size();
    shift_.fill(m);
    for (size_t k = 0; k + 1 < m; ++k) shift_[FoldAscii(Byte(sought_, k))] = m - 1 - k;
    // The two bytes a block scan looks at: the last, and the first letter before it (a
    // tab or bracket is everywhere in a replay, a letter at that distance is not).
    probe_ = 0;
    while (probe_ + 1 < m && !folds_[probe_]) ++probe_;
    if (probe_ + 1 == m) probe_ = 0;
  }

  // 0-based position of the first match at a character start at or after `from`.
  size_t Find(std::string_view text, size_t from) const {
    if (sought_.empty() || from >= text.size() || sought_.size() > text.size() - from) return npos;
    CharStarts starts(text, from);
    if (!ignoreCase_) {
      for (size_t at = from;; ++at) {
        at = FindBytes(text, sought_, at);
        if (at == npos || starts.IsStart(at)) return at;
      }
    }
    const size_t m = sought_.size(), last = text.size() - m;
    size_t at = from;
#ifdef __SSE2__
    // Sixteen places at a time: those whose two probe bytes match (letters with bit 5 set,
    // which folds them and a few other bytes) are candidates for the full comparison.
    const auto lane = [&](size_t k) {
      const char c = static_cast<char>(folds_[k] ? FoldAscii(Byte(sought_, k)) : Byte(sought_, k));
      return std::pair(_mm_set1_epi8(c), _mm_set1_epi8(folds_[k] ? 0x20 : 0));
    };
    const auto [probeByte, probeFold] = lane(probe_);
    const auto [lastByte, lastFold] = lane(m - 1);
    for (; at + (m - 1) + 16 <= text.size(); at += 16) {
      const __m128i a =
          _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at + probe_)), probeFold);
      const __m128i b =
          _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at + m - 1)), lastFold);
      unsigned bits = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, probeByte), _mm_cmpeq_epi8(b, lastByte))));
      for (; bits != 0; bits &= bits - 1) {
        const size_t candidate = at + static_cast<size_t>(__builtin_ctz(bits));
        if (MatchesAt(text, candidate) && starts.IsStart(candidate)) return candidate;
      }
    }
#endif
    const unsigned char lastFolded = FoldAscii(Byte(sought_, m - 1));
    while (at <= last) {
      unsigned char c = FoldAscii(Byte(text, at + m - 1));
      if (c == lastFolded && MatchesAt(text, at) && starts.IsStart(at)) return at;
      at += shift_[c];
    }
    return npos;
  }

 private:
  bool MatchesAt(std::string_view text, size_t at) const {
    for (size_t k = 0; k < sought_.size(); ++k) {
      unsigned char a = Byte(text, at + k), b = Byte(sought_, k);
      if (a != b && !(folds_[k] && FoldAscii(a) == FoldAscii(b))) return false;
    }
    return true;
  }

  std::string_view sought_;
  bool ignoreCase_;
  std::vector<bool> folds_;        // bytes that compare without case
  std::array<size_t, 256> shift_;  // Horspool skip per folded byte; filled when case is ignored
  size_t probe_ = 0;               // the byte a block scan looks at besides the last
};

size_t StartIndex(TextPos start) { return start < 1 ? 0 : static_cast<size_t>(start - 1); }

bool IsStartInPiece(std::string_view piece, size_t pos) { return CharStarts(piece, 0).IsStart(pos); }

// Removes spaces and full-width spaces ("　", A1 A1) from both ends.
std::string_view TrimSpaces(std::string_view s) {
  static const std::string_view kWideSpace = "\xA1\xA1";
  for (;;) {
    if (!s.empty() && s.front() == ' ') {
      s.remove_prefix(1);
    } else if (s.substr(0, 2) == kWideSpace) {
      s.remove_prefix(2);
    } else {
      break;
    }
  }
  for (;;) {
    if (!s.empty() && s.back() == ' ' && IsStartInPiece(s, s.size() - 1)) {
      s.remove_suffix(1);
    } else if (s.size() >= 2 && s.substr(s.size() - 2) == kWideSpace && IsStartInPiece(s, s.size() - 2)) {
      s.remove_suffix(2);
    } else {
      break;
    }
  }
  return s;
}

std::string QuoteMarkers(std::string_view tag) { return ReplaceText(tag, "#引号", "\""); }

TextPos ToPosition(size_t index) { return index == npos ? kNotFound : static_cast<TextPos>(index) + 1; }

}  // namespace

TextPos FindText(std::string_view text, std::string_view sought, TextPos start, bool ignoreCase) {
  return ToPosition(Searcher(sought, ignoreCase).Find(text, StartIndex(start)));
}

std::string ReplaceText(std::string_view text, std::string_view sought, std::string_view replacement, TextPos start,
                        TextPos count, bool caseSensitive, int* replaced) {
  if (replaced) *replaced = 0;
  size_t from = StartIndex(start);
  if (text.empty() || sought.empty() || count == 0 || from >= text.size()) return std::string(text);
  Searcher searcher(sought, !caseSensitive);
  size_t at = searcher.Find(text, from);
  if (at == npos) return std::string(text);

  std::string out;
  out.reserve(text.size() + (replacement.size() > sought.size() ? replacement.size() - sought.size() : 0));
  size_t copied = 0;
  int done = 0;
  while (at != npos) {
    out.append(text.substr(copied, at - copied)).append(replacement);
    copied = at + sought.size();
    ++done;
    if (count > 0 && done >= count) break;
    at = searcher.Find(text, copied);
  }
  out.append(text.substr(copied));
  if (replaced) *replaced = done;
  return out;
}

std::string TextBetween(std::string_view text, std::string_view openTag, std::string_view closeTag) {
  const std::string open = QuoteMarkers(openTag), close = QuoteMarkers(closeTag);
  TextPos s = FindText(text, open);
  if (s == kNotFound) return std::string();
  s += static_cast<TextPos>(open.size());
  TextPos e = FindText(text, close, s);
  if (e == kNotFound) return std::string();
  return std::string(text.substr(static_cast<size_t>(s - 1), static_cast<size_t>(e - s)));
}

FieldEdit PlanFieldEdit(std::string_view text, std::string_view openTag, std::string_view closeTag,
                        std::string_view newValue, FieldMode mode) {
  // The quote marker is resolved here as well as in TextBetween: the element searched for
  // must be written the way the document writes it.
  const std::string open = QuoteMarkers(openTag), close = QuoteMarkers(closeTag);
  const std::string sought = open + TextBetween(text, open, close) + close;
  FieldEdit edit;
  edit.oldLength = sought.size();
  edit.element = open + std::string(newValue) + close;
  // Each search goes on after the element found, as ReplaceText's does.
  const Searcher searcher(sought, !mode.caseSensitive);
  for (size_t at = searcher.Find(text, 0); at != npos; at = searcher.Find(text, at + sought.size())) {
    edit.at.push_back(at);
    if (mode.firstOnly) break;
  }
  return edit;
}

bool RewriteField(std::string& target, std::string_view openTag, std::string_view closeTag, std::string_view newValue,
                  FieldMode mode) {
  const FieldEdit edit = PlanFieldEdit(target, openTag, closeTag, newValue, mode);
  if (edit.at.empty()) return false;
  if (edit.element.size() == edit.oldLength) {
    // A value of the same length is written over the old one in place.
    for (size_t at : edit.at)
      std::copy(edit.element.begin(), edit.element.end(), target.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
  }
  std::string out;
  out.reserve(target.size() + edit.at.size() * edit.element.size());
  size_t copied = 0;
  for (size_t at : edit.at) {
    out.append(target, copied, at - copied).append(edit.element);
    copied = at + edit.oldLength;
  }
  out.append(target, copied);
  target = std::move(out);
  return true;
}

std::vector<std::string> TakeAllBetween(std::string_view text, std::string_view startMark, std::string_view endMark,
                                        const std::function<void()>& letMessagesThrough, std::vector<size_t>* offsets) {
  std::vector<std::string> pieces;
  if (offsets) offsets->clear();
  const Searcher findStart(startMark, true), findEnd(endMark, true);
  size_t pos = 0;
  for (;;) {
    size_t s = findStart.Find(text, pos);
    if (s == npos) break;
    size_t content = s + startMark.size();
    size_t e = findEnd.Find(text, content);
    if (e == npos) break;
    std::string_view piece = TrimSpaces(text.substr(content, e - content));
    if (!piece.empty()) {
      pieces.emplace_back(piece);
      if (offsets) offsets->push_back(static_cast<size_t>(piece.data() - text.data()));
      pos = e;
    } else {
      pos = content;
    }
    if (letMessagesThrough)
      for (int i = 0; i < 3; ++i) letMessagesThrough();
  }
  return pieces;
}

std::string ReplaceSequence(std::string_view text, TextPos count, TextPos start, bool caseSensitive,
                            std::initializer_list<TextPair> pairs) {
  std::string out(text);
  for (const TextPair& p : pairs)
    if (!p.first.empty()) out = ReplaceText(out, p.first, p.second, start < 1 ? 1 : start, count, caseSensitive);
  return out;
}

std::string BytesToHex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out(bytes.size() * 2, '0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    out[2 * i] = kDigits[Byte(bytes, i) >> 4];
    out[2 * i + 1] = kDigits[Byte(bytes, i) & 15];
  }
  return out;
}

std::string HexToBytes(std::string_view hex) {
  auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
  };
  std::string out(hex.size() / 2, '\0');
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char>(value(hex[2 * i]) * 16 + value(hex[2 * i + 1]));
  return out;
}

}  // namespace xl::replay
