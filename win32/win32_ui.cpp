#include "win32/win32_ui.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

#include "platform/codepage.h"
#include "resources/resources.h"
#include "ui/dpi.h"
#include "win32/clipboard.h"
#include "win32/live_window.h"
#include "ui/dui_menu.h"
#include "ui/message_box.h"

namespace xl::win32 {
namespace {

bool IsWindowItself(std::string_view control) { return control.empty() || control == "-"; }
bool HasItems(UnitKind kind) { return kind == UnitKind::ComboBox || kind == UnitKind::ListBox; }

// Window texts back to GBK. Input is filtered on the way in, so a character GBK cannot
// hold only reaches here from elsewhere (a system name); it becomes "?".
std::string ToGbk(std::wstring_view wide) {
  if (auto gbk = WideToGbk(wide)) return *gbk;
  std::string out;
  for (size_t i = 0; i < wide.size(); ++i) {
    size_t n = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() ? 2 : 1;
    auto one = WideToGbk(wide.substr(i, n));
    out += one ? *one : "?";
    i += n - 1;
  }
  return out;
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Windows open in the middle of the work area.
RECT WorkArea() {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}
POINT CentredOrigin(int width, int height) {
  const RECT area = WorkArea();
  return POINT{area.left + std::max<LONG>(0, (area.right - area.left - width) / 2),
               area.top + std::max<LONG>(0, (area.bottom - area.top - height) / 2)};
}

void AddItemTo(const LiveControl& c, std::string_view text) {
  const std::wstring wide = GbkToWideLossy(text);
  SendMessageW(c.hwnd, c.unit->kind == UnitKind::ListBox ? LB_ADDSTRING : CB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(wide.c_str()));
}

DibPicture Decoded(std::string_view bytes, const RECT& box, PictureMode mode, UINT dpi) {
  if (bytes.empty()) return {};
  auto dib = MakeBoxPicture(bytes, box.right - box.left, box.bottom - box.top, mode, dpi);
  return dib ? std::move(*dib) : DibPicture{};
}

// Releases a COM object when it goes out of scope.
template <class T>
struct ComRef {
  T* p = nullptr;
  ~ComRef() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
};

// The system's folder picker from Vista on: the item dialog picking folders, with an address
// bar and a name box a path can be pasted into. Nothing when the system has none (the old
// browser stands in then); an empty path when the user cancelled.
std::optional<std::optional<std::wstring>> ItemDialogFolder(HWND owner, const std::wstring& title,
                                                            const std::wstring& start) {
  ComRef<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog.p))))
    return std::nullopt;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  // The program's own folder stays the current directory, whatever is browsed.
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
  dialog->SetTitle(title.c_str());
  ComRef<IShellItem> folder;
  if (!start.empty() && SUCCEEDED(SHCreateItemFromParsingName(start.c_str(), nullptr, IID_PPV_ARGS(&folder.p))))
    dialog->SetFolder(folder.p);  // rather than the folder the system remembers from last time
  const HRESULT shown = dialog->Show(owner);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::optional<std::wstring>();
  if (FAILED(shown)) return std::nullopt;
  ComRef<IShellItem> picked;
  wchar_t* path = nullptr;
  if (FAILED(dialog->GetResult(&picked.p)) || FAILED(picked->GetDisplayName(SIGDN_FILESYSPATH, &path)))
    return std::optional<std::wstring>();
  std::wstring result(path);
  CoTaskMemFree(path);
  return std::optional<std::wstring>(std::move(result));
}

// Selects the start folder once the old browser is up.
int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

// The tree-style browser of older systems.
std::optional<std::wstring> FolderBrowser(HWND owner, const std::wstring& title, const std::wstring& start) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = SelectStartFolder;
  info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
  if (!picked) return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  BOOL ok = SHGetPathFromIDListW(picked, path);
  CoTaskMemFree(picked);
  if (!ok) return std::nullopt;
  return std::wstring(path);
}

std::optional<std::wstring> RealFolderPicker(HWND owner, const std::wstring& title, const std::wstring& start) {
  if (auto picked = ItemDialogFolder(owner, title, start)) return *picked;
  return FolderBrowser(owner, title, start);
}

// "C:\games\." as "C:\games": the picker may hand back what was typed into its name box.
// Only a fully qualified path is made so; "E:" alone would become drive E's current folder.
std::wstring Normalised(const std::wstring& path) {
  const bool qualified = (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') || path.starts_with(L"\\\\");
  const DWORD n = qualified ? GetFullPathNameW(path.c_str(), 0, nullptr, nullptr) : 0;
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return path;
  full.resize(got);
  return full;
}

}  // namespace

void LiveControl::DecodePictures() {
  const PictureMode mode = unit->kind == UnitKind::PictureBox ? unit->pictureMode : PictureMode::Plain;
  picture = Decoded(pictureBytes, rect, mode, window->dpi);
  hover = Decoded(hoverBytes, rect, PictureMode::Plain, window->dpi);
  pressed = Decoded(pressedBytes, rect, PictureMode::Plain, window->dpi);
}

Win32Ui::Win32Ui(std::vector<WindowDef> windows) : defs_(std::move(windows)) {
  // The folder browser's new-style dialog needs OLE on this thread.
  OleInitialize(nullptr);
  RegisterWindowClasses();
}

Win32Ui::~Win32Ui() {
  for (auto& [id, w] : windows_)
    if (w->hwnd) ::DestroyWindow(w->hwnd);
  windows_.clear();
  destroyed_.clear();
  for (auto& [px, font] : fonts_) DeleteObject(font);
  OleUninitialize();
}

const WindowDef* Win32Ui::Definition(std::string_view window) const {
  for (const WindowDef& d : defs_)
    if (d.id == window) return &d;
  return nullptr;
}

LiveWindow* Win32Ui::Find(std::string_view window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.get();
}

LiveControl* Win32Ui::Find(std::string_view window, std::string_view control) {
  LiveWindow* w = Find(window);
  return w ? w->Find(control) : nullptr;
}

HFONT Win32Ui::Font(int pixels) {
  auto& font = fonts_[pixels];
  if (!font)
    font = CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"微软雅黑");
  return font;
}

void Win32Ui::SetEventSink(UiEventSink sink) { sink_ = std::move(sink); }

void Win32Ui::Deliver(const LiveWindow& window, const LiveControl* control, UiEvent event, int x, int y,
                      std::string_view text) {
  if (!sink_) return;
  UiEventArgs args{
      window.def->id, control ? std::string_view(control->unit->name) : std::string_view(), event, x, y, text};
  sink_(args);
}

// Moved to a monitor of another DPI: the window takes the size the system suggests and every
// control its place, font and pictures at the new scale.
void Win32Ui::ChangeDpi(LiveWindow& window, UINT dpi, const RECT& suggested) {
  if (dpi == 0 || dpi == window.dpi) return;
  window.dpi = dpi;
  SetWindowPos(window.hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControls(window);
  for (auto& c : window.controls) c->DecodePictures();
  RedrawWindow(window.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool Win32Ui::AllowSessionEnd(const LiveWindow& window) {
  if (!sink_) return true;
  bool refuse = false;
  UiEventArgs args{window.def->id, std::string_view(), UiEvent::SessionEnding, 0, 0, {}, &refuse};
  sink_(args);
  return !refuse;
}

void Win32Ui::RefuseTypedCharacter(const LiveWindow& window) {
  ShowNotice(window.def->id, "输入的字符不在 GBK 字符集内，无法写入录像文件，已忽略。", "温馨提示");
}

// A window loaded again opens afresh, as designed.
void Win32Ui::LoadWindow(std::string_view window, bool visible) {
  const WindowDef* def = Definition(window);
  if (ended_ || !def) return;
  if (Find(window)) DestroyWindow(window);
  auto live = std::make_unique<LiveWindow>();
  live->ui = this;
  live->def = def;
  const Unit& u = def->window;
  // At the DPI of the monitor it opens on: the one holding the middle of the work area.
  const RECT area = WorkArea();
  live->dpi = ui::DpiAt(POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2});
  const int width = ui::Scaled(u.width, live->dpi), height = ui::Scaled(u.height, live->dpi);
  const POINT at = CentredOrigin(width, height);
  const DWORD exStyle = WS_EX_APPWINDOW | (u.acceptsFiles ? WS_EX_ACCEPTFILES : 0);
  live->hwnd = CreateWindowExW(exStyle, kTopWindowClass, GbkToWideLossy(u.text).c_str(),
                               WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, at.x, at.y, width, height,
                               nullptr, nullptr, GetModuleHandleW(nullptr), live.get());
  if (!live->hwnd) return;
  if (const UINT actual = ui::DpiOf(live->hwnd); actual != live->dpi) {
    live->dpi = actual;  // the system put it elsewhere: size it for that monitor
    const int w = ui::Scaled(u.width, actual), h = ui::Scaled(u.height, actual);
    const POINT centred = CentredOrigin(w, h);
    SetWindowPos(live->hwnd, nullptr, centred.x, centred.y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  CreateControls(*live);
  for (auto& c : live->controls) {
    const Unit& cu = *c->unit;
    if (HasItems(cu.kind)) {
      for (const std::string& item : cu.items) AddItemTo(*c, item);
      SendMessageW(c->hwnd, cu.kind == UnitKind::ListBox ? LB_SETCURSEL : CB_SETCURSEL,
                   static_cast<WPARAM>(cu.selection), 0);
    }
    if (!cu.picture.empty() && (cu.kind == UnitKind::PictureBox || cu.kind == UnitKind::ImageButton)) {
      c->pictureBytes = Resource(cu.picture);
      c->pictureName = cu.picture;
    }
    if (!cu.hoverPicture.empty()) c->hoverBytes = Resource(cu.hoverPicture);
    if (!c->pictureBytes.empty() || !c->hoverBytes.empty()) c->DecodePictures();
  }
  LiveWindow& w = *live;
  windows_.insert_or_assign(def->id, std::move(live));
  Deliver(w, nullptr, UiEvent::Created);
  if (visible && Find(window) == &w) ShowWindow(window, true);
}

bool Win32Ui::WindowExists(std::string_view window) { return Find(window) != nullptr; }

void Win32Ui::ShowWindow(std::string_view window, bool visible) {
  LiveWindow* w = Find(window);
  if (!w) return;
  if (!visible) {
    ::ShowWindow(w->hwnd, SW_HIDE);
    return;
  }
  ::ShowWindow(w->hwnd, IsIconic(w->hwnd) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(w->hwnd);
  UpdateWindow(w->hwnd);
}

// The window's objects outlive its handle until no message of it is being handled: the
// close button's own click destroys the window it sits on.
void Win32Ui::DestroyWindow(std::string_view window) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  std::unique_ptr<LiveWindow> w = std::move(it->second);
  windows_.erase(it);
  if (w->hwnd) ::DestroyWindow(w->hwnd);
  destroyed_.push_back(std::move(w));
}

void Win32Ui::MinimizeWindow(std::string_view window) {
  if (LiveWindow* w = Find(window)) ::ShowWindow(w->hwnd, SW_MINIMIZE);
}

bool Win32Ui::IsMinimized(std::string_view window) {
  LiveWindow* w = Find(window);
  return w && IsIconic(w->hwnd);
}

// The system moves the window while the button stays down. A press that is already over
// (a message sent by a program, not a hand on the mouse) starts nothing: the system would
// otherwise wait for the keyboard to finish the move.
void Win32Ui::BeginDrag(std::string_view window) {
  LiveWindow* w = Find(window);
  if (!w || !(GetKeyState(VK_LBUTTON) & 0x8000)) return;
  ++w->drags;
  ReleaseCapture();
  SendMessageW(w->hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

int Win32Ui::DragCount(std::string_view window) {
  LiveWindow* w = Find(window);
  return w ? w->drags : 0;
}

void Win32Ui::EndProgram(int exitCode) {
  if (ended_) return;
  ended_ = true;
  exitCode_ = exitCode;
  std::vector<std::string> ids;
  for (auto& [id, w] : windows_) ids.push_back(id);
  for (const std::string& id : ids) DestroyWindow(id);
  PostQuitMessage(exitCode);
}

bool Win32Ui::IsVisible(std::string_view window, std::string_view control) {
  LiveWindow* w = Find(window);
  if (!w) return false;
  if (IsWindowItself(control)) return IsWindowVisible(w->hwnd) != FALSE;
  LiveControl* c = w->Find(control);
  return c && c->hwnd && IsWindowVisible(c->hwnd);
}

std::string Win32Ui::GetText(std::string_view window, std::string_view control) {
  if (IsWindowItself(control)) {
    LiveWindow* w = Find(window);
    return w ? ToGbk(WindowText(w->hwnd)) : std::string();
  }
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd) return {};
  switch (c->unit->kind) {
    case UnitKind::ListBox:
    case UnitKind::ComboBox: return ItemText(window, control, GetSelection(window, control));
    case UnitKind::TransparentLabel:
    case UnitKind::Button:
    case UnitKind::ImageButton: return ToGbk(c->text);
    default: return ToGbk(WindowText(c->hwnd));
  }
}

// The program sets any text; the input rules apply to typing only.
void Win32Ui::SetText(std::string_view window, std::string_view control, std::string_view text) {
  if (IsWindowItself(control)) {
    if (LiveWindow* w = Find(window)) SetWindowTextW(w->hwnd, GbkToWideLossy(text).c_str());
    return;
  }
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd || HasItems(c->unit->kind)) return;
  switch (c->unit->kind) {
    case UnitKind::TransparentLabel:
    case UnitKind::Button:
    case UnitKind::ImageButton:
      c->text = GbkToWideLossy(text);
      InvalidateRect(c->hwnd, nullptr, FALSE);
      break;
    default:
      SetWindowTextW(c->hwnd, GbkToWideLossy(text).c_str());
      if (c->unit->kind == UnitKind::Label) SetControlFont(*c);  // a longer text may need a smaller font
      break;
  }
}

// The edit box's own cue-banner messages: the real control holds the hint (see controls.cpp).
void Win32Ui::SetHint(std::string_view window, std::string_view control, std::string_view hint) {
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd || c->unit->kind != UnitKind::EditBox) return;
  SendMessageW(c->hwnd, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(GbkToWideLossy(hint).c_str()));
}

std::string Win32Ui::GetHint(std::string_view window, std::string_view control) {
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd || c->unit->kind != UnitKind::EditBox) return {};
  wchar_t hint[256] = {};
  if (!SendMessageW(c->hwnd, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(hint), 256)) return {};
  return ToGbk(hint);
}

int Win32Ui::GetSelection(std::string_view window, std::string_view control) {
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd || !HasItems(c->unit->kind)) return -1;
  LRESULT r = SendMessageW(c->hwnd, c->unit->kind == UnitKind::ListBox ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
  return r < 0 ? -1 : static_cast<int>(r);
}

// As a user's pick, a change of a combo box's selection by the program raises
// SelectionChanged; an index outside the list selects nothing.
void Win32Ui::SetSelection(std::string_view window, std::string_view control, int index) {
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd || !HasItems(c->unit->kind)) return;
  if (index < 0 || index >= ItemCount(window, control)) index = -1;
  const bool list = c->unit->kind == UnitKind::ListBox;
  SendMessageW(c->hwnd, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (!list) Deliver(*c->window, c, UiEvent::SelectionChanged);
}

int Win32Ui::ItemCount(std::string_view window, std::string_view control) {
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd || !HasItems(c->unit->kind)) return 0;
  LRESULT r = SendMessageW(c->hwnd, c->unit->kind == UnitKind::ListBox ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
  return r < 0 ? 0 : static_cast<int>(r);
}

std::string Win32Ui::ItemText(std::string_view window, std::string_view control, int index) {
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd || !HasItems(c->unit->kind) || index < 0) return {};
  const bool list = c->unit->kind == UnitKind::ListBox;
  LRESULT length = SendMessageW(c->hwnd, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got = SendMessageW(c->hwnd, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(text.data()));
  text.resize(got < 0 ? 0 : static_cast<size_t>(got));
  return ToGbk(text);
}

void Win32Ui::AddItem(std::string_view window, std::string_view control, std::string_view text) {
  if (LiveControl* c = Find(window, control); c && c->hwnd && HasItems(c->unit->kind)) AddItemTo(*c, text);
}

void Win32Ui::ClearItems(std::string_view window, std::string_view control) {
  LiveControl* c = Find(window, control);
  if (c && c->hwnd && HasItems(c->unit->kind))
    SendMessageW(c->hwnd, c->unit->kind == UnitKind::ListBox ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
}

void Win32Ui::BeginUpdate(std::string_view window, std::string_view control) {
  LiveControl* c = Find(window, control);
  if (c && c->hwnd && c->updateDepth++ == 0) SendMessageW(c->hwnd, WM_SETREDRAW, FALSE, 0);
}

// Turning redraw back on also makes a control visible: one on a page that is not
// current is hidden again.
void Win32Ui::EndUpdate(std::string_view window, std::string_view control) {
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd || c->updateDepth == 0 || --c->updateDepth > 0) return;
  SendMessageW(c->hwnd, WM_SETREDRAW, TRUE, 0);
  if (!c->Shown()) ::ShowWindow(c->hwnd, SW_HIDE);
  RedrawWindow(c->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

// Bytes that are no picture clear the box, as empty bytes do.
void Win32Ui::SetPicture(std::string_view window, std::string_view control, std::string_view bytes) {
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd) return;
  const Unit& u = *c->unit;
  if (u.kind != UnitKind::PictureBox && u.kind != UnitKind::ImageButton) return;
  c->pictureBytes = bytes;
  c->picture =
      Decoded(bytes, c->rect, u.kind == UnitKind::PictureBox ? u.pictureMode : PictureMode::Plain, c->window->dpi);
  c->pictureName = PictureName(bytes);
  InvalidateRect(c->hwnd, nullptr, FALSE);
  InvalidateContents(*c->window, *c);
}

void Win32Ui::SetButtonPictures(std::string_view window, std::string_view control, std::string_view normal,
                                std::string_view hover, std::string_view pressed) {
  LiveControl* c = Find(window, control);
  if (!c || !c->hwnd || (c->unit->kind != UnitKind::Button && c->unit->kind != UnitKind::ImageButton)) return;
  c->pictureBytes = normal;
  c->hoverBytes = hover;
  c->pressedBytes = pressed;
  c->DecodePictures();
  c->pictureName = PictureName(normal);
  InvalidateRect(c->hwnd, nullptr, FALSE);
}

std::string Win32Ui::PictureOf(std::string_view window, std::string_view control) {
  LiveControl* c = Find(window, control);
  return c ? c->pictureName : std::string();
}

void Win32Ui::SetPage(std::string_view window, std::string_view control, int index) {
  LiveControl* c = Find(window, control);
  if (!c || c->unit->kind != UnitKind::TabControl || index < 0 || index >= static_cast<int>(c->unit->items.size()))
    return;
  c->page = index;
  ApplyPage(*c->window, *c);
}

// Redraw is not suspended on the window itself: WM_SETREDRAW on a top-level window hides
// and shows it underneath, and Wine then leaves parts of it unpainted.
void Win32Ui::ApplyPage(LiveWindow& window, LiveControl& tab) {
  ApplyVisibility(window);
  RedrawWindow(tab.hwnd, nullptr, nullptr, RDW_INVALIDATE);
  for (auto& c : window.controls)
    if (c->unit->selectsPage >= 0 && c->hwnd) InvalidateRect(c->hwnd, nullptr, FALSE);
}

int Win32Ui::GetPage(std::string_view window, std::string_view control) {
  LiveControl* c = Find(window, control);
  return c && c->unit->kind == UnitKind::TabControl ? c->page : -1;
}

void Win32Ui::ShowNotice(std::string_view owner, std::string_view text, std::string_view title) {
  LiveWindow* w = Find(owner);
  if (noticePresenter_) {
    noticePresenter_(w ? w->hwnd : nullptr, text, title);
    return;
  }
  ui::ShowNotice(text, w ? w->hwnd : nullptr, title);
}

// The folder comes back without a trailing backslash (a drive root as "D:"), so callers
// can append their own "\record\". A folder whose path GBK cannot hold is refused.
std::string Win32Ui::BrowseFolder(std::string_view owner, std::string_view title, std::string_view startFolder) {
  LiveWindow* w = Find(owner);
  const std::wstring caption = GbkToWideLossy(title);
  std::optional<std::wstring> picked =
      folderChooser_ ? folderChooser_(caption)
                     : RealFolderPicker(w ? w->hwnd : nullptr, caption, GbkToWideLossy(startFolder));
  if (!picked || picked->empty()) return {};
  *picked = Normalised(*picked);
  while (picked->size() > 1 && picked->back() == L'\\') picked->pop_back();
  std::optional<std::string> path = WideToGbk(*picked);
  if (!path) {
    ShowNotice(owner, "所选文件夹的路径含有 GBK 字符集以外的字符，无法使用，请换一个文件夹。", "温馨提示");
    return {};
  }
  return *path;
}

// The skinned box with the question badge, entering and leaving as the notices do.
Answer Win32Ui::Ask(std::string_view owner, std::string_view text, std::string_view title, bool offerCancel) {
  LiveWindow* w = Find(owner);
  ui::MessageBoxOptions o;
  o.buttonSet = offerCancel ? 3 : 4;  // 取消 否 是, or 否 是, from the right
  o.title = std::string(title);
  o.style = ui::kStyleQuestion;
  o.showEffect = 2;
  o.closeEffect = 1;
  switch (ui::SkinnedMessageBox(w ? w->hwnd : nullptr, text, o)) {
    case ui::kResultYes: return Answer::Yes;
    case ui::kResultNo: return Answer::No;
    default: return Answer::Cancel;
  }
}

// The skinned popup menu; the window manager's own menus would not match the program's look.
int Win32Ui::ShowMenu(std::string_view owner, const std::vector<MenuEntry>& entries) {
  LiveWindow* w = Find(owner);
  ui::DuiMenu menu;
  int chosen = -1;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].text.empty()) {
      menu.AddItem(ui::MenuItem::Separator());
      continue;
    }
    ui::MenuItem item = ui::MenuItem::Action(entries[i].text, [&chosen, i] { chosen = static_cast<int>(i); });
    if (!entries[i].enabled) item.state = ui::kMenuItemDisabledState;
    menu.AddItem(std::move(item));
  }
  menu.Popup(w ? w->hwnd : nullptr);
  return chosen;
}

bool Win32Ui::ShowInFolder(std::string_view path) {
  const std::wstring arguments = L"/select,\"" + GbkToWideLossy(path) + L"\"";
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", L"explorer.exe", arguments.c_str(), nullptr, SW_SHOWNORMAL));
  return result > 32;  // ShellExecute's way of saying it started
}

HWND Win32Ui::ClipboardOwner() {
  for (const char* id : {"host", "start", "modify"})
    if (LiveWindow* w = Find(id)) return w->hwnd;
  return windows_.empty() ? nullptr : windows_.begin()->second->hwnd;
}

// Chat programs put no-break and other Unicode spaces into the texts they copy; GBK holds
// none of them, so they arrive as plain blanks rather than as "?".
std::string Win32Ui::ClipboardText() {
  std::optional<std::wstring> text = ReadClipboardText(ClipboardOwner());
  if (!text) return {};
  for (wchar_t& ch : *text)
    if (ch == 0x00A0 || (ch >= 0x2000 && ch <= 0x200B) || ch == 0x202F || ch == 0x205F || ch == 0xFEFF) ch = L' ';
  return ToGbk(*text);
}

// The window that owns the clipboard must exist: with no owner the system takes no data.
bool Win32Ui::SetClipboardText(std::string_view text) {
  HWND owner = ClipboardOwner();
  return owner && WriteClipboardText(owner, GbkToWideLossy(text));
}

void Win32Ui::PumpMessages() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {  // leave it for the message loop
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

void Win32Ui::ReleaseDestroyed() { destroyed_.clear(); }

int Win32Ui::RunMessageLoop() {
  MSG m;
  while (!ended_ && GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
    ReleaseDestroyed();
  }
  ReleaseDestroyed();
  return exitCode_;
}

HWND Win32Ui::WindowHandle(std::string_view window) {
  LiveWindow* w = Find(window);
  return w ? w->hwnd : nullptr;
}

HWND Win32Ui::ControlHandle(std::string_view window, std::string_view control) {
  LiveControl* c = Find(window, control);
  return c ? c->hwnd : nullptr;
}

}  // namespace xl::win32
