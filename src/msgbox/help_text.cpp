#include "msgbox/help_text.h"

namespace valmora {

std::wstring HelpText(const std::wstring& exeBaseName) {
  return L"Commandline:   " + exeBaseName +
         L"  [options]\r\n"
         L"\r\n"
         L"/watch    - prog will first try to reopen any current list of docs, then sit in the system tray "
         L"monitoring open documents.\r\n"
         L"/shutdown - prog will get list of open docs then close. Execute this at system shutdown (shortcut in "
         L"Shutdown folder or from a task scheduler).\r\n"
         L"/reopen   -  prog will reopen the list of docs then close. Execute this at system startup if /shutdown "
         L"was used at system shutdown.\r\n"
         L"\r\n"
         L"Note: some of these options can be also achieved by selecting the buttons on the main form.";
}

}  // namespace valmora
