#include <gtest/gtest.h>

#include "app/app_texts.h"
#include "app/modem_library.h"
#include "library_files.h"
#include "text/cp1251.h"
#include "text/exception.h"

using namespace kelvo;
using namespace kelvo::testing;

namespace {

const std::string kTwoModems =
    "  <Modem Name=\"Zyxel\">\r\n"
    "    <Script Name=\"Init\" Body=\"41540D0A\"/>\r\n"
    "    <Script Name=\"Reset\"/>\r\n"
    "  </Modem>\r\n"
    "  <Modem Name=\"US Robotics\" Protected=\"yes\"/>\r\n";

class ModemLibraryTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    std::string path = Dir.File("kelvo.xml");
    WriteBytes(path, bytes);
    return path;
  }
  // The whole message of the load, or "loaded".
  std::string FullMessage(const std::string& bytes, const std::vector<std::string>& args = {}) {
    try {
      Library.Load(Write(bytes), args);
    } catch (const Exception& e) {
      return AnsiToUtf8(e.Message());
    }
    return "loaded";
  }
  // Its first line, the fixed text.
  std::string LoadMessage(const std::string& bytes, const std::vector<std::string>& args = {}) {
    std::string message = FullMessage(bytes, args);
    return message.substr(0, message.find("\r\n"));
  }

  TempDir Dir;
  TModemLibrary Library;
};

const char kDamaged[] = "Файл с настройками модемов 'kelvo.xml' поврежден или отсутствует";
const char kNotUnique[] = "Modem name is non-unique or absent";

}  // namespace

TEST_F(ModemLibraryTest, WellFormedLibraryLoadsWithModemsAndScriptsInFileOrder) {
  ASSERT_EQ(LoadMessage(LibraryText(kTwoModems, " Version=\"3.1\"")), "loaded");
  EXPECT_EQ(Library.LibraryVersion(), "3.1");
  EXPECT_FALSE(Library.VersionStamping());
  TXpNodeList modems = Library.Modems();
  ASSERT_EQ(modems.nlGetLength(), 2);
  EXPECT_EQ(ElementName(*modems.ElementItem(0)), "Zyxel");
  EXPECT_EQ(TModemLibrary::Scripts(*modems.ElementItem(0)).nlGetLength(), 2);
}

TEST_F(ModemLibraryTest, MissingMalformedOrWrongVersionFileGivesTheDamagedMessage) {
  EXPECT_EQ(LoadMessage(""), kDamaged);
  EXPECT_EQ(LoadMessage("<Modems><Modem Name=\"a\"></Modems>"), kDamaged);
  EXPECT_EQ(LoadMessage("<?xml version=\"1.1\"?><Modems/>"), kDamaged);
  EXPECT_EQ(LoadMessage("\x01\x02 not xml at all"), kDamaged);
  TModemLibrary other;
  EXPECT_THROW(other.Load(Dir.File("absent.xml"), {}), Exception);
}

TEST_F(ModemLibraryTest, ADamagedFileIsNamedWithTheReadersReasonAndItsLineAndColumn) {
  const std::string path = Dir.File("kelvo.xml");
  EXPECT_EQ(
      FullMessage("<?xml version=\"1.0\"?>\r\n<Modems>\r\n  <Modem Name=\"a\" Name=\"b\"/>\r\n</Modems>"),
      std::string(kDamaged) + "\r\n" + path + ": Duplicate attribute 'Name' at line 3, column 27");
  // Columns count characters: the Cyrillic name is four of them, not eight bytes.
  EXPECT_EQ(
      FullMessage("<Modems>\n<Modem Name=\"Акор\"></Modems>"),
      std::string(kDamaged) + "\r\n" + path + ": End tag does not match its start tag at line 2, column 29");
  // The reader stops just past the start tag that goes one level too deep.
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<a>";
  EXPECT_EQ(FullMessage(deep), std::string(kDamaged) + "\r\n" + path +
                                   ": Elements nested too deeply at line 1, column " +
                                   std::to_string(4097 * 3 + 1));
  EXPECT_EQ(FullMessage(""),
            std::string(kDamaged) + "\r\n" + path + ": No document element at line 1, column 1");
}

TEST_F(ModemLibraryTest, AMissingFileIsNamedOnceWithTheSystemsReason) {
  TModemLibrary other;
  const std::string path = Dir.File("absent.xml");
  try {
    other.Load(path, {});
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(AnsiToUtf8(e.Message()),
              std::string(kDamaged) + "\r\nCannot open file \"" + path + "\". No such file or directory");
  }
}

TEST_F(ModemLibraryTest, ModemNamesMustBeFoundExactlyOnce) {
  EXPECT_EQ(LoadMessage(LibraryText("  <Modem Name=\"A\"/>\r\n  <Modem Name=\"A\"/>\r\n")), kNotUnique);
  EXPECT_EQ(LoadMessage(LibraryText("  <Modem/>\r\n  <Modem/>\r\n")), kNotUnique);
  EXPECT_EQ(LoadMessage(LibraryText("  <Modem Name=\"A\"/>\r\n  <Modem Name=\"a\"/>\r\n")), "loaded");
  EXPECT_EQ(LoadMessage(LibraryText("  <Modem/>\r\n  <Modem Name=\"b\"/>\r\n")), "loaded");
  EXPECT_EQ(ElementName(*Library.Modems().ElementItem(0)), "");
}

TEST_F(ModemLibraryTest, ARefusedModemNameIsShownWithTheFile) {
  const std::string path = Dir.File("kelvo.xml");
  EXPECT_EQ(FullMessage(LibraryText("  <Modem Name=\"Зиксель\"/>\r\n  <Modem Name=\"Зиксель\"/>\r\n")),
            std::string(kNotUnique) + "\r\n" + path + ": Name=\"Зиксель\"");
  EXPECT_EQ(FullMessage(LibraryText("  <Modem/>\r\n  <Modem/>\r\n")),
            std::string(kNotUnique) + "\r\n" + path + ": <Modem> without Name");
}

TEST_F(ModemLibraryTest, NestedModemIsNotShownButCountsInTheUniquenessTest) {
  std::string nested = "  <Modem Name=\"A\"/>\r\n  <Group>\r\n    <Modem Name=\"A\"/>\r\n  </Group>\r\n";
  EXPECT_EQ(LoadMessage(LibraryText(nested)), kNotUnique);
  std::string apart = "  <Modem Name=\"A\"/>\r\n  <Group>\r\n    <Modem Name=\"B\"/>\r\n  </Group>\r\n";
  ASSERT_EQ(LoadMessage(LibraryText(apart)), "loaded");
  EXPECT_EQ(Library.Modems().nlGetLength(), 1);
}

TEST_F(ModemLibraryTest, NameWithoutAnEightBitFormIsRefusedAsTheTreeWouldShowIt) {
  // "日本" has no Windows-1251 form: the tree shows "??", which no element is named.
  EXPECT_EQ(LoadMessage(LibraryText("  <Modem Name=\"日本\"/>\r\n")), kNotUnique);
  EXPECT_EQ(LoadMessage(LibraryText("  <Modem Name=\"Модем\"/>\r\n")), "loaded");
  EXPECT_EQ(AnsiToUtf8(ElementName(*Library.Modems().ElementItem(0))), "Модем");
}

TEST_F(ModemLibraryTest, StampingRewritesTheFileAtOnceWithVersionAndMarks) {
  ASSERT_EQ(LoadMessage(LibraryText(kTwoModems, " Version=\"1.0\""), {"SetXmlVersion=2.0"}), "loaded");
  EXPECT_TRUE(Library.VersionStamping());
  EXPECT_EQ(Library.LibraryVersion(), "2.0");
  EXPECT_EQ(ReadBytes(Dir.File("kelvo.xml")),
            LibraryText("  <Modem Name=\"Zyxel\" Protected=\"yes\">\r\n"
                        "    <Script Name=\"Init\" Body=\"41540D0A\" Protected=\"yes\"/>\r\n"
                        "    <Script Name=\"Reset\" Protected=\"yes\"/>\r\n"
                        "  </Modem>\r\n"
                        "  <Modem Name=\"US Robotics\" Protected=\"yes\"/>\r\n",
                        " Version=\"2.0\""));
}

TEST_F(ModemLibraryTest, StampingArgumentsLastWinsEmptyVersionAndCaseOfThePrefix) {
  ASSERT_EQ(LoadMessage(LibraryText(kTwoModems), {"x", "SetXmlVersion=a", "SetXmlVersion=b"}), "loaded");
  EXPECT_EQ(Library.LibraryVersion(), "b");

  TModemLibrary lower;
  lower.Load(Write(LibraryText(kTwoModems, " Version=\"keep\"")), {"setxmlversion=9"});
  EXPECT_FALSE(lower.VersionStamping());
  EXPECT_EQ(lower.LibraryVersion(), "keep");

  TModemLibrary empty;
  empty.Load(Write(LibraryText(kTwoModems, " Version=\"old\"")), {"SetXmlVersion="});
  EXPECT_TRUE(empty.VersionStamping());
  EXPECT_EQ(empty.LibraryVersion(), "");
  EXPECT_NE(ReadBytes(Dir.File("kelvo.xml")).find("<Modems Version=\"\">"), std::string::npos);
}

TEST_F(ModemLibraryTest, WithoutStampingTheFileIsNotWritten) {
  std::string original = LibraryText("  <Modem   Name=\"A\"/>\r\n");
  ASSERT_EQ(LoadMessage(original), "loaded");
  EXPECT_EQ(ReadBytes(Dir.File("kelvo.xml")), original);
}

TEST_F(ModemLibraryTest, RefusedLibraryIsNotSavedEvenWhenStamping) {
  std::string duplicate = LibraryText("  <Modem Name=\"A\"/>\r\n  <Modem Name=\"A\"/>\r\n");
  EXPECT_EQ(LoadMessage(duplicate, {"SetXmlVersion=5"}), kNotUnique);
  EXPECT_EQ(ReadBytes(Dir.File("kelvo.xml")), duplicate);
}

TEST_F(ModemLibraryTest, ProtectionNeedsExactlyYesAndIsIgnoredWhileStamping) {
  ASSERT_EQ(LoadMessage(LibraryText("  <Modem Name=\"A\" Protected=\"yes\"/>\r\n"
                                    "  <Modem Name=\"B\" Protected=\"Yes\"/>\r\n"
                                    "  <Modem Name=\"C\"/>\r\n")),
            "loaded");
  TXpNodeList modems = Library.Modems();
  EXPECT_TRUE(Library.ProtectedForUser(*modems.ElementItem(0)));
  EXPECT_FALSE(Library.ProtectedForUser(*modems.ElementItem(1)));
  EXPECT_FALSE(Library.ProtectedForUser(*modems.ElementItem(2)));

  TModemLibrary stamping;
  stamping.Load(Write(LibraryText("  <Modem Name=\"A\" Protected=\"yes\"/>\r\n")), {"SetXmlVersion=1"});
  EXPECT_FALSE(stamping.ProtectedForUser(*stamping.Modems().ElementItem(0)));
}

TEST_F(ModemLibraryTest, FailedSaveLeavesTheFileAsItWasAndTheChangeInMemory) {
  std::string original = LibraryText(kTwoModems);
  ASSERT_EQ(LoadMessage(original), "loaded");
  Library.Modems().ElementItem(0)->SetAttribute(u"Name", u"Changed");
  {
    TDiskRefusesWrites full;
    EXPECT_THROW(Library.Save(), Exception);
  }
  EXPECT_EQ(ReadBytes(Dir.File("kelvo.xml")), original);
  EXPECT_EQ(ElementName(*Library.Modems().ElementItem(0)), "Changed");
  Library.Save();
  EXPECT_NE(ReadBytes(Dir.File("kelvo.xml")).find("Changed"), std::string::npos);
}

TEST_F(ModemLibraryTest, NewModemNamesSkipTakenOnes) {
  ASSERT_EQ(LoadMessage(LibraryText("  <Modem Name=\"A\"/>\r\n")), "loaded");
  EXPECT_EQ(AnsiToUtf8(Library.FreeNewModemName()), "Новый модем");
  Library.Root()->CreateChildElement(u"Modem")->SetAttribute(u"Name", u"Новый модем");
  Library.Root()->CreateChildElement(u"Modem")->SetAttribute(u"Name", u"Новый модем 2");
  EXPECT_EQ(AnsiToUtf8(Library.FreeNewModemName()), "Новый модем 3");
}
