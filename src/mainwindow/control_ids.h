// Control and menu identifiers of frmMain; the e2e driver finds controls by them.
#pragma once

namespace valmora::ids {

inline constexpr wchar_t kMainWindowClass[] = L"ValmoraMain";
inline constexpr int kLblMsg1 = 101;
inline constexpr int kLblCmdLine = 102;
inline constexpr int kCmdWatchMode = 103;
inline constexpr int kCmdReopenOnRestart = 104;
inline constexpr int kCmdListUnsavedDocs = 105;
inline constexpr int kCmdGetCurr = 106;
inline constexpr int kCmdReopen = 107;
inline constexpr int kCmdReopenExcelOnly = 108;
inline constexpr int kCmdReopenWordOnly = 109;
inline constexpr int kCmdReopenOutlookOnly = 110;
inline constexpr int kCmdReopenNonOffOnly = 111;
inline constexpr int kCmdExecuteCmd = 112;
inline constexpr int kCmdExit = 113;
inline constexpr int kLblCopyright = 114;
inline constexpr int kLblCopyrightBG = 115;
inline constexpr int kImgCopyright = 116;
inline constexpr int kCmdReopenPowerPointOnly = 117;

// Menu entries: apart from the controls, and never IDOK or IDCANCEL.
inline constexpr int kMnuFileManualAdd = 201;
inline constexpr int kMnuFileOpenLog = 202;
inline constexpr int kMnuFileExit = 203;
inline constexpr int kMnuHelpHelp = 204;
inline constexpr int kMnuHelpAbout = 205;
inline constexpr int kMnuPopupRestore = 206;
inline constexpr int kMnuFileReopenPrevious = 207;

}  // namespace valmora::ids
