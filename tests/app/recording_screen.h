// A screen for tests of the application's logic: it keeps a small tree of the nodes it was asked to
// add, the texts of the panes and the editor, the state of each action, and every message box, and
// answers the questions from a queue. The test's thread is the screen's thread: tasks that a run's
// thread hands over wait until the test runs them (RunPending, PumpUntil).
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
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
  std::vector<TLogEntry> Entries;  // the same lines with their times
  std::vector<std::string> Questions, WaitBoxTexts;
  std::deque<std::string> UserAnswers;  // what the user types into the next questions
  std::function<void()> OnAsk;          // runs while a question is open, as the user might act
  std::function<void()> OnMessage;      // runs while a message box is open
  int BusyDepth = 0;
  std::vector<bool> RunStates;                           // every RunStateChanged, in order
  std::vector<std::pair<int, std::string>> SearchSteps;  // shown steps of the search progress
  std::string PortText = "ttyS0";
  std::vector<std::pair<std::string, std::string>> CompileErrors;

  TModalResult MessageBox(const std::string& text, TMsgIcon icon, TMsgButtons buttons) override {
    Messages.push_back({text, icon, buttons});
    if (OnMessage) OnMessage();
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

  void ClearLog() override {
    Log.clear();
    Entries.clear();
  }
  void AppendLogLine(const TLogEntry& entry) override {
    Log.push_back({entry.Kind, entry.Text});
    Entries.push_back(entry);
  }
  bool AskUserString(const std::string& caption, const std::string& message, std::string& answer) override {
    Questions.push_back(caption + "|" + message);
    if (OnAsk) OnAsk();
    if (UserAnswers.empty()) return false;  // the user cancels
    answer = UserAnswers.front();
    UserAnswers.pop_front();
    return true;
  }
  void ShowWaitBox(const std::string& text) override { WaitBoxTexts.push_back(text); }
  void ShowSearchProgress(int step, int count, const std::string& text) override {
    if (count > 0) SearchSteps.push_back({step, text});
  }
  void SetBusyCursor(bool busy) override { BusyDepth += busy ? 1 : -1; }
  void RunStateChanged(bool running) override { RunStates.push_back(running); }

  // Any thread.
  void RunOnScreenThread(std::function<void()> task) override {
    {
      std::lock_guard lock(FTasksLock);
      FTasks.push_back(std::move(task));
    }
    FTasksChanged.notify_all();
  }
  // The test's thread: runs the tasks handed over so far.
  void RunPending() {
    for (;;) {
      std::function<void()> task;
      {
        std::lock_guard lock(FTasksLock);
        if (FTasks.empty()) return;
        task = std::move(FTasks.front());
        FTasks.pop_front();
      }
      task();
    }
  }
  // The test's thread: runs handed-over tasks as they come until done() holds; false when it
  // still does not after timeout.
  bool PumpUntil(const std::function<bool()>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      RunPending();
      if (done()) return true;
      std::unique_lock lock(FTasksLock);
      if (FTasks.empty() && !FTasksChanged.wait_until(lock, end, [this] { return !FTasks.empty(); }))
        return done();
    }
  }

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
  std::mutex FTasksLock;
  std::condition_variable FTasksChanged;
  std::deque<std::function<void()>> FTasks;

  static bool IsWithin(const TFakeNode* node, const TFakeNode* ancestor) {
    for (; node != nullptr; node = node->Parent) {
      if (node == ancestor) return true;
    }
    return false;
  }
};

}  // namespace kelvo::testing
