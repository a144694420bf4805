#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "script/front/xml_tree.h"
#include "text/exception.h"

using namespace kelvo;

namespace {

std::string Header() {
  return "<?xml version=\"1.0\"?>";
}

std::unique_ptr<TfsXMLDocument> Load(const std::string& text) {
  auto doc = std::make_unique<TfsXMLDocument>();
  doc->LoadFromString(text);
  return doc;
}

void ExpectInvalid(const std::string& text) {
  TfsXMLDocument doc;
  try {
    doc.LoadFromString(text);
    FAIL() << "no error for " << text;
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Invalid file format") << text;
  }
}

}  // namespace

TEST(XmlReader, RootIsTheTopElementWithItsChildren) {
  auto doc = Load(Header() + "<a><b/></a>");
  EXPECT_EQ(doc->Root()->Name, "a");
  ASSERT_EQ(doc->Root()->Count(), 1);
  EXPECT_EQ(doc->Root()->Items(0)->Name, "b");
  EXPECT_EQ(doc->Root()->Items(0)->Text, "");
}

TEST(XmlReader, SpaceBeforeSelfClosingStaysInTextAndAttributesStillRead) {
  auto doc = Load(Header() + "<a><char text=\"{\" err=\"err1\" /></a>");
  TfsXMLItem* c = doc->Root()->Items(0);
  EXPECT_EQ(c->Text, "text=\"{\" err=\"err1\" ");
  EXPECT_EQ(c->GetProp("err"), "err1");
  EXPECT_EQ(c->Count(), 0);
}

TEST(XmlReader, CharacterDataAndCommentsAreDropped) {
  auto doc = Load(Header() + "<a>hello<!-- x <b/> --><c/>world</a>");
  ASSERT_EQ(doc->Root()->Count(), 1);
  EXPECT_EQ(doc->Root()->Items(0)->Name, "c");
  doc->Root()->Clear();
  EXPECT_EQ(doc->SaveToString(), Header() + "<a/>");
}

TEST(XmlReader, CommentClosedByThreeDashesIsNotClosedThere) {
  // "--->" does not end the comment, so <b/> is inside it; the comment ends at the later "x-->".
  auto doc = Load(Header() + "<a><!-- one ---><b/>x--><c/></a>");
  ASSERT_EQ(doc->Root()->Count(), 1);
  EXPECT_EQ(doc->Root()->Items(0)->Name, "c");
}

TEST(XmlReader, DocumentEndingBeforeItsClosingTagsLoads) {
  auto doc = Load(Header() + "<a><b><c/>");
  EXPECT_EQ(doc->Root()->Name, "a");
  ASSERT_EQ(doc->Root()->Count(), 1);
  EXPECT_EQ(doc->Root()->Items(0)->Items(0)->Name, "c");
}

TEST(XmlReader, StructuralFaultsAreInvalidFileFormat) {
  ExpectInvalid("<a/>");                       // no header
  ExpectInvalid("<xml?><a/>");                 // wrong header
  ExpectInvalid(Header() + "<a <b/></a>");     // '<' inside a tag
  ExpectInvalid(Header() + "<a><b/></c>");     // closing tag does not match
  ExpectInvalid(Header() + "<a><b text=\"x");  // stream ends inside a tag
  ExpectInvalid(std::string(1, '\0'));
  ExpectInvalid(Header() + "</a>");  // a closing tag instead of the top element
}

TEST(XmlReader, ClosingTagMatchesIgnoringCase) {
  auto doc = Load(Header() + "<Grammar><x/></GRAMMAR>");
  EXPECT_EQ(doc->Root()->Name, "Grammar");
}

TEST(XmlReader, AbsurdNestingIsRefusedWithoutExhaustingTheStack) {
  std::string text = Header();
  for (int i = 0; i < 200000; ++i) text += "<a>";
  ExpectInvalid(text);
}

TEST(XmlReader, NestingUpToTheLimitLoadsAndSavesAgain) {
  std::string text = Header();
  for (int i = 0; i < 10000; ++i) text += "<a>";
  for (int i = 0; i < 10000; ++i) text += "</a>";
  std::string expected = Header();
  for (int i = 0; i < 9999; ++i) expected += "<a>";
  expected += "<a/>";
  for (int i = 0; i < 9999; ++i) expected += "</a>";
  EXPECT_EQ(Load(text)->SaveToString(), expected);
}

TEST(XmlReader, StreamIsLeftAfterTheLastConsumedCharacter) {
  std::istringstream stream(Header() + "<a/>TAIL");
  TfsXMLDocument doc;
  doc.LoadFromStream(stream);
  std::string rest;
  stream >> rest;
  EXPECT_EQ(rest, "TAIL");
  std::istringstream second(Header() + "<a><b/></a><z/>");
  doc.LoadFromStream(second);
  std::getline(second, rest);
  EXPECT_EQ(rest, "<z/>");
}

TEST(XmlAttributes, LookupIgnoresCaseAndDecodesEntities) {
  TfsXMLItem item;
  item.Text = "text=\"&#60;=\" err=\"err20\"";
  EXPECT_EQ(item.GetProp("TEXT"), "<=");
  EXPECT_EQ(item.GetProp("Err"), "err20");
  EXPECT_TRUE(item.PropExists("ERR"));
  EXPECT_FALSE(item.PropExists("ex"));  // a prefix of "text" is not a name
  EXPECT_EQ(item.GetProp("missing"), "");
}

TEST(XmlAttributes, NeedExactlyOneSpaceAndNoBlanksAroundEquals) {
  TfsXMLItem item;
  item.Text = "a=\"1\"  b=\"2\" c = \"3\"";
  EXPECT_EQ(item.GetProp("a"), "1");
  EXPECT_EQ(item.GetProp("b"), "2");  // the second of the two spaces precedes b
  EXPECT_FALSE(item.PropExists("c"));
  item.Text = "a=\"unclosed";
  EXPECT_TRUE(item.PropExists("a"));
  EXPECT_EQ(item.GetProp("a"), "");
}

TEST(XmlAttributes, SetReplacesInPlaceAndKeepsOrder) {
  TfsXMLItem item;
  item.SetProp("text", "say \"hi\"");
  EXPECT_EQ(item.Text, "text=\"say &#34;hi&#34;\"");
  item.SetProp("pos", "1:2");
  item.SetProp("node", "x");
  item.SetProp("POS", "3:4");
  EXPECT_EQ(item.Text, "text=\"say &#34;hi&#34;\" POS=\"3:4\" node=\"x\"");
  EXPECT_EQ(item.GetProp("text"), "say \"hi\"");
  item.SetProp("text", "");
  EXPECT_EQ(item.Text, "text=\"\" POS=\"3:4\" node=\"x\"");
}

TEST(XmlEntities, StrToXMLEncodesOnlyItsFiveCharactersAndQuot) {
  EXPECT_EQ(StrToXML("a\nb\rc\"d<e>f"), "a&#10;b&#13;c&#34;d&#60;e&#62;f");
  EXPECT_EQ(StrToXML("a & b"), "a & b");
  EXPECT_EQ(StrToXML("&quot;x"), "&#34;x");
  EXPECT_EQ(StrToXML("&#65;"), "&#65;");
  EXPECT_EQ(StrToXML("\xC0\xFF"), "\xC0\xFF");
}

TEST(XmlEntities, XMLToStrDecodesNumericAndQuotOnly) {
  EXPECT_EQ(XMLToStr("&#34;x&quot;y"), "\"x\"y");
  EXPECT_EQ(XMLToStr("&#65;&#66;"), "AB");
  EXPECT_EQ(XMLToStr("&lt;&amp;"), "&lt;&amp;");
  EXPECT_EQ(XMLToStr("a & b &"), "a & b &");
  EXPECT_EQ(XMLToStr("&#1"), "&#1");  // too short to be an entity
  EXPECT_EQ(XMLToStr("&#12 no end"), "&#12 no end");
  EXPECT_EQ(XMLToStr("&#321;"), std::string(1, static_cast<char>(321 & 0xFF)));
  EXPECT_THROW(XMLToStr("&#xyz;"), Exception);
  EXPECT_THROW(XMLToStr("&#99999999999;"), Exception);
}

TEST(XmlEntities, EncodeThenDecodeGivesTheTextBack) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(XMLToStr(StrToXML(all)), all);
}

TEST(XmlItem, FindItemAppendsAMissingChild) {
  TfsXMLItem item;
  item.Add()->Name = "parser";
  EXPECT_EQ(item.Find("PARSER"), 0);
  EXPECT_EQ(item.Find("errors"), -1);
  TfsXMLItem* errors = item.FindItem("errors");
  EXPECT_EQ(item.Count(), 2);
  EXPECT_EQ(errors->Name, "errors");
  EXPECT_EQ(item.FindItem("ERRORS"), errors);
}

TEST(XmlItem, AChildMovesBetweenParentsThroughExtract) {
  TfsXMLItem root;
  TfsXMLItem* a = root.Add();
  TfsXMLItem* b = root.Add();
  a->Name = "a";
  EXPECT_EQ(root.AddItem(root.Extract(0)), a);
  ASSERT_EQ(root.Count(), 2);
  EXPECT_EQ(root.Items(0), b);
  EXPECT_EQ(root.Items(1), a);
  TfsXMLItem other;
  other.Add();
  EXPECT_EQ(other.InsertItem(0, root.Extract(1)), a);
  EXPECT_EQ(root.Count(), 1);
  EXPECT_EQ(other.Items(0), a);
  TfsXMLItem* last = other.InsertItem(99, std::make_unique<TfsXMLItem>());
  ASSERT_EQ(other.Count(), 3);
  EXPECT_EQ(other.Items(2), last);
  EXPECT_THROW(root.Items(5), Exception);
  EXPECT_THROW(root.Extract(1), Exception);
}

TEST(XmlItem, DeletingAChildUnlistsAndFreesIt) {
  TfsXMLItem root;
  root.Add()->Name = "a";
  root.Add()->Add()->Add();
  root.Delete(1);
  ASSERT_EQ(root.Count(), 1);
  EXPECT_EQ(root.Items(0)->Name, "a");
}

TEST(XmlItem, AssignCopiesDeeplyInOrder) {
  auto doc = Load(Header() + "<a x=\"1\"><b><c/></b><d/></a>");
  TfsXMLItem copy;
  copy.Add();
  copy.Assign(doc->Root());
  EXPECT_EQ(copy.Name, "a");
  EXPECT_EQ(copy.GetProp("x"), "1");
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Items(0)->Items(0)->Name, "c");
  EXPECT_EQ(copy.Items(1)->Name, "d");
}

// A tree as deep as a long nesting in a script is copied, written and freed without a nested
// call per level (which would need far more than a thread's stack at this depth).
TEST(XmlItem, TwoHundredThousandLevelsAreCopiedWrittenAndFreed) {
  auto deep = std::make_unique<TfsXMLItem>();
  deep->Name = "a";
  TfsXMLItem* leaf = deep.get();
  for (int i = 0; i < 200000; ++i) {
    leaf = leaf->Add();
    leaf->Name = "a";
  }
  leaf->SetProp("x", "1");
  TfsXMLItem copy;
  copy.Assign(deep.get());
  deep.reset();
  const TfsXMLItem* last = &copy;
  int levels = 0;
  for (; last->Count() > 0; ++levels) last = last->Items(0);
  EXPECT_EQ(levels, 200000);
  EXPECT_EQ(last->GetProp("x"), "1");
  TfsXMLDocument doc;
  doc.Root()->Assign(&copy);
  std::string saved = doc.SaveToString();
  EXPECT_EQ(saved.size(), Header().size() + 200000 * 7 + std::string("<a x=\"1\"/>").size());
}

TEST(XmlWriter, OneLineWithoutAutoIndent) {
  auto doc = Load(Header() + "<a x=\"1\"><b/><c y=\"2\"><d/></c></a>");
  EXPECT_EQ(doc->SaveToString(), Header() + "<a x=\"1\"><b/><c y=\"2\"><d/></c></a>");
}

TEST(XmlWriter, AutoIndentWritesOneElementPerLineIndentedByTwo) {
  auto doc = Load(Header() + "<a x=\"1\"><b/><c><d/></c></a>");
  doc->AutoIndent = true;
  EXPECT_EQ(doc->SaveToString(),
            "<?xml version=\"1.0\"?>\r\n<a x=\"1\">\r\n  <b/>\r\n  <c>\r\n    <d/>\r\n  </c>\r\n</a>\r\n");
}

TEST(XmlWriter, LargeDocumentRoundTripsThroughTheReadAheadBuffer) {
  TfsXMLDocument doc;
  doc.Root()->Name = "program";
  for (int i = 0; i < 3000; ++i) {
    TfsXMLItem* item = doc.Root()->Add();
    item->Name = "n" + std::to_string(i);
    item->SetProp("text", "value <" + std::to_string(i) + ">");
  }
  TfsXMLDocument back;
  back.LoadFromString(doc.SaveToString());
  ASSERT_EQ(back.Root()->Count(), 3000);
  EXPECT_EQ(back.Root()->Items(2999)->GetProp("text"), "value <2999>");
  EXPECT_EQ(back.SaveToString(), doc.SaveToString());
}
