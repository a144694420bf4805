#include <gtest/gtest.h>

#include "script/format/mask_text.h"

using namespace kelvo;

namespace {

struct TMaskCase {
  const char* Mask;
  const char* Value;
  const char* Expected;
};

class MaskTest : public ::testing::TestWithParam<TMaskCase> {};

}  // namespace

// Russian conventions: date separator ".", time separator ":".
INSTANTIATE_TEST_SUITE_P(
    FormatMaskText, MaskTest,
    ::testing::Values(TMaskCase{"(000) 000-0000;0;_", "5551234567", "(555) 123-4567"},
                      TMaskCase{"(000) 000-0000;0;_", "555", "(555)    -    "},
                      TMaskCase{">LL-000;0", "ab123", "AB-123"}, TMaskCase{"<LL;0", "AB", "ab"},
                      TMaskCase{">L<ll;0", "iVAN", "IvaN"}, TMaskCase{">L<>ll;0", "iVA", "IVA"},
                      TMaskCase{"\\(00\\);0", "12", "(12)"}, TMaskCase{"00:00;0", "1230", "12:30"},
                      TMaskCase{"00/00/0000;0", "01022024", "01.02.2024"},
                      TMaskCase{"000;0", "12345", "12345"}, TMaskCase{"!000;0", "5", "  5"},
                      TMaskCase{"!000;0", "12345", "12345"}, TMaskCase{"0_0;0", "12", "1 2"},
                      TMaskCase{";0", "abc", "abc"}, TMaskCase{"", "", ""}, TMaskCase{"00\\", "12", "12"},
                      TMaskCase{"00;", "1", "1 "}, TMaskCase{"99/99/00;1;_", "1.3.24", "1 .3 .24"},
                      TMaskCase{"!99/99/00;1;_", "1.3.24", " 1. 3.24"}, TMaskCase{"00-00;1", "1-2", "1 -2 "},
                      TMaskCase{"00-00;1", "12345-6", "12-6 "}, TMaskCase{">LLL;1", "abc", "ABC"},
                      TMaskCase{"000", "", "   "}));

TEST_P(MaskTest, LaysTheTextOut) {
  const TMaskCase& c = GetParam();
  EXPECT_EQ(FormatMaskText(c.Mask, c.Value, RussianFormatSettings()), c.Expected)
      << "mask " << c.Mask << " value " << c.Value;
}
