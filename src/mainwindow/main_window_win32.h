// frmMain: the main window.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "library/unique_handle_win32.h"
#include "doclog/go.h"
#include "mainwindow/main_view.h"

namespace valmora {

class frmMain : public MainView, public ScanView {
 public:
  // Creates the window hidden, sized for the DPI it lands on and the user's
  // message font.
  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }
  // Where clicks go; none until the program wires its handlers.
  void SetCommands(MainCommands* commands) { commands_ = commands; }
  // Sees every message first; an answer ends its handling there. For what
  // the window does not own itself: the watch timer, the notification icon,
  // the end of the Windows session, the close box in watch mode.
  using MessageHook = std::function<std::optional<LRESULT>(UINT msg, WPARAM wParam, LPARAM lParam)>;
  void SetMessageHook(MessageHook hook) { hook_ = std::move(hook); }
  // Where the scan's tip for the notification icon goes.
  void SetTrayTipSink(std::function<void(const std::wstring&)> sink) { tipSink_ = std::move(sink); }
  // "Restore", the notification icon's popup menu.
  HMENU PopupMenu() const;
  // Keyboard navigation of the window (Tab, access keys); true when the
  // message was used. For the program's message loop.
  bool TranslateDialogKeys(MSG& msg);

  void SetCmdLineCaption(const std::wstring& text) override;
  void SetMsg1Caption(const std::wstring& text) override;
  void SetWatchModePressed(bool pressed) override;
  bool IsWatchModePressed() const override;
  void SetReopenOnRestartPressed(bool pressed) override;
  bool IsReopenOnRestartPressed() const override;
  TwipSize ScreenSize() const override;
  TwipSize WindowSize() const override;
  void MoveTo(long leftTwips, long topTwips) override;
  void Display() override;
  void Close() override;
  void ShowRunningInstance() override;
  void ShowStandardMessage(const std::wstring& text, MessageIcon icon) override;

  void SetListUnsavedEnabled(bool enabled) override;
  void SetTrayTip(const std::wstring& tip) override {
    if (tipSink_) tipSink_(tip);
  }
  void HideWindow() override;
  void SetScreenBusy(bool busy) override;
  std::wstring Msg1Caption() const override;
  void SetTopmost(bool topmost) override;
  void SetGoRunning(bool running) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnCustomDraw(const NMHDR& header);
  void CreateControls();
  void CreateTooltips();
  void LayOut();
  void LoadIcons();
  void LockCommands(bool locked);
  void RestoreFocus();
  int TwipsToPixels(long twips) const;
  long PixelsToTwips(int pixels) const;

  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
  HWND tooltips_ = nullptr;  // owned by the window, destroyed with it
  UINT dpi_ = 96;
  UniqueFont font_;
  UniqueFont tipFont_;
  UniqueIcon bigIcon_, smallIcon_;
  UniqueMenu sysTrayMenu_;
  MainCommands* commands_ = nullptr;
  MessageHook hook_;
  std::function<void(const std::wstring&)> tipSink_;
  HWND lastFocus_ = nullptr;  // given back when the window is active again
  bool busy_ = false;
  bool highContrast_ = false;  // the theme's colours then replace the design's
  bool goRunning_ = false;
  bool listUnsavedEnabled_ = false;  // as the last scan left it, applied once Go ends
};

}  // namespace valmora
