// frmAbout's window class and control identifiers; the e2e tests find them.
#pragma once

namespace valmora::about_ids {

inline constexpr wchar_t kWindowClass[] = L"ValmoraAbout";
inline constexpr int kCmdOk = 1;  // IDOK: Enter, and Esc and the close box too
inline constexpr int kImgIcon = 1201;
inline constexpr int kLblVersion = 1202;
inline constexpr int kLblCopyright = 1203;
inline constexpr int kLabel1 = 1204;  // "Web:"
inline constexpr int kHlkHome = 1205;
inline constexpr int kLabel2 = 1206;  // "Email:"
inline constexpr int kHlkEmail = 1207;

}  // namespace valmora::about_ids
