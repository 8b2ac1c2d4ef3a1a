#include "document_registrations_win32.h"

namespace fake_office {

DocumentRegistrations::DocumentRegistrations(const std::vector<ServedDocument>& documents, bool keepAlive,
                                             const ServerLog& log) {
  if (documents.empty()) return;
  if (const HRESULT got = ::GetRunningObjectTable(0, table_.GetAddressOf()); FAILED(got) || !table_) {
    log.Write("GetRunningObjectTable failed " + Hex(got));
    return;
  }
  for (const ServedDocument& document : documents) {
    ComPtr<IMoniker> moniker;
    HRESULT result = ::CreateFileMoniker(Widen(document.fullName).c_str(), moniker.GetAddressOf());
    DWORD cookie = 0;
    if (SUCCEEDED(result)) {
      result = table_->Register(keepAlive ? ROTFLAGS_REGISTRATIONKEEPSALIVE : 0, document.object.Get(), moniker.Get(),
                                &cookie);
    }
    if (FAILED(result)) {
      log.Write("cannot register " + document.fullName + " in the Running Object Table: " + Hex(result));
      continue;
    }
    // Two instances may both have a never-saved "Book1"; the table keeps both.
    if (result == MK_S_MONIKERALREADYREGISTERED) {
      log.Write(document.fullName + " was in the table already; registered again");
    }
    cookies_.push_back(cookie);
  }
}

DocumentRegistrations::~DocumentRegistrations() {
  for (const DWORD cookie : cookies_) table_->Revoke(cookie);
}

}  // namespace fake_office
