#include "mainwindow/external_command.h"

#include "library/text.h"
#include "msgbox/msgbox_request.h"

namespace valmora {
namespace {

constexpr wchar_t kApp[] = L"Valmora";
constexpr wchar_t kSection[] = L"Settings";
constexpr wchar_t kKey[] = L"ExecuteCmd";

}  // namespace

std::wstring ExternalCommand::Stored() { return services_.settings.Get(kApp, kSection, kKey); }

void ExternalCommand::Clicked(bool shiftDown) {
  const std::wstring stored = Stored();
  if (!stored.empty() && !shiftDown) {
    Start(stored);
  } else {
    const std::wstring entry = services_.input.Ask(L"Command", kApp, Stored());
    if (TrimBlanks(entry).empty()) {  // Cancel, or nothing but blanks
      if (!Stored().empty() && services_.question.AskYesNo(kClearCommandQuestion, false)) {
        services_.settings.Delete(kApp, kSection, kKey);
      }
    } else {
      services_.settings.Set(kApp, kSection, kKey, TrimBlanks(entry));
      Start(entry);  // as entered
    }
  }
  if (services_.bringMainWindowToFront) services_.bringMainWindowToFront();
}

void ExternalCommand::Start(const std::wstring& commandLine) {
  if (const auto reason = services_.processes.Start(commandLine)) {
    services_.notices.ShowWarning(L"The command could not be started:\r\n" + Verbatim(commandLine) + L"\r\n" +
                                      Verbatim(*reason),
                                  0);
  }
}

}  // namespace valmora
