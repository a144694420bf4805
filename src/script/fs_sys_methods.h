// The functions of the system library (conversion, formatting, dates, strings, mathematics and
// miscellany), registered into a program by the system library module.
#pragma once

namespace kelvo {

class TfsScript;

void RegisterSystemFunctions(TfsScript& script);

}  // namespace kelvo
