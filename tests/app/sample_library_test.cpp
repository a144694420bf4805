#include <gtest/gtest.h>

#include "app/hex_text.h"
#include "app/modem_library.h"
#include "text/cp1251.h"
#include "xml/temp_dir.h"

using namespace kelvo;
using namespace kelvo::testing;

namespace {

const std::string kSample = std::string(KELVO_DATA_DIR) + "/kelvo.xml";

}  // namespace

TEST(SampleLibrary, LoadsWithEveryModemScriptedAndOneProtectedWithTheVersion) {
  TModemLibrary library;
  library.Load(kSample, {});
  EXPECT_FALSE(library.LibraryVersion().empty());
  TXpNodeList modems = library.Modems();
  ASSERT_GE(modems.nlGetLength(), 4);
  int protectedModems = 0;
  for (int i = 0; i < modems.nlGetLength(); ++i) {
    TXpElement& modem = *modems.ElementItem(i);
    TXpNodeList scripts = TModemLibrary::Scripts(modem);
    EXPECT_GE(scripts.nlGetLength(), 2) << ElementName(modem);
    bool isProtected = library.ProtectedForUser(modem);
    protectedModems += isProtected;
    for (int j = 0; j < scripts.nlGetLength(); ++j) {
      TXpElement& script = *scripts.ElementItem(j);
      EXPECT_EQ(library.ProtectedForUser(script), isProtected) << ElementName(script);
      EXPECT_NO_THROW(HexToText(GetAnsiAttribute(script, u"Body")));
      EXPECT_FALSE(HexToText(GetAnsiAttribute(script, u"Description")).empty());
    }
  }
  EXPECT_EQ(protectedModems, 1);
}

TEST(SampleLibrary, IsInTheExactShapeTheProgramWrites) {
  std::string bytes = ReadBytes(kSample);
  TModemLibrary library;
  library.LoadBytes(bytes, {});
  EXPECT_EQ(library.Model().SaveToString(), bytes);
}
