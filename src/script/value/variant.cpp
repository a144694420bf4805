#include "script/value/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "script/value/str_to_int.h"
#include "text/ansi_text.h"

namespace kelvo {

namespace {

// Arrays beyond this many elements are refused: a script's `var a[n]` with a huge n must end in
// an error, not in exhausting the machine's memory.
constexpr std::size_t kMaxArrayElements = std::size_t{1} << 24;

class EVariantArrayCreateError : public EVariantError {
 public:
  EVariantArrayCreateError() : EVariantError("Error creating variant or safe array") {}
  const char* ClassName() const noexcept override { return "EVariantArrayCreateError"; }
};

}  // namespace

EVariantTypeCastError::EVariantTypeCastError(TVarType from, TVarType to)
    : EVariantError(FormatMessage("Could not convert variant of type (%s) into type (%s)",
                                  {VarTypeAsText(from), VarTypeAsText(to)})) {}

std::string VarTypeAsText(TVarType type) {
  if (type & varArray) return "Array " + VarTypeAsText(type & varTypeMask);
  switch (type) {
    case varEmpty:
      return "Empty";
    case varNull:
      return "Null";
    case varSmallint:
      return "Smallint";
    case varInteger:
      return "Integer";
    case varSingle:
      return "Single";
    case varDouble:
      return "Double";
    case varCurrency:
      return "Currency";
    case varDate:
      return "Date";
    case varOleStr:
      return "OleStr";
    case varDispatch:
      return "Dispatch";
    case varError:
      return "Error";
    case varBoolean:
      return "Boolean";
    case varVariant:
      return "Variant";
    case varUnknown:
      return "Unknown";
    case varShortInt:
      return "ShortInt";
    case varByte:
      return "Byte";
    case varWord:
      return "Word";
    case varLongWord:
      return "LongWord";
    case varInt64:
      return "Int64";
    case varString:
      return "String";
    default:
      return "Unknown";
  }
}

// --- number texts

namespace {

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

bool TryTextToFloat(std::string_view text, double& value) {
  std::string_view s = TrimView(text);
  std::int64_t i;
  if (TryTextToInt64(s, i)) {
    value = static_cast<double>(i);
    return true;
  }
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  // Only digits or a decimal point may start a number: no "inf", "nan" or hexadecimal floats.
  if (s.empty() || !((s[0] >= '0' && s[0] <= '9') || s[0] == '.')) return false;
  double d = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), d, std::chars_format::general);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  value = negative ? -d : d;
  return true;
}

std::string FloatToText(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", value);
  std::string s = buf;
  // "1E+20" -> "1E20", "1.5E-07" -> "1.5E-7": the exponent without plus sign or leading zeros.
  auto e = s.find('E');
  if (e != std::string::npos) {
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e + 1);
    bool neg = !exponent.empty() && exponent[0] == '-';
    if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) exponent.erase(0, 1);
    while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
    s = mantissa + "E" + (neg ? "-" : "") + exponent;
  }
  return s;
}

Variant ObjectToVariant(const TfsHostObject* obj) {
  return Variant(static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(obj)));
}

// --- construction

Variant::Variant(std::string value) : FType(varString) {
  FData.Int = 0;
  FRef = std::make_shared<std::string>(std::move(value));
}

Variant Variant::OfInteger(TVarType kind, std::int64_t value) {
  Variant v;
  v.FType = kind;
  switch (kind) {
    case varSmallint:
      v.FData.Int = static_cast<std::int16_t>(value);
      break;
    case varInteger:
      v.FData.Int = static_cast<std::int32_t>(value);
      break;
    case varShortInt:
      v.FData.Int = static_cast<std::int8_t>(value);  // NOLINT(bugprone-signed-char-misuse): its sign is kept
      break;
    case varByte:
      v.FData.Int = static_cast<std::uint8_t>(value);
      break;
    case varWord:
      v.FData.Int = static_cast<std::uint16_t>(value);
      break;
    case varLongWord:
      v.FData.Int = static_cast<std::uint32_t>(value);
      break;
    case varInt64:
      v.FData.Int = value;
      break;
    case varBoolean:
      v.FData.Int = value != 0;
      break;
    default:
      v.FType = varInteger;
      v.FData.Int = static_cast<std::int32_t>(value);
      break;
  }
  return v;
}

Variant Variant::OfFloat(TVarType kind, double value) {
  Variant v(value);
  switch (kind) {
    case varSingle:
      v.FType = varSingle;
      v.FData.Float = static_cast<float>(value);
      break;
    case varCurrency:
      v.FType = varCurrency;
      v.FData.Float = std::nearbyint(value * 10000.0) / 10000.0;
      break;
    case varDate:
      v.FType = varDate;
      break;
    default:
      break;
  }
  return v;
}

Variant Variant::CreateArray(std::span<const TVarArrayBound> bounds) {
  if (bounds.empty()) throw EVariantArrayCreateError();
  std::size_t count = 1;
  for (const auto& b : bounds) {
    std::int64_t n = static_cast<std::int64_t>(b.HighBound) - b.LowBound + 1;
    if (n < 0) throw EVariantArrayCreateError();
    if (n > 0 && count > kMaxArrayElements / static_cast<std::size_t>(n)) throw EVariantArrayCreateError();
    count *= static_cast<std::size_t>(n);
  }
  if (count > kMaxArrayElements) throw EVariantArrayCreateError();
  auto data = std::make_shared<TVarArrayData>();
  data->Bounds.assign(bounds.begin(), bounds.end());
  data->Items.resize(count);
  Variant v;
  v.FType = varArray | varVariant;
  v.FRef = std::move(data);
  return v;
}

Variant Variant::CreateArray(int lowBound, int highBound) {
  TVarArrayBound b{lowBound, highBound};
  return CreateArray(std::span<const TVarArrayBound>(&b, 1));
}

bool Variant::IsOrdinal() const noexcept {
  switch (FType) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

bool Variant::IsFloat() const noexcept {
  return FType == varSingle || FType == varDouble || FType == varCurrency || FType == varDate;
}

const std::string& Variant::RawString() const noexcept {
  return *static_cast<const std::string*>(FRef.get());
}

std::string& Variant::MutableString() {
  if (FRef.use_count() > 1) FRef = std::make_shared<std::string>(RawString());
  return *static_cast<std::string*>(FRef.get());
}

// --- conversions

std::int64_t Variant::AsInt64() const {
  switch (FType) {
    case varEmpty:
      return 0;
    case varBoolean:
      return FData.Int ? -1 : 0;
    case varString: {
      std::int64_t i;
      if (TryTextToInt64(RawString(), i)) return i;
      double d;
      if (TryTextToFloat(RawString(), d) && std::fabs(d) < 9.2e18)
        return static_cast<std::int64_t>(std::nearbyint(d));
      throw EVariantTypeCastError(FType, varInt64);
    }
    default:
      if (IsOrdinal()) return FData.Int;
      if (IsFloat() && std::fabs(FData.Float) < 9.2e18)
        return static_cast<std::int64_t>(std::nearbyint(FData.Float));
      throw EVariantTypeCastError(FType, varInt64);
  }
}

std::int32_t Variant::AsInteger() const {
  if (FType == varInteger) return static_cast<std::int32_t>(FData.Int);
  std::int64_t i;
  try {
    i = AsInt64();
  } catch (const EVariantTypeCastError&) {
    throw EVariantTypeCastError(FType, varInteger);
  }
  if (i < std::numeric_limits<std::int32_t>::min() || i > std::numeric_limits<std::int32_t>::max()) {
    // 32-bit unsigned and 64-bit values keep their low 32 bits, as a cast of the integer would.
    if (IsOrdinal()) return static_cast<std::int32_t>(static_cast<std::uint32_t>(i));
    throw EVariantTypeCastError(FType, varInteger);
  }
  return static_cast<std::int32_t>(i);
}

double Variant::AsFloat() const {
  switch (FType) {
    case varEmpty:
      return 0;
    case varBoolean:
      return FData.Int ? -1 : 0;
    case varString: {
      double d;
      if (TryTextToFloat(RawString(), d)) return d;
      throw EVariantTypeCastError(FType, varDouble);
    }
    default:
      if (IsOrdinal()) return static_cast<double>(FData.Int);
      if (IsFloat()) return FData.Float;
      throw EVariantTypeCastError(FType, varDouble);
  }
}

bool Variant::AsBoolean() const {
  switch (FType) {
    case varEmpty:
      return false;
    case varBoolean:
      return FData.Int != 0;
    case varString: {
      const std::string& s = RawString();
      std::string t = Trim(s);
      if (AnsiSameText(t, "true")) return true;
      if (AnsiSameText(t, "false")) return false;
      double d;
      if (TryTextToFloat(t, d)) return d != 0;
      throw EVariantTypeCastError(FType, varBoolean);
    }
    default:
      if (IsOrdinal()) return FData.Int != 0;
      if (IsFloat()) return FData.Float != 0;
      throw EVariantTypeCastError(FType, varBoolean);
  }
}

std::string Variant::AsString() const {
  switch (FType) {
    case varEmpty:
    case varNull:
      return std::string();
    case varBoolean:
      return FData.Int ? "True" : "False";
    case varString:
      return RawString();
    default:
      if (IsOrdinal()) return std::to_string(FData.Int);
      if (IsFloat()) return FloatToText(FData.Float);
      throw EVariantTypeCastError(FType, varString);
  }
}

// --- strings

void Variant::AppendString(std::string_view text) {
  if (FType != varString) {
    *this = Variant(AsString() + std::string(text));
    return;
  }
  MutableString().append(text);
}

char Variant::GetChar(std::int64_t index) const {
  std::string converted;
  if (FType != varString) converted = AsString();
  const std::string& s = FType == varString ? RawString() : converted;
  if (index < 1 || index > static_cast<std::int64_t>(s.size())) throw EVariantBadIndexError();
  return s[static_cast<std::size_t>(index - 1)];
}

void Variant::SetChar(std::int64_t index, char c) {
  if (FType != varString) *this = Variant(AsString());
  if (index < 1 || index > static_cast<std::int64_t>(RawString().size())) throw EVariantBadIndexError();
  MutableString()[static_cast<std::size_t>(index - 1)] = c;
}

// --- arrays

const TVarArrayData& Variant::ArrayData() const {
  if (!IsArray()) throw EVariantInvalidOpError();
  return *static_cast<const TVarArrayData*>(FRef.get());
}

TVarArrayData& Variant::MutableArray() {
  const TVarArrayData& data = ArrayData();
  if (FRef.use_count() > 1) FRef = std::make_shared<TVarArrayData>(data);
  return *static_cast<TVarArrayData*>(FRef.get());
}

int Variant::ArrayDimCount() const noexcept {
  return IsArray() ? static_cast<int>(static_cast<const TVarArrayData*>(FRef.get())->Bounds.size()) : 0;
}

int Variant::ArrayLowBound(int dim) const {
  const auto& data = ArrayData();
  if (dim < 1 || dim > static_cast<int>(data.Bounds.size())) throw EVariantBadIndexError();
  return data.Bounds[dim - 1].LowBound;
}

int Variant::ArrayHighBound(int dim) const {
  const auto& data = ArrayData();
  if (dim < 1 || dim > static_cast<int>(data.Bounds.size())) throw EVariantBadIndexError();
  return data.Bounds[dim - 1].HighBound;
}

std::size_t Variant::ElementOffset(std::span<const std::int64_t> indexes) const {
  const auto& data = ArrayData();
  if (indexes.size() != data.Bounds.size()) throw EVariantBadIndexError();
  std::size_t offset = 0;
  for (std::size_t d = 0; d < indexes.size(); ++d) {
    const auto& b = data.Bounds[d];
    if (indexes[d] < b.LowBound || indexes[d] > b.HighBound) throw EVariantBadIndexError();
    offset = offset * static_cast<std::size_t>(b.HighBound - b.LowBound + 1) +
             static_cast<std::size_t>(indexes[d] - b.LowBound);
  }
  return offset;
}

const Variant& Variant::GetElement(std::span<const std::int64_t> indexes) const {
  return ArrayData().Items[ElementOffset(indexes)];
}

Variant& Variant::ElementRef(std::span<const std::int64_t> indexes) {
  std::size_t offset = ElementOffset(indexes);
  return MutableArray().Items[offset];
}

void Variant::PutElement(std::span<const std::int64_t> indexes, const Variant& value) {
  // Copy first: value may be an element of this very array.
  Variant copy = value;
  ElementRef(indexes) = std::move(copy);
}

const std::vector<Variant>& Variant::ArrayItems() const {
  return ArrayData().Items;
}

void Variant::ArrayRedim(int highBound) {
  const TVarArrayData& old = ArrayData();
  std::vector<TVarArrayBound> bounds = old.Bounds;
  bounds.front().HighBound = highBound;
  Variant fresh = CreateArray(bounds);
  TVarArrayData& target = *static_cast<TVarArrayData*>(fresh.FRef.get());
  // Walk every index tuple of the new shape and take the element the old array has there.
  std::vector<std::int64_t> idx(bounds.size());
  for (std::size_t d = 0; d < bounds.size(); ++d) idx[d] = bounds[d].LowBound;
  for (Variant& item : target.Items) {
    bool inside = idx.front() <= old.Bounds.front().HighBound;
    if (inside) item = old.Items[ElementOffset(idx)];
    for (std::size_t d = bounds.size(); d-- > 0;) {
      if (++idx[d] <= bounds[d].HighBound) break;
      idx[d] = bounds[d].LowBound;
    }
  }
  *this = std::move(fresh);
}

}  // namespace kelvo
