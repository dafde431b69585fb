#include "win32/edit_box.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/codepage.h"
#include "win32/clipboard.h"
#include "win32/live_window.h"
#include "win32/shortcut_keys.h"
#include "win32/win32_ui.h"

namespace xl::win32 {
namespace {

// Edit boxes keep to their input mode for typed and pasted text alike: a digits box takes
// 0-9 and "-" only; every box refuses characters GBK cannot hold (they could not be
// written into a replay), with a notice.
bool IsDigitChar(wchar_t ch) { return (ch >= L'0' && ch <= L'9') || ch == L'-'; }
bool FitsGbk(wchar_t ch) { return WideToGbk(std::wstring_view(&ch, 1)).has_value(); }

// Returns whether the character goes through to the edit box.
bool AcceptTypedChar(LiveControl& c, wchar_t ch) {
  if (c.swallowLowSurrogate && IS_LOW_SURROGATE(ch)) {
    c.swallowLowSurrogate = false;
    return false;
  }
  c.swallowLowSurrogate = false;
  if (ch < 0x20) return true;  // backspace, ctrl+V and the like
  if (c.unit->input == InputMode::Digits) return IsDigitChar(ch);
  if (IS_HIGH_SURROGATE(ch)) c.swallowLowSurrogate = true;  // nothing beyond U+FFFF is in GBK
  if (IS_HIGH_SURROGATE(ch) || IS_LOW_SURROGATE(ch) || !FitsGbk(ch)) {
    c.window->ui->RefuseTypedCharacter(*c.window);
    return false;
  }
  return true;
}

// Pasting into a one-line box: the first line only, through the same rules as typing.
void OnPaste(HWND hwnd, LiveControl& c) {
  std::wstring text = ReadClipboardText(hwnd).value_or(std::wstring());
  text = text.substr(0, text.find_first_of(L"\r\n"));
  std::wstring kept;
  if (c.unit->input == InputMode::Digits) {
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept), IsDigitChar);
  } else if (!WideToGbk(text)) {
    c.window->ui->RefuseTypedCharacter(*c.window);
    return;
  } else {
    kept = text;
  }
  SendMessageW(hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
}

// The hint (cue banner) is kept and drawn here rather than by the system: the edit control
// of comctl32 before version 6 (and so of every program without the common-controls
// manifest) ignores EM_SETCUEBANNER, and the hint must look the same everywhere. It shows
// while the box is empty, focused or not, in the system's grey text colour.
void DrawHint(HWND hwnd, const LiveControl& c) {
  if (c.hint.empty() || GetWindowTextLengthW(hwnd) > 0) return;
  RECT r{};
  SendMessageW(hwnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  HDC dc = GetDC(hwnd);
  if (!dc) return;
  HideCaret(hwnd);  // the caret is inverted pixels: drawn over, it would leave a trace
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  ::DrawTextW(dc, c.hint.c_str(), static_cast<int>(c.hint.size()), &r,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  ShowCaret(hwnd);
}

LRESULT SetHintText(HWND hwnd, LiveControl& c, const wchar_t* hint) {
  c.hint = hint ? hint : L"";
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

LRESULT GetHintText(const LiveControl& c, wchar_t* buffer, size_t size) {
  if (!buffer || size == 0) return FALSE;
  const size_t n = std::min(c.hint.size(), size - 1);
  std::copy_n(c.hint.c_str(), n, buffer);
  buffer[n] = L'\0';
  return TRUE;
}

// Messages after which the box may have gone from empty to filled or back; the edit control
// repaints only the characters it changed, so the hint is redrawn or wiped here.
bool MayChangeText(UINT msg) {
  switch (msg) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_SETTEXT:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL: return true;
    default: return false;
  }
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data) {
  auto* c = reinterpret_cast<LiveControl*>(data);
  const bool wasEmpty = !c->hint.empty() && MayChangeText(msg) && GetWindowTextLengthW(hwnd) == 0;
  LRESULT result = 0;
  switch (msg) {
    case WM_KEYDOWN:
      if (RaiseShortcut(*c->window, c, wp)) return 0;
      result = DefSubclassProc(hwnd, msg, wp, lp);
      break;
    case WM_CHAR:
      if (DropsShortcutCharacter(*c, wp)) return 0;
      if (c->unit->input != InputMode::ReadOnly && !AcceptTypedChar(*c, static_cast<wchar_t>(wp))) return 0;
      result = DefSubclassProc(hwnd, msg, wp, lp);
      break;
    case WM_PASTE:
      if (c->unit->input == InputMode::ReadOnly) return 0;
      OnPaste(hwnd, *c);
      break;
    case EM_SETCUEBANNER: return SetHintText(hwnd, *c, reinterpret_cast<const wchar_t*>(lp));
    case EM_GETCUEBANNER: return GetHintText(*c, reinterpret_cast<wchar_t*>(wp), static_cast<size_t>(lp));
    case WM_PAINT:
      result = DefSubclassProc(hwnd, msg, wp, lp);
      DrawHint(hwnd, *c);
      return result;
    case WM_NCDESTROY: RemoveWindowSubclass(hwnd, EditProc, id); return DefSubclassProc(hwnd, msg, wp, lp);
    default: result = DefSubclassProc(hwnd, msg, wp, lp); break;
  }
  if (!c->hint.empty() && MayChangeText(msg) && wasEmpty != (GetWindowTextLengthW(hwnd) == 0))
    InvalidateRect(hwnd, nullptr, TRUE);
  return result;
}

}  // namespace

void SubclassEditBox(HWND hwnd, LiveControl& c) {
  SetWindowSubclass(hwnd, EditProc, 1, reinterpret_cast<DWORD_PTR>(&c));
}

}  // namespace xl::win32
