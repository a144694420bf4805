// Literal texts as the tokenizer returns them, turned into values: whole numbers in the smallest
// integer type that holds them, '$' hexadecimal, floats, quoted strings, and errors for the rest.
#include "script/front/literals.h"

#include <gtest/gtest.h>

#include "script/value/convert_error.h"

namespace kelvo {
namespace {

TEST(LiteralTexts, NumbersStringsAndErrors) {
  EXPECT_TRUE(ParserStringToVariant("").IsNull());
  EXPECT_EQ(ParserStringToVariant("12").VarType(), varInteger);
  EXPECT_EQ(ParserStringToVariant("$1F").AsInteger(), 31);
  EXPECT_EQ(ParserStringToVariant("2147483648").VarType(), varInt64);
  EXPECT_EQ(ParserStringToVariant("-2147483648").VarType(), varInteger);
  EXPECT_EQ(ParserStringToVariant("-2147483649").VarType(), varInt64);
  EXPECT_EQ(ParserStringToVariant("3000000000").AsInt64(), 3000000000LL);
  EXPECT_EQ(ParserStringToVariant("1.5").VarType(), varDouble);
  EXPECT_DOUBLE_EQ(ParserStringToVariant("1e3").AsFloat(), 1000);
  EXPECT_EQ(ParserStringToVariant("'abc'").AsString(), "abc");
  EXPECT_EQ(ParserStringToVariant("'").AsString(), "");
  EXPECT_THROW(ParserStringToVariant("abc"), EConvertError);
}

}  // namespace
}  // namespace kelvo
