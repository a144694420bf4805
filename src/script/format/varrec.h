// The typed argument list: the form in which Format takes its arguments and host events deliver
// theirs. Each entry is a kind tag and a value; the list owns every value it holds, so releasing
// it (ClearVarRec, or simply destroying it) frees them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/value/variant.h"

namespace kelvo {

class TfsHostObject;

enum class TVarRecType {
  vtInteger,
  vtBoolean,
  vtChar,
  vtExtended,
  vtString,  // a short string of the runtime; here it is never cut
  vtPointer,
  vtObject,
  vtAnsiString,
  vtCurrency,
  vtVariant,
  vtInt64
};

struct TVarRec {
  TVarRecType VType = TVarRecType::vtInteger;
  std::int32_t VInteger = 0;
  bool VBoolean = false;
  char VChar = 0;
  double VExtended = 0;  // extended float and currency
  std::string VString;   // short and long strings
  const void* VPointer = nullptr;
  TfsHostObject* VObject = nullptr;
  Variant VVariant;
  std::int64_t VInt64 = 0;

  static TVarRec Integer(std::int32_t v);
  static TVarRec Int64(std::int64_t v);
  static TVarRec Extended(double v);
  static TVarRec String(std::string v);
  static TVarRec Boolean(bool v);
  static TVarRec Char(char c);
  static TVarRec OfVariant(const Variant& v);
};

using TVarRecArray = std::vector<TVarRec>;

// One entry per element of a one-dimensional array (index 0 to its high bound): integer kinds up
// to 32 bits as integers, float kinds (single, double, currency, date) as floats, strings as
// strings (whole: no 255-character cut), booleans, 64-bit integers; any other element (empty,
// null, a nested array) as the integer 0. A value that is not an array gives an empty list.
void VariantToVarRec(const Variant& value, TVarRecArray& args);
// Releases what the entries hold and empties the list.
void ClearVarRec(TVarRecArray& args);
// The value of one entry: integer, object (as its reference), boolean, character (a one-character
// string), float, string, variant (a copy), 64-bit integer; currency as a float; a pointer gives
// null.
Variant VarRecToVariant(const TVarRec& arg);

}  // namespace kelvo
