// Control identifiers of frmMain; the e2e driver finds controls by them.
#pragma once

namespace valmora::ids {

inline constexpr wchar_t kMainWindowClass[] = L"ValmoraMain";
inline constexpr int kLblMsg1 = 101;
inline constexpr int kLblCmdLine = 102;
inline constexpr int kCmdWatchMode = 103;
inline constexpr int kCmdReopenOnRestart = 104;
inline constexpr int kCmdListUnsavedDocs = 105;

}  // namespace valmora::ids
