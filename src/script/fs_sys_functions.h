// TfsSysFunctions: the system library module. It registers the basic type names, the constants
// and variables every script has, the string and array helper items, and the library functions.
#pragma once

#include "script/fs_modules.h"

namespace kelvo {

class TfsSysFunctions : public TfsRTTIModule {
 public:
  explicit TfsSysFunctions(TfsScript* script);
};

}  // namespace kelvo
