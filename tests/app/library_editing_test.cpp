#include <gtest/gtest.h>

#include "app/error_display.h"
#include "app/hex_text.h"
#include "app/kelvo_core.h"
#include "library_files.h"
#include "recording_screen.h"
#include "text/cp1251.h"
#include "text/exception.h"

using namespace kelvo;
using namespace kelvo::testing;

namespace {

using A = TKelvoAction;

const std::string kLibrary = LibraryText(
    "  <Modem Name=\"Alpha\">\r\n"
    "    <Script Name=\"Init\" Body=\"41540D0A4154453000\" Description=\"CEEFE8F1E0EDE8E5\"/>\r\n"
    "    <Script Name=\"Odd\" Body=\"415\"/>\r\n"
    "    <Script Name=\"Locked\" Body=\"41\" Protected=\"yes\"/>\r\n"
    "  </Modem>\r\n"
    "  <Modem Name=\"Beta\" Protected=\"yes\">\r\n"
    "    <Script Name=\"Reset\" Body=\"41545A\" Description=\"\"/>\r\n"
    "  </Modem>\r\n");

class LibraryEditingTest : public ::testing::Test {
 protected:
  void SetUp() override { Start({}); }

  void Start(const std::vector<std::string>& args) {
    WriteBytes(Path(), kLibrary);
    Core = std::make_unique<TKelvoCore>(Screen);
    Screen.Roots.clear();
    Screen.OnSelect = [this](TXpElement* e) { Core->Guarded([&] { Core->TreeViewChange(e); }); };
    Core->LoadLibrary(Path(), args);
    Core->BuildTree();
  }
  std::string Path() const { return Dir.File("kelvo.xml"); }
  std::string File() const { return ReadBytes(Path()); }

  TFakeNode* Node(const std::string& modem, const std::string& script = {}) {
    for (auto& m : Screen.Roots) {
      if (m->Text != modem) continue;
      if (script.empty()) return m.get();
      for (auto& s : m->Children) {
        if (s->Text == script) return s.get();
      }
    }
    return nullptr;
  }
  void Select(const std::string& modem, const std::string& script = {}) {
    TFakeNode* node = Node(modem, script);
    ASSERT_NE(node, nullptr) << modem << "/" << script;
    Screen.Select(node);
  }
  std::vector<A> Enabled() const {
    std::vector<A> on;
    for (A a : {A::kaRunScript, A::kaEditScript, A::kaAddModem, A::kaRemoveModem, A::kaAddScript,
                A::kaRemoveScript}) {
      if (Screen.ActionEnabled(a)) on.push_back(a);
    }
    return on;
  }
  std::string LastMessage() const {
    return Screen.Messages.empty() ? "" : AnsiToUtf8(Screen.Messages.back().Text);
  }
  void Rename(TFakeNode* node, std::string text) {
    Core->Guarded([&] { Core->TreeViewEdited(node->Element, text); });
  }

  TempDir Dir;
  TRecordingScreen Screen;
  std::unique_ptr<TKelvoCore> Core;
};

}  // namespace

TEST_F(LibraryEditingTest, TreeHoldsModemsAndScriptsLinkedBothWays) {
  EXPECT_EQ(Screen.NodeTexts(), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(Screen.NodeTexts("Alpha"), (std::vector<std::string>{"Init", "Odd", "Locked"}));
  TFakeNode* init = Node("Alpha", "Init");
  EXPECT_EQ(init->Image, kScriptImage);
  EXPECT_EQ(Node("Alpha")->Image, kModemImage);
  EXPECT_EQ(init->Element->UserSlot, init);
}

TEST_F(LibraryEditingTest, SelectionDecidesTheCommands) {
  Screen.Select(nullptr);
  EXPECT_EQ(Enabled(), (std::vector<A>{A::kaAddModem}));
  Select("Alpha");
  EXPECT_EQ(Enabled(), (std::vector<A>{A::kaAddModem, A::kaRemoveModem, A::kaAddScript}));
  EXPECT_EQ(Screen.DescriptionPane, "");
  Select("Alpha", "Init");
  EXPECT_EQ(Enabled(), (std::vector<A>{A::kaRunScript, A::kaEditScript, A::kaAddModem, A::kaAddScript,
                                       A::kaRemoveScript}));
  EXPECT_EQ(Core->CurrentModem(), Node("Alpha")->Element);
}

TEST_F(LibraryEditingTest, SelectingAScriptFillsEditorPanesAndCaption) {
  Select("Alpha", "Init");
  EXPECT_EQ(Screen.Script, std::string("AT\r\nATE0\0", 9));
  EXPECT_EQ(AnsiToUtf8(Screen.Description), "Описание");
  EXPECT_EQ(AnsiToUtf8(Screen.DescriptionPane), "Описание");
  EXPECT_EQ(AnsiToUtf8(Screen.Caption), "Kelvo - редактор сценариев: Alpha - \"Init\"");
  Select("Alpha");
  EXPECT_EQ(Screen.Script, "");
  EXPECT_EQ(Screen.Description, "");
  EXPECT_EQ(Screen.DescriptionPane, "");
}

TEST_F(LibraryEditingTest, DamagedBodyStopsTheSelectionAfterTheCommandsAreSet) {
  Select("Alpha", "Odd");
  EXPECT_EQ(LastMessage(), "invalid hex length.");
  EXPECT_TRUE(Screen.ActionEnabled(A::kaRunScript));
  EXPECT_EQ(Screen.Script, "");
  EXPECT_EQ(Core->CurrentScript(), Node("Alpha", "Odd")->Element);
}

TEST_F(LibraryEditingTest, RenameTrimsSavesAndRefusesBlankOrControlCharacters) {
  TFakeNode* alpha = Node("Alpha");
  Rename(alpha, "  \tGamma \r\n");
  EXPECT_EQ(ElementName(*alpha->Element), "Gamma");
  EXPECT_NE(File().find("<Modem Name=\"Gamma\">"), std::string::npos);
  EXPECT_TRUE(Screen.Messages.empty());

  std::string before = File();
  Rename(alpha, "   ");
  EXPECT_EQ(LastMessage(), "недопустимое название.");
  Rename(alpha, "Bad\x01Name");
  EXPECT_EQ(LastMessage(), "недопустимое название.");
  EXPECT_EQ(ElementName(*alpha->Element), "Gamma");
  EXPECT_EQ(File(), before);
}

TEST_F(LibraryEditingTest, RenamingAModemToAnotherModemsNameIsRefused) {
  std::string before = File();
  Rename(Node("Alpha"), "Beta");
  EXPECT_EQ(LastMessage(), "Модем с названием \"Beta\" уже есть в библиотеке.");
  EXPECT_EQ(ElementName(*Node("Alpha")->Element), "Alpha");
  EXPECT_EQ(File(), before);
  // Another letter case is another name; a script may share any name.
  Rename(Node("Alpha"), "beta");
  EXPECT_EQ(ElementName(*Node("Alpha")->Element), "beta");
  Rename(Node("Alpha", "Init"), "Reset");
  EXPECT_EQ(ElementName(*Node("Alpha", "Init")->Element), "Reset");
  // What was saved starts again.
  TKelvoCore again(Screen);
  EXPECT_NO_THROW(again.LoadLibrary(Path(), {}));
}

TEST_F(LibraryEditingTest, AddModemSavesAtOnceSelectsAndStartsTheLabelEdit) {
  Core->AddModemActionExecute();
  ASSERT_NE(Screen.Editing, nullptr);
  EXPECT_EQ(AnsiToUtf8(Screen.Editing->Text), "Новый модем");
  EXPECT_EQ(Screen.Editing->Image, kModemImage);
  EXPECT_EQ(Core->CurrentModem(), Screen.Editing->Element);
  EXPECT_NE(File().find("<Modem Name=\"Новый модем\"/>"), std::string::npos);
  Core->AddModemActionExecute();
  EXPECT_EQ(AnsiToUtf8(Screen.Editing->Text), "Новый модем 2");
  TKelvoCore again(Screen);
  EXPECT_NO_THROW(again.LoadLibrary(Path(), {}));
}

TEST_F(LibraryEditingTest, AddScriptGoesToTheSelectedScriptsModem) {
  Core->AddScriptActionExecute();  // nothing selected: nothing happens
  EXPECT_EQ(Screen.Editing, nullptr);
  Select("Beta", "Reset");
  Core->AddScriptActionExecute();
  ASSERT_NE(Screen.Editing, nullptr);
  EXPECT_EQ(Screen.Editing->Parent, Node("Beta"));
  EXPECT_EQ(AnsiToUtf8(Screen.Editing->Text), "Новый сценарий");
  EXPECT_NE(File().find("    <Script Name=\"Новый сценарий\"/>\r\n  </Modem>"), std::string::npos);
  EXPECT_EQ(Core->CurrentScript(), Screen.Editing->Element);
  EXPECT_EQ(Screen.Script, "");
}

TEST_F(LibraryEditingTest, ProtectedItemsAreNotRemoved) {
  std::string before = File();
  Select("Beta");
  Core->RemoveModemActionExecute();
  EXPECT_EQ(LastMessage(), "Данный модем защищен от удаления");
  EXPECT_EQ(Screen.Messages.back().Icon, TMsgIcon::miError);
  Select("Alpha", "Locked");
  Core->RemoveScriptActionExecute();
  EXPECT_EQ(LastMessage(), "Данный сценарий защищен от удаления");
  EXPECT_EQ(Screen.Messages.size(), 2u);
  EXPECT_EQ(File(), before);
}

TEST_F(LibraryEditingTest, CancelledRemovalChangesNothing) {
  std::string before = File();
  Select("Alpha");
  Screen.Answers = {TModalResult::mrCancel};
  Core->RemoveModemActionExecute();
  EXPECT_EQ(LastMessage(), "Удалить модем и сценарии его настройки ?");
  EXPECT_EQ(Screen.Messages.back().Icon, TMsgIcon::miExclamation);
  EXPECT_EQ(Screen.Messages.back().Buttons, TMsgButtons::mbOkCancel);
  EXPECT_EQ(Screen.NodeTexts(), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(File(), before);
}

TEST_F(LibraryEditingTest, ConfirmedRemovalDeletesNodeElementAndSaves) {
  Select("Alpha", "Init");
  Core->RemoveScriptActionExecute();
  EXPECT_EQ(LastMessage(), "Удалить сценарий настройки ?");
  EXPECT_EQ(Screen.NodeTexts("Alpha"), (std::vector<std::string>{"Odd", "Locked"}));
  EXPECT_EQ(File().find("Init"), std::string::npos);
  EXPECT_EQ(Core->CurrentScript(), nullptr);

  Select("Alpha");
  Core->RemoveModemActionExecute();
  EXPECT_EQ(Screen.NodeTexts(), (std::vector<std::string>{"Beta"}));
  EXPECT_EQ(File().find("Alpha"), std::string::npos);
  EXPECT_EQ(Core->CurrentModem(), nullptr);
}

TEST_F(LibraryEditingTest, SaveWritesBodyAndDescriptionAfterTheNameAndRefreshesThePane) {
  Select("Beta", "Reset");
  Screen.Script = "ATZ\r\nATE0";
  Screen.Description = Utf8ToAnsi("Сброс");
  Screen.Actions[A::kaSaveScript] = true;
  Core->SaveScriptActionExecute();
  EXPECT_NE(File().find("<Script Name=\"Reset\" Body=\"41545A0D0A41544530\" Description=\"D1E1F0EEF1\"/>"),
            std::string::npos);
  EXPECT_FALSE(Screen.ActionEnabled(A::kaSaveScript));
  EXPECT_EQ(AnsiToUtf8(Screen.DescriptionPane), "Сброс");
}

TEST_F(LibraryEditingTest, ProtectedScriptIsNotSavedAndSavingStaysEnabled) {
  Select("Alpha", "Locked");
  std::string before = File();
  Screen.Script = "changed";
  Screen.Actions[A::kaSaveScript] = true;
  Core->SaveScriptActionExecute();
  EXPECT_EQ(LastMessage(), "Данный сценарий защищен от записи");
  EXPECT_TRUE(Screen.ActionEnabled(A::kaSaveScript));
  EXPECT_EQ(File(), before);
  EXPECT_EQ(Screen.Script, "changed");
}

TEST_F(LibraryEditingTest, StampingModeSavesAndRemovesProtectedItemsAndStampsSavedScripts) {
  Start({"SetXmlVersion=7"});
  Select("Alpha", "Init");
  Core->AddScriptActionExecute();
  Screen.Script = "AT";
  Core->SaveScriptActionExecute();
  EXPECT_NE(File().find("<Script Name=\"Новый сценарий\" Body=\"4154\" Description=\"\" Protected=\"yes\"/>"),
            std::string::npos);
  Select("Beta");
  Core->RemoveModemActionExecute();
  EXPECT_EQ(File().find("Beta"), std::string::npos);
}

TEST_F(LibraryEditingTest, EditReloadsStoredTextsAndOpensTheDescriptionPage) {
  Select("Alpha", "Init");
  Screen.Script = "unsaved";
  Core->EditScriptActionExecute();
  EXPECT_EQ(Screen.Script, std::string("AT\r\nATE0\0", 9));
  EXPECT_EQ(Screen.EditorShows, (std::vector<TEditorPage>{TEditorPage::epDescription}));
}

TEST_F(LibraryEditingTest, CloseQuestionAnswers) {
  Select("Alpha", "Init");
  Core->EditorShown();
  EXPECT_TRUE(Core->EditorCloseQuery());  // nothing typed: nothing asked
  EXPECT_TRUE(Screen.Messages.empty());

  Core->EditorTextChanged();
  Screen.Answers = {TModalResult::mrCancel};
  EXPECT_FALSE(Core->EditorCloseQuery());
  EXPECT_EQ(LastMessage(), "Сохранить изменения?");
  EXPECT_EQ(Screen.Messages.back().Buttons, TMsgButtons::mbYesNoCancel);

  Screen.Answers = {TModalResult::mrNo};
  std::string before = File();
  EXPECT_TRUE(Core->EditorCloseQuery());
  EXPECT_EQ(File(), before);

  Screen.Script = "ATH";
  Screen.Answers = {TModalResult::mrYes};
  EXPECT_TRUE(Core->EditorCloseQuery());
  EXPECT_NE(File().find("Body=\"415448\""), std::string::npos);
}

TEST_F(LibraryEditingTest, YesWithARefusedSaveKeepsTheEditorOpen) {
  Select("Alpha", "Locked");
  Core->EditorTextChanged();
  Screen.Answers = {TModalResult::mrYes};
  EXPECT_FALSE(Core->EditorCloseQuery());
  EXPECT_EQ(LastMessage(), "Данный сценарий защищен от записи");
}

TEST_F(LibraryEditingTest, FailedWriteKeepsTheChangeInMemoryAndTheFileAsItWas) {
  std::string before = File();
  {
    TDiskRefusesWrites full;
    Rename(Node("Alpha"), "Gamma");
  }
  EXPECT_EQ(Screen.Messages.size(), 1u);
  EXPECT_EQ(Screen.Messages.back().Icon, TMsgIcon::miError);
  EXPECT_EQ(File(), before);
  EXPECT_EQ(ElementName(*Node("Alpha")->Element), "Gamma");
  Core->AddModemActionExecute();  // the next successful save writes both
  EXPECT_NE(File().find("Gamma"), std::string::npos);
}

TEST_F(LibraryEditingTest, RunNeedsAPortChoice) {
  Select("Alpha", "Init");
  Core->RunScriptActionExecute();
  EXPECT_EQ(LastMessage(), "Выберите последовательный порт, к которому подключен настраиваемый модем");
  EXPECT_EQ(Screen.Messages.back().Icon, TMsgIcon::miInformation);
  EXPECT_TRUE(Screen.PortFocused);
  Screen.Messages.clear();
  Core->TreeViewDblClick();
  EXPECT_EQ(Screen.Messages.size(), 1u);
  Select("Alpha");
  Core->TreeViewDblClick();  // a modem: no run
  EXPECT_EQ(Screen.Messages.size(), 1u);
  Select("Alpha", "Init");
  Screen.Port = 1;
  Screen.PortText = "/nonexistent/kelvo-port";
  // With a port chosen the run goes on, on its own thread: to the chosen port, which cannot be
  // opened here; its error ends the run and is shown when the run has ended.
  Core->RunScriptActionExecute();
  EXPECT_TRUE(Core->Running());
  ASSERT_TRUE(Screen.PumpUntil([&] { return !Core->Running(); }));
  ASSERT_EQ(Screen.Messages.size(), 2u);
  EXPECT_EQ(Screen.Messages.back().Icon, TMsgIcon::miError);
  EXPECT_EQ(Screen.Messages.back().Text, ErrorDisplayText(Screen.LogTexts().back()));
  EXPECT_EQ(Core->ComPort().Port(), "/nonexistent/kelvo-port");
}
