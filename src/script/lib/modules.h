// The list of library modules and the shared global program. AddRTTI (defined here, beside the
// list it reads) instantiates every module of fsRTTIModules once per program.
#pragma once

#include <vector>

#include "script/program/module.h"

namespace kelvo {

class TfsScript;

// The module classes, in the order AddRTTI constructs them; none after engine shutdown.
std::vector<TfsRTTIModuleClass>* fsRTTIModules();
// The shared global program holding the system library; created (with AddRTTI) on first use;
// none after engine shutdown.
TfsScript* fsGlobalUnit();
// Frees the global program and the module list (at program exit; also for tests).
void fsShutdownEngine();

}  // namespace kelvo
