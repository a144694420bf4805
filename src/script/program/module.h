// TfsRTTIModule: a library module. It registers its items into a program from its constructor and
// is kept in the program's item table (under an empty name) for as long as they are; Clear keeps
// modules and their items. The modules themselves are listed in the library layer.
#pragma once

#include <functional>
#include <memory>

#include "script/program/items.h"

namespace kelvo {

class TfsScript;

class TfsRTTIModule : public TfsObject {
 public:
  explicit TfsRTTIModule(TfsScript* script) : Script(script) {}
  TfsScript* Script;
};

// A module class: constructs the module for a program.
using TfsRTTIModuleClass = std::function<std::unique_ptr<TfsRTTIModule>(TfsScript*)>;

}  // namespace kelvo
