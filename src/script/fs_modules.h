// Library modules and the shared global program. A module registers its items into a program
// from its constructor; AddRTTI instantiates every module of fsRTTIModules once per program.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "script/fs_items.h"

namespace kelvo {

class TfsScript;

class TfsRTTIModule : public TfsObject {
 public:
  explicit TfsRTTIModule(TfsScript* script) : Script(script) {}
  TfsScript* Script;
};

// A module class: constructs the module for a program.
using TfsRTTIModuleClass = std::function<std::unique_ptr<TfsRTTIModule>(TfsScript*)>;

// The module classes, in the order AddRTTI constructs them; none after engine shutdown.
std::vector<TfsRTTIModuleClass>* fsRTTIModules();
// The shared global program holding the system library; created (with AddRTTI) on first use;
// none after engine shutdown.
TfsScript* fsGlobalUnit();
// Frees the global program and the module list (at program exit; also for tests).
void fsShutdownEngine();

}  // namespace kelvo
