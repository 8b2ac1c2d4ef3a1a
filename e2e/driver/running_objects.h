// The Running Object Table as a client sees it when it looks for every
// running Office instance: the entries, their monikers, binding them.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

#include "com_support_win32.h"

namespace e2e {

using fake_office::ComPtr;

struct RunningEntry {
  ComPtr<IMoniker> moniker;
  DWORD kind = MKSYS_NONE;  // IsSystemMoniker: MKSYS_FILEMONIKER for a document
  std::wstring displayName;
};

// One EnumRunning, in table order; empty when the table cannot be read.
// Needs COM on the calling thread.
std::vector<RunningEntry> RunningEntries();
// The display names of the file-moniker entries.
std::vector<std::wstring> RunningFileNames();

// IRunningObjectTable::GetObject. Calls into the registering process, so it
// waits for a hung one.
ComPtr<IUnknown> BindEntry(IMoniker* moniker, HRESULT* result = nullptr);
// The entry of a file moniker made afresh from fullName, as IDispatch.
ComPtr<IDispatch> BindFile(const std::wstring& fullName, HRESULT* result = nullptr);

// What COM identity compares: the object's IUnknown in this apartment. Only
// meaningful while the caller holds object.
IUnknown* Identity(IUnknown* object);

}  // namespace e2e
