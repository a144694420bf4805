#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include "text/cp1251.h"
#include "xml/temp_dir.h"
#include "xml/xp_obj_model.h"

using namespace kelvo;
using kelvo::testing::ReadBytes;
using kelvo::testing::TempDir;
using kelvo::testing::WriteBytes;

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// A library file exactly as the application writes it.
const std::string kLibrary =
    kBom +
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<Modems Version=\"2.1\" Protected=\"yes\">\r\n"
    "  <Modem Name=\"Zyxel &amp; Co &lt;1> &#34;U-336&#34;\">\r\n"
    "    <Script Name=\"\xD0\xA1\xD0\xB1\xD1\x80\xD0\xBE\xD1\x81\" Body=\"41540D0A\" Description=\"\"/>\r\n"
    "    <Script Name=\"Init\" Body=\"\"/>\r\n"
    "  </Modem>\r\n"
    "  <Modem Name=\"Empty\"/>\r\n"
    "</Modems>";

std::string SaveLoaded(const std::string& bytes) {
  TXpObjModel model;
  model.Document().WriteNonAsciiRaw = true;
  EXPECT_TRUE(model.LoadMemory(bytes)) << (model.Errors().empty() ? "" : model.Errors()[0]);
  return model.SaveToString();
}

std::string Utf16Bytes(const std::u16string& text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

}  // namespace

TEST(XpRoundTrip, LibraryFileIsWrittenBackByteForByte) {
  EXPECT_EQ(SaveLoaded(kLibrary), kLibrary);
}

TEST(XpRoundTrip, IndentationOfAnyInputBecomesTheCanonicalShape) {
  std::string messy =
      "<?xml   version='1.0'  encoding='UTF-8' ?>\n<Modems>\n\t<Modem Name='a'>\n\n   <Script Name='s'>\n"
      "   </Script>\n</Modem>\n</Modems>\n";
  EXPECT_EQ(SaveLoaded(messy),
            kBom +
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"a\">\r\n"
                "    <Script Name=\"s\"/>\r\n  </Modem>\r\n</Modems>");
  // Saving again changes nothing: indentation does not pile up.
  EXPECT_EQ(SaveLoaded(SaveLoaded(messy)), SaveLoaded(messy));
}

TEST(XpRoundTrip, Utf16FilesAreSavedInTheirOwnEncoding) {
  std::u16string text =
      u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Modems>\r\n  <Modem Name=\"\u041C\"/>\r\n</Modems>";
  for (bool bigEndian : {false, true}) {
    std::string bytes = Utf16Bytes(text, bigEndian);
    EXPECT_EQ(SaveLoaded(bytes), bytes) << (bigEndian ? "big" : "little") << "-endian";
  }
}

TEST(XpRoundTrip, Latin1DeclarationReadsAndWritesLatin1) {
  std::string bytes = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a n=\"caf\xE9\"/>";
  TXpObjModel model;
  model.Document().WriteNonAsciiRaw = true;
  ASSERT_TRUE(model.LoadMemory(bytes));
  EXPECT_EQ(model.omGetDocumentElement()->GetAttribute(u"n"), u"caf\u00E9");
  EXPECT_EQ(model.OutCharSet, TXpCharEncoding::ceISO88591);
  EXPECT_EQ(model.SaveToString(), bytes);
}

TEST(XpEscaping, SpecialCharactersInAttributesSurviveTheRoundTrip) {
  TXpObjModel model;
  model.Document().WriteNonAsciiRaw = true;
  ASSERT_TRUE(model.LoadMemory("<r/>"));
  TXpElement* root = model.omGetDocumentElement();
  std::u16string name = u"a&b<c\"d'e>f\ng\tМодем";
  root->SetAttribute(u"Name", name);
  std::string saved = model.SaveToString();
  EXPECT_NE(saved.find("Name=\"a&amp;b&lt;c&#34;d'e>f&#xA;g\t\xD0\x9C\xD0\xBE\xD0\xB4\xD0\xB5\xD0\xBC\""),
            std::string::npos)
      << saved;
  TXpObjModel again;
  ASSERT_TRUE(again.LoadMemory(saved));
  EXPECT_EQ(again.omGetDocumentElement()->GetAttribute(u"Name"), name);
}

TEST(XpEscaping, NonAsciiBecomesReferencesUnlessWrittenRaw) {
  TXpObjModel model;
  ASSERT_TRUE(model.LoadMemory("<r a=\"\xD0\x9C\xF0\x9F\x98\x80\">x &amp; \xD0\x9C</r>"));
  std::string saved = model.SaveToString();
  EXPECT_NE(saved.find("<r a=\"&#1052;&#128512;\">x &amp; &#1052;</r>"), std::string::npos) << saved;
}

TEST(XpEscaping, LineBreaksInTextFollowTheLineBreakMode) {
  TXpObjModel model;
  ASSERT_TRUE(model.LoadMemory("<r/>"));
  model.omGetDocumentElement()->AppendChild(std::make_unique<TXpText>(u"a\nb\r\nc"));
  EXPECT_EQ(model.SaveToString(), kBom + "<r>a\r\nb\r\nc</r>");
  model.LineBreakMode = TXpLineBreakMode::lbmLF;
  EXPECT_EQ(model.SaveToString(), kBom + "<r>a\nb\nc</r>");
}

TEST(XpReading, EntitiesReferencesAndNormalisation) {
  TXpObjModel model;
  ASSERT_TRUE(
      model.LoadMemory("<r a=\"&lt;&#65;&#x42;&apos;\">  one \n\t two  &gt; <!-- note --><?pi data?></r>"));
  TXpElement* root = model.omGetDocumentElement();
  EXPECT_EQ(root->GetAttribute(u"a"), u"<AB'");
  ASSERT_EQ(root->ChildNodes().size(), 3u);
  EXPECT_EQ(root->ChildNodes()[0]->NodeValue(), u"one two >");
  EXPECT_EQ(root->ChildNodes()[1]->NodeType(), TXpNodeType::ntComment);
  EXPECT_EQ(root->ChildNodes()[1]->NodeValue(), u" note ");
  EXPECT_EQ(root->ChildNodes()[2]->NodeName(), u"pi");
  EXPECT_EQ(root->ChildNodes()[2]->NodeValue(), u"data");
}

TEST(XpReading, DeclarationIsRebuiltAndVersionOtherThan10Fails) {
  TXpObjModel model;
  ASSERT_TRUE(model.LoadMemory("<?xml version='1.0' standalone='yes'?><r/>"));
  EXPECT_EQ(model.Document().ChildNodes()[0]->NodeValue(), u"version=\"1.0\" standalone=\"yes\"");
  EXPECT_FALSE(model.LoadMemory("<?xml version=\"1.1\"?><r/>"));
  EXPECT_FALSE(model.Errors().empty());
  EXPECT_EQ(model.omGetDocumentElement(), nullptr);
}

TEST(XpReading, HostileInputFailsTheLoadWithAnError) {
  const std::vector<std::string> bad = {
      "",
      "<r>",
      "<r></s>",
      "<r a=\"1\" a=\"2\"/>",
      "<r a=\"1\"b=\"2\"/>",
      "<r>&nosuch;</r>",
      "<r>&#0;</r>",
      "<r>&#xD800;</r>",
      "<r>&#99999999999;</r>",
      std::string("<r>a\0b</r>", 10),
      "<r>\xC3</r>",
      "<r>\xED\xA0\x80</r>",
      "\xFF\xFE<\0r\0",          // truncated UTF-16
      "\xFF\xFE\x00\xD8/\0>\0",  // unpaired surrogate
      "<r/><s/>",
      "text<r/>",
      "<!-- unclosed",
      "<r a=\"unclosed/>",
      "<r><![CDATA[x</r>",
  };
  for (const auto& input : bad) {
    TXpObjModel model;
    EXPECT_FALSE(model.LoadMemory(input)) << "accepted: " << input;
    EXPECT_FALSE(model.Errors().empty());
    EXPECT_EQ(model.omGetDocumentElement(), nullptr);
  }
  TXpObjModel raising;
  raising.RaiseErrors = true;
  EXPECT_THROW(raising.LoadMemory("<r>"), Exception);
}

TEST(XpReading, DeepNestingAndHugeValuesFailWithoutCrashing) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  for (int i = 0; i < 100000; ++i) deep += "</a>";
  TXpObjModel model;
  EXPECT_FALSE(model.LoadMemory(deep));
  std::string huge = "<r a=\"" + std::string(50u << 20, 'A') + "\"/>";
  EXPECT_FALSE(model.LoadMemory(huge));
  EXPECT_FALSE(model.LoadDataSource("/nonexistent/kelvo.xml"));
  EXPECT_FALSE(model.LoadDataSource("/dev/null"));
}

TEST(XpElementOps, SetAttributeMovesAnExistingAttributeToTheEnd) {
  TXpObjModel model;
  ASSERT_TRUE(model.LoadMemory("<r><Script Name=\"a\" Body=\"00\"/></r>"));
  TXpElement* script = model.omGetDocumentElement()->GetChildElementsByTagName(u"Script").ElementItem(0);
  script->SetAttribute(u"Name", u"b");
  EXPECT_EQ(model.SaveToString(), kBom + "<r>\r\n  <Script Body=\"00\" Name=\"b\"/>\r\n</r>");
}

TEST(XpElementOps, QueriesFindElementsInDocumentOrder) {
  TXpObjModel model;
  ASSERT_TRUE(model.LoadMemory(
      "<r><Modem Name=\"x\"><Script Name=\"s\"/></Modem><Note/><Modem Name=\"y\"><Script/></Modem></r>"));
  TXpElement* root = model.omGetDocumentElement();
  EXPECT_EQ(root->GetChildElementsByTagName(u"Modem").nlGetLength(), 2);
  EXPECT_EQ(root->GetChildElementsByTagName(u"*").nlGetLength(), 3);
  EXPECT_EQ(root->GetChildElementsByTagName(u"modem").nlGetLength(), 0);  // names are case-sensitive
  TXpNodeList named = root->GetElementsByTagNameWithAttribute(u"Script", u"Name", u"s");
  ASSERT_EQ(named.nlGetLength(), 1);
  EXPECT_EQ(named.ElementItem(0)->ParentNode()->NodeName(), u"Modem");
  // A missing attribute reads as the empty text.
  EXPECT_EQ(root->GetElementsByTagNameWithAttribute(u"Script", u"Name", u"").nlGetLength(), 1);
  EXPECT_EQ(named.Item(5), nullptr);
}

TEST(XpElementOps, CreateAndRemoveChildren) {
  TXpObjModel model;
  ASSERT_TRUE(model.LoadMemory("<r/>"));
  TXpElement* root = model.omGetDocumentElement();
  TXpElement* modem = root->CreateChildElement(u"Modem");
  modem->SetAttribute(u"Name", u"n");
  modem->UserSlot = &model;
  EXPECT_EQ(modem->ParentNode(), root);
  TXpElement other(u"Other");
  EXPECT_THROW(root->RemoveChild(&other), EXpNotFound);
  std::unique_ptr<TXpNode> removed = root->RemoveChild(modem);
  EXPECT_EQ(removed->ParentNode(), nullptr);
  EXPECT_FALSE(root->HasChildNodes());
}

TEST(XpSaving, SaveReplacesTheFileAndStripsTheFileScheme) {
  TempDir dir;
  std::string path = dir.File("kelvo.xml");
  WriteBytes(path, kLibrary);
  ::chmod(path.c_str(), 0640);
  TXpObjModel model;
  model.Document().WriteNonAsciiRaw = true;
  ASSERT_TRUE(model.LoadDataSource("File://" + path));
  model.omGetDocumentElement()->SetAttribute(u"Version", u"3");
  ASSERT_TRUE(model.SaveToFile("FILE://" + path));
  std::string saved = ReadBytes(path);
  EXPECT_NE(saved.find("<Modems Protected=\"yes\" Version=\"3\">"), std::string::npos);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temp left
}

TEST(XpSaving, SavingThroughASymbolicLinkReplacesItsTarget) {
  TempDir dir;
  std::string target = dir.File("real.xml"), link = dir.File("kelvo.xml");
  WriteBytes(target, "<r/>");
  std::filesystem::create_symlink("real.xml", link);
  TXpObjModel model;
  ASSERT_TRUE(model.LoadDataSource(link));
  model.omGetDocumentElement()->SetAttribute(u"a", u"1");
  model.SaveToFile(link);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(target), kBom + "<r a=\"1\"/>");
}

TEST(XpSaving, AFailedSaveLeavesTheOldFileAsItWas) {
  TempDir dir;
  std::string path = dir.File("kelvo.xml");
  WriteBytes(path, kLibrary);
  TXpObjModel model;
  ASSERT_TRUE(model.LoadDataSource(path));
  model.omGetDocumentElement()->SetAttribute(u"Big", std::u16string(1 << 20, u'x'));

  // The disk refuses the write: a file size limit makes write() fail half-way.
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(model.SaveToFile(path), Exception);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(ReadBytes(path), kLibrary);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  // A folder that does not exist cannot take the file either.
  EXPECT_THROW(model.SaveToFile(dir.File("missing/kelvo.xml")), Exception);
}
