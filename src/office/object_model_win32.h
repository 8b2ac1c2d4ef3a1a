// Reaching an application's object model and walking its collections, on a
// gather's worker thread.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "library/com_win32.h"
#include "office/dispatch_call_win32.h"

namespace valmora {

enum class Attached { Yes, NotRunning, Failed };

// The running application registered under the class name; never starts it.
// NotRunning also stands for one that runs where COM cannot reach it.
Attached AttachTo(const wchar_t* progId, ComPtr<IDispatch>* application);
// A new application object: for the reopen's lookup only.
ComPtr<IDispatch> Create(const wchar_t* progId);

VARIANT Index(long value);
// Borrows the text: the Bstr must outlive the call.
VARIANT TextArgument(const Bstr& text);

// Item(i) and Windows(i) are properties in some object models and methods
// in others; either call answers both.
inline constexpr WORD kGetIndexed = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

// Every object a walk met, released only after the snapshot is handed over:
// each release is a round trip the waiting caller need not pay for.
using HeldObjects = std::vector<ComPtr<IDispatch>>;
// An element that is no object is visited as nullptr.
using Visit = std::function<void(IDispatch* element)>;

std::optional<long> ReadCount(DispatchCaller& call, IDispatch* collection, const wchar_t* kind);
// Visits every element in order, through its enumerator or else Item(1) to
// Item(Count); false when the walk was cut short.
bool Walk(DispatchCaller& call, IDispatch* collection, const wchar_t* kind, HeldObjects& held, const Visit& visit);

}  // namespace valmora
