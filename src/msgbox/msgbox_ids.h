// frmMsgBox's window class and control identifiers; the e2e tests find them.
#pragma once

namespace valmora::msgbox_ids {

inline constexpr wchar_t kWindowClass[] = L"ValmoraMsgBox";
inline constexpr int kCmdOk = 1;   // IDOK
inline constexpr int kCmdYes = 6;  // IDYES
inline constexpr int kCmdNo = 7;   // IDNO
inline constexpr int kTxtMessage = 1001;
inline constexpr int kLblCountDown = 1002;
inline constexpr int kCmdPrint = 1003;
inline constexpr int kPicIcon = 1004;

}  // namespace valmora::msgbox_ids
