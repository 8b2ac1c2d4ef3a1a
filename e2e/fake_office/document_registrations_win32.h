// The server's documents in the Running Object Table, each under a file
// moniker of its FullName as Office registers them, so a client can find
// every running instance, not only the one GetActiveObject gives.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <vector>

#include "com_support_win32.h"
#include "office_objects_win32.h"
#include "server_files_win32.h"

namespace fake_office {

class DocumentRegistrations {
 public:
  // keepAlive: the table holds each document strongly. A server that COM
  // started registers weakly, so that its last client's release can end it.
  // A document that cannot be registered is logged and left out.
  DocumentRegistrations(const std::vector<ServedDocument>& documents, bool keepAlive, const ServerLog& log);
  // Revokes every registration: a clean end leaves nothing in the table.
  ~DocumentRegistrations();
  DocumentRegistrations(const DocumentRegistrations&) = delete;
  DocumentRegistrations& operator=(const DocumentRegistrations&) = delete;

 private:
  ComPtr<IRunningObjectTable> table_;
  std::vector<DWORD> cookies_;
};

}  // namespace fake_office
