#include "script/lib/modules.h"

#include "script/lib/system_library.h"
#include "script/program/script.h"

namespace kelvo {

namespace {

struct TEngineState {
  std::unique_ptr<std::vector<TfsRTTIModuleClass>> Modules;
  std::unique_ptr<TfsScript> GlobalUnit;
  bool ShutDown = false;

  ~TEngineState() {
    // The global program's items refer to nothing outside it; free it before the module list.
    GlobalUnit.reset();
    Modules.reset();
  }
};

TEngineState& State() {
  static TEngineState state;
  return state;
}

}  // namespace

std::vector<TfsRTTIModuleClass>* fsRTTIModules() {
  TEngineState& s = State();
  if (s.ShutDown) return nullptr;
  if (!s.Modules) {
    s.Modules = std::make_unique<std::vector<TfsRTTIModuleClass>>();
    s.Modules->push_back([](TfsScript* script) { return std::make_unique<TfsSysFunctions>(script); });
  }
  return s.Modules.get();
}

TfsScript* fsGlobalUnit() {
  TEngineState& s = State();
  if (s.ShutDown) return nullptr;
  if (!s.GlobalUnit) {
    s.GlobalUnit = std::make_unique<TfsScript>();
    s.GlobalUnit->AddRTTI();
  }
  return s.GlobalUnit.get();
}

void fsShutdownEngine() {
  TEngineState& s = State();
  s.GlobalUnit.reset();
  s.Modules.reset();
  s.ShutDown = true;
}

void TfsScript::AddRTTI() {
  if (ModulesAdded) return;
  std::vector<TfsRTTIModuleClass>* modules = fsRTTIModules();
  PendingOwnerTag = fsLibraryOwnerTag;
  if (modules != nullptr) {
    for (const auto& moduleClass : *modules) Add(std::string(), moduleClass(this));
  }
  PendingOwnerTag = 0;
  ModulesAdded = true;
}

}  // namespace kelvo
