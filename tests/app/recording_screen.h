// A screen for tests of the application's logic: it keeps a small tree of the nodes it was asked to
// add, the texts of the panes and the editor, the state of each action, and every message box, and
// answers the questions from a queue.
#pragma once

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/kelvo_screen.h"

namespace kelvo::testing {

struct TShownMessage {
  std::string Text;
  TMsgIcon Icon;
  TMsgButtons Buttons;
};

struct TFakeNode {
  std::string Text;
  int Image = 0;
  TXpElement* Element = nullptr;
  TFakeNode* Parent = nullptr;
  std::vector<std::unique_ptr<TFakeNode>> Children;
};

class TRecordingScreen : public TKelvoScreen {
 public:
  // Called like the window's selection handler whenever the selection changes.
  std::function<void(TXpElement*)> OnSelect;

  std::vector<TShownMessage> Messages;
  std::deque<TModalResult> Answers;  // answers to the next questions; OK when empty
  std::map<TKelvoAction, bool> Actions;
  std::string DescriptionPane, Status, Script, Description, Caption;
  int Port = 0;
  bool PortFocused = false;
  std::vector<std::unique_ptr<TFakeNode>> Roots;
  TFakeNode* Selected = nullptr;
  TFakeNode* Editing = nullptr;
  std::vector<TEditorPage> EditorShows;
  TEditorPage EditorPage = TEditorPage::epDescription;
  std::vector<std::pair<TLogKind, std::string>> Log;
  std::vector<std::string> Questions, WaitBoxTexts;
  std::deque<std::string> UserAnswers;  // what the user types into the next questions
  std::function<void()> OnAsk;          // runs while a question is open, as the user might act
  int MessagePumps = 0, BusyDepth = 0;
  std::string PortText = "ttyS0";
  std::vector<std::pair<std::string, std::string>> CompileErrors;

  TModalResult MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) override {
    Messages.push_back({text, icon, buttons});
    if (Answers.empty()) return TModalResult::mrOk;
    TModalResult answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  void SetActionEnabled(TKelvoAction action, bool enabled) override { Actions[action] = enabled; }
  bool ActionEnabled(TKelvoAction action) const override {
    auto it = Actions.find(action);
    return it != Actions.end() && it->second;
  }
  void SetDescriptionPane(const std::string& text) override { DescriptionPane = text; }
  void SetStatusText(const std::string& text) override { Status = text; }
  int PortIndex() const override { return Port; }
  std::string PortName() const override { return Port == 0 ? "" : PortText; }
  void FocusPortList() override { PortFocused = true; }

  TTreeNode AddTreeNode(TTreeNode parent, const std::string& text, int image, TXpElement* element) override {
    auto node = std::make_unique<TFakeNode>();
    node->Text = text;
    node->Image = image;
    node->Element = element;
    node->Parent = static_cast<TFakeNode*>(parent);
    TFakeNode* raw = node.get();
    (parent != nullptr ? node->Parent->Children : Roots).push_back(std::move(node));
    return raw;
  }
  void DeleteTreeNode(TTreeNode node) override {
    auto* fake = static_cast<TFakeNode*>(node);
    auto& siblings = fake->Parent != nullptr ? fake->Parent->Children : Roots;
    bool selectionGoes = IsWithin(Selected, fake);
    std::erase_if(siblings, [fake](const auto& n) { return n.get() == fake; });
    if (selectionGoes) Select(nullptr);
  }
  void SelectAndEditTreeNode(TTreeNode node) override {
    Select(static_cast<TFakeNode*>(node));
    Editing = Selected;
  }
  void Select(TFakeNode* node) {
    Selected = node;
    if (OnSelect) OnSelect(node != nullptr ? node->Element : nullptr);
  }

  void SetEditorScript(const std::string& text) override { Script = text; }
  void SetEditorDescription(const std::string& text) override { Description = text; }
  std::string EditorScript() const override { return Script; }
  std::string EditorDescription() const override { return Description; }
  void SetEditorCaption(const std::string& caption) override { Caption = caption; }
  void ShowEditor(TEditorPage page) override { EditorShows.push_back(page); }
  bool EditorVisible() const override { return false; }
  void SetEditorPage(TEditorPage page) override { EditorPage = page; }
  void ReportCompileError(const std::string& pos, const std::string& message) override {
    CompileErrors.push_back({pos, message});
    ShowEditor(TEditorPage::epDescription);
  }

  void ClearLog() override { Log.clear(); }
  void AppendLogLine(TLogKind kind, const std::string& line) override { Log.push_back({kind, line}); }
  bool AskUserString(const std::string& caption, const std::string& message, std::string& answer) override {
    Questions.push_back(caption + "|" + message);
    if (OnAsk) OnAsk();
    if (UserAnswers.empty()) return false;  // the user cancels
    answer = UserAnswers.front();
    UserAnswers.pop_front();
    return true;
  }
  void ShowWaitBox(const std::string& text) override { WaitBoxTexts.push_back(text); }
  void ProcessMessages() override { ++MessagePumps; }
  void SetBusyCursor(bool busy) override { BusyDepth += busy ? 1 : -1; }

  // The log lines' texts, prefixes included.
  std::vector<std::string> LogTexts() const {
    std::vector<std::string> texts;
    for (const auto& [kind, line] : Log) texts.push_back(line);
    return texts;
  }

  // The texts of the top-level nodes, or of the children of the top-level node named modem.
  std::vector<std::string> NodeTexts(const std::string& modem = {}) const {
    std::vector<std::string> texts;
    const auto* list = &Roots;
    if (!modem.empty()) {
      auto it = std::find_if(Roots.begin(), Roots.end(), [&](const auto& n) { return n->Text == modem; });
      if (it == Roots.end()) return texts;
      list = &(*it)->Children;
    }
    for (const auto& n : *list) texts.push_back(n->Text);
    return texts;
  }

 private:
  static bool IsWithin(const TFakeNode* node, const TFakeNode* ancestor) {
    for (; node != nullptr; node = node->Parent) {
      if (node == ancestor) return true;
    }
    return false;
  }
};

}  // namespace kelvo::testing
