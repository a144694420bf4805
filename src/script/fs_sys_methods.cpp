#include "script/fs_sys_methods.h"

#include "script/fs_script.h"

namespace kelvo {

void RegisterSystemFunctions(TfsScript& /*script*/) {}

}  // namespace kelvo
