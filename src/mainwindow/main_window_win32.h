// frmMain: the main window.
#pragma once

#include <windows.h>

#include "library/unique_handle_win32.h"
#include "doclog/go.h"
#include "mainwindow/main_view.h"

namespace valmora {

class frmMain : public MainView, public ScanView {
 public:
  // Creates the window hidden, at its design size for the DPI it lands on.
  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }
  // Where clicks go; none until the program wires its handlers.
  void SetCommands(MainCommands* commands) { commands_ = commands; }
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
  void ShowStandardMessage(const std::wstring& text, MessageIcon icon) override;

  void SetListUnsavedEnabled(bool enabled) override;
  void SetTrayTip(const std::wstring& tip) override { trayTip_ = tip; }
  const std::wstring& TrayTip() const { return trayTip_; }
  void HideWindow() override;
  void SetScreenBusy(bool busy) override;
  std::wstring Msg1Caption() const override;
  void SetTopmost(bool topmost) override;
  void SetGoRunning(bool running) override;
  bool CloseRequested() const override { return closeRequested_; }

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
  std::wstring trayTip_;  // shown by the notification icon once there is one
  HWND lastFocus_ = nullptr;  // given back when the window is active again
  bool busy_ = false;
  bool goRunning_ = false;
  bool closeRequested_ = false;
  bool listUnsavedEnabled_ = false;  // as the last scan left it, applied once Go ends
};

}  // namespace valmora
