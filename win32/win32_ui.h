#pragma once
// The real windows: each window definition becomes a borderless top-level window whose
// units are standard controls (edit, list, combo, group box, label) or small painted
// controls of our own (picture box, image push button, title label, tab panel, border).
// Texts cross to the W APIs through code page 936 only.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"
#include "win32/bitmap.h"
#include "platform/window_def.h"

namespace xl::win32 {

struct LiveWindow;
struct LiveControl;

class Win32Ui final : public Ui {
 public:
  explicit Win32Ui(std::vector<WindowDef> windows);
  ~Win32Ui() override;
  Win32Ui(const Win32Ui&) = delete;
  Win32Ui& operator=(const Win32Ui&) = delete;

  // Ui
  void SetEventSink(UiEventSink sink) override;
  void LoadWindow(std::string_view window, bool visible) override;
  bool WindowExists(std::string_view window) override;
  void ShowWindow(std::string_view window, bool visible) override;
  void DestroyWindow(std::string_view window) override;
  void MinimizeWindow(std::string_view window) override;
  void BeginDrag(std::string_view window) override;
  void EndProgram(int exitCode) override;
  bool IsVisible(std::string_view window, std::string_view control) override;
  std::string GetText(std::string_view window, std::string_view control) override;
  void SetText(std::string_view window, std::string_view control, std::string_view text) override;
  void SetHint(std::string_view window, std::string_view control, std::string_view hint) override;
  std::string GetHint(std::string_view window, std::string_view control) override;
  int GetSelection(std::string_view window, std::string_view control) override;
  void SetSelection(std::string_view window, std::string_view control, int index) override;
  int ItemCount(std::string_view window, std::string_view control) override;
  std::string ItemText(std::string_view window, std::string_view control, int index) override;
  void AddItem(std::string_view window, std::string_view control, std::string_view text) override;
  void ClearItems(std::string_view window, std::string_view control) override;
  void BeginUpdate(std::string_view window, std::string_view control) override;
  void EndUpdate(std::string_view window, std::string_view control) override;
  void SetPicture(std::string_view window, std::string_view control, std::string_view bytes) override;
  void SetPage(std::string_view window, std::string_view control, int index) override;
  int GetPage(std::string_view window, std::string_view control) override;
  void ShowNotice(std::string_view owner, std::string_view text, std::string_view title) override;
  Answer Ask(std::string_view owner, std::string_view text, std::string_view title, bool offerCancel) override;
  std::string BrowseFolder(std::string_view owner, std::string_view title, std::string_view startFolder) override;
  int ShowMenu(std::string_view owner, const std::vector<MenuEntry>& entries) override;
  bool ShowInFolder(std::string_view path) override;
  std::string ClipboardText() override;
  bool SetClipboardText(std::string_view text) override;
  void PumpMessages() override;

  // Runs the message loop until EndProgram; returns the exit code it was given.
  int RunMessageLoop();
  bool Ended() const { return ended_; }
  int ExitCode() const { return exitCode_; }

  // Handles, for the skinned toolkit and for tests that drive the real controls. Null when
  // the window or control does not exist (the archive component has no window).
  HWND WindowHandle(std::string_view window);
  HWND ControlHandle(std::string_view window, std::string_view control);
  // Resource name of the picture a picture box or image button shows ("" none, "?" other bytes).
  std::string PictureOf(std::string_view window, std::string_view control);
  // Windows minimised by the user or by MinimizeWindow.
  bool IsMinimized(std::string_view window);
  // BeginDrag calls that started a move since the window was loaded, and those refused
  // because the left button was no longer down.
  int DragCount(std::string_view window);

  // Normal, hover and pressed pictures of a plain button (the title-bar buttons); empty
  // bytes keep the plain look for that state.
  void SetButtonPictures(std::string_view window, std::string_view control, std::string_view normal,
                         std::string_view hover, std::string_view pressed);

  // Stands in for the shell's folder browser, for tests and the scenario runner: gets the
  // browser's title and returns the folder the user picked, or nothing for a cancel. The
  // answer goes through the same checks as a real pick.
  using FolderChooser = std::function<std::optional<std::wstring>(std::wstring_view title)>;
  void SetFolderChooser(FolderChooser chooser) { folderChooser_ = std::move(chooser); }

  // Shows the notices instead of the system's message box (the skinned box, a test's
  // recorder). Gets the owner's handle (null when that window is gone).
  using NoticePresenter = std::function<void(HWND owner, std::string_view text, std::string_view title)>;
  void SetNoticePresenter(NoticePresenter presenter) { noticePresenter_ = std::move(presenter); }

  // A window destroyed while one of its own messages is being handled keeps its objects
  // until the message is done; the message loop frees them here. Call it only where no
  // window procedure is running.
  void ReleaseDestroyed();

  // For the window procedures.
  void Deliver(const LiveWindow& window, const LiveControl* control, UiEvent event, int x = 0, int y = 0,
               std::string_view text = {});
  void RefuseTypedCharacter(const LiveWindow& window);
  // WM_QUERYENDSESSION: the window's handler may ask about unsaved work; false when it
  // keeps the session from ending.
  bool AllowSessionEnd(const LiveWindow& window);
  // WM_DPICHANGED: the window's new DPI and the rectangle the system suggests for it.
  void ChangeDpi(LiveWindow& window, UINT dpi, const RECT& suggested);
  HFONT Font(int pixels);

 private:
  const WindowDef* Definition(std::string_view window) const;
  LiveWindow* Find(std::string_view window);
  LiveControl* Find(std::string_view window, std::string_view control);
  void ApplyPage(LiveWindow& window, LiveControl& tab);
  // A window of the program that lives as long as it can, to own the clipboard.
  HWND ClipboardOwner();

  std::vector<WindowDef> defs_;
  GdiplusSession gdiplus_;
  std::map<std::string, std::unique_ptr<LiveWindow>, std::less<>> windows_;
  std::vector<std::unique_ptr<LiveWindow>> destroyed_;
  std::map<int, HFONT> fonts_;
  UiEventSink sink_;
  FolderChooser folderChooser_;
  NoticePresenter noticePresenter_;
  bool ended_ = false;
  int exitCode_ = 0;
};

}  // namespace xl::win32
