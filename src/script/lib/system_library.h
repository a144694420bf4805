// The system library that every script can call: TfsSysFunctions, the module that registers the
// basic type names, the constants and variables every script has, the string and array helper
// items and the 65 library functions (conversion, formatting, dates, strings, mathematics and
// miscellany); and the one hook through which ShowMessage reaches the host's screen.
#pragma once

#include <functional>
#include <span>
#include <string>

#include "script/lib/modules.h"
#include "script/program/function_table.h"
#include "script/value/variant.h"

namespace kelvo {

class TfsScript;
class TfsMethodHelper;

class TfsSysFunctions : public TfsRTTIModule {
 public:
  explicit TfsSysFunctions(TfsScript* script);
};

// A system function reads its arguments from the method item and writes by-reference ones back.
using TfsSystemFunction = Variant (*)(TfsMethodHelper& caller);
using TfsSystemFunctionEntry = TfsFunctionEntry<TfsSystemFunction>;

// The 65 functions, in registration order.
std::span<const TfsSystemFunctionEntry> SystemFunctions();
// Registers them, in order, each with its declaration text, its category and its own handler.
void RegisterSystemFunctions(TfsScript& script);

// How ShowMessage shows its text (Windows-1251) and waits until the user has seen it. The window
// sets a modal message box; without a hook the text goes to standard output, in UTF-8, followed
// by a line feed.
using TfsShowMessageHook = std::function<void(const std::string& text)>;
// Sets the hook; an empty one restores the standard-output default.
void SetShowMessageHook(TfsShowMessageHook hook);

// The message of CreateOleObject and of automation member access: there is no automation
// service on this platform.
inline constexpr const char* SAutomationNotAvailable =
    "Automation objects are not available on this platform";

}  // namespace kelvo
