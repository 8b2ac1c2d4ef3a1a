// The input box's window class and control identifiers; the e2e tests find them.
#pragma once

namespace valmora::input_box_ids {

inline constexpr wchar_t kWindowClass[] = L"ValmoraInputBox";
inline constexpr int kCmdOk = 1;      // IDOK: Enter
inline constexpr int kCmdCancel = 2;  // IDCANCEL: Esc and the close box
inline constexpr int kLblPrompt = 1101;
inline constexpr int kTxtInput = 1102;

}  // namespace valmora::input_box_ids
