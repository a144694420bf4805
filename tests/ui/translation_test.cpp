// The interface's language follows the user's locale: English for English locales, Russian for every
// other one, C and POSIX included. Each test pins the locale it expects.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTextBrowser>
#include <cstdlib>
#include <optional>

#include "ui/help_window.h"
#include "ui/translation.h"
#include "ui_fixture.h"

using namespace kelvo;
using namespace kelvo::testing;

namespace {

// The locale variables as the test sets them; the old values come back at the end.
class TLocale {
 public:
  TLocale(std::optional<std::string> all, std::optional<std::string> messages,
          std::optional<std::string> lang) {
    Set("LC_ALL", all);
    Set("LC_MESSAGES", messages);
    Set("LANG", lang);
  }
  ~TLocale() {
    for (auto& [name, value] : FOld) {
      if (value) {
        ::setenv(name, value->c_str(), 1);
      } else {
        ::unsetenv(name);
      }
    }
  }

 private:
  void Set(const char* name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name);
    FOld.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  std::vector<std::pair<const char*, std::optional<std::string>>> FOld;
};

bool HasCyrillic(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() >= 0x400 && c.unicode() <= 0x4FF) return true;
  }
  return false;
}

// Every caption, hint, label, button and tab that the windows show, with where it was found.
std::vector<std::pair<QString, QString>> VisibleTexts(const std::vector<QWidget*>& windows) {
  std::vector<std::pair<QString, QString>> texts;
  for (QWidget* window : windows) {
    texts.emplace_back(window->objectName(), window->windowTitle());
    for (QAction* action : window->findChildren<QAction*>()) {
      texts.emplace_back(action->objectName(), action->text());
      texts.emplace_back(action->objectName(), action->toolTip());
      texts.emplace_back(action->objectName(), action->statusTip());
    }
    for (QMenu* menu : window->findChildren<QMenu*>()) texts.emplace_back(menu->objectName(), menu->title());
    for (QLabel* label : window->findChildren<QLabel*>())
      texts.emplace_back(label->objectName(), label->text());
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
      texts.emplace_back(button->objectName(), button->text());
    }
    for (QTabBar* tabs : window->findChildren<QTabBar*>()) {
      for (int i = 0; i < tabs->count(); ++i) texts.emplace_back(tabs->objectName(), tabs->tabText(i));
    }
  }
  return texts;
}

class TranslationTest : public UiTest {
 protected:
  void TearDown() override {
    UiTest::TearDown();
    RemoveTranslation(*qApp);
  }
  void WriteHelpPages() {
    WriteBytes(Dir.File("kelvo.html"), "<html><body><p>Справка</p></body></html>");
    WriteBytes(Dir.File("kelvo_en.html"), "<html><body><p>English help</p></body></html>");
  }
  std::vector<QWidget*> Windows() {
    return {W.KelvoDlg.get(), W.InputDialog, W.ScriptEditDlg, W.AboutBox, W.WaitBoxForm};
  }
};

}  // namespace

TEST(InterfaceLanguage, EnglishOnlyWhereTheMessagesLocaleIsEnglish) {
  struct TCase {
    std::optional<std::string> All, Messages, Lang;
    bool English;
  };
  const TCase cases[] = {
      {std::nullopt, std::nullopt, "en_US.UTF-8", true},
      {std::nullopt, std::nullopt, "en_GB", true},
      {std::nullopt, std::nullopt, "ru_RU.UTF-8", false},
      {std::nullopt, std::nullopt, "de_DE.UTF-8", false},
      {std::nullopt, std::nullopt, "C", false},
      {std::nullopt, std::nullopt, "POSIX", false},
      {std::nullopt, std::nullopt, std::nullopt, false},
      {std::nullopt, "en_US.UTF-8", "ru_RU.UTF-8", true},
      {std::nullopt, "ru_RU.UTF-8", "en_US.UTF-8", false},
      {"C", "en_US.UTF-8", "en_US.UTF-8", false},
      {"en_US.UTF-8", std::nullopt, "ru_RU.UTF-8", true},
      {"", "", "en_US.UTF-8", true},
  };
  for (const TCase& c : cases) {
    TLocale locale(c.All, c.Messages, c.Lang);
    EXPECT_EQ(EnglishLocale(), c.English)
        << c.All.value_or("-") << " " << c.Messages.value_or("-") << " " << c.Lang.value_or("-");
  }
}

TEST_F(TranslationTest, UnderAnEnglishLocaleTheWindowsAndTheirMessagesAreEnglish) {
  TLocale locale(std::nullopt, std::nullopt, "en_US.UTF-8");
  ASSERT_TRUE(InstallTranslation(*qApp));
  WriteHelpPages();
  Start();
  EXPECT_EQ(Main().windowTitle().toStdString(), "Kelvo - modem initialisation program");
  EXPECT_EQ(Main().FileMenu->title().toStdString(), "File");
  EXPECT_EQ(Main().Action(TKelvoAction::kaRunScript)->text().toStdString(), "Run script");
  EXPECT_EQ(Main().PortComboBox->itemText(0).toStdString(), "(choose a port)");
  EXPECT_EQ(Main().BottomPane->tabText(0).toStdString(), "Description");
  Select("zyxel", "Init");
  QTest::keyClick(Main().TreeView, Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(Main().LastBox(), "Choose the serial port that the modem to set up is connected to");
  // Nothing the windows show is left in Russian; the library's own names and scripts are not the
  // program's texts and are shown as they are.
  for (const auto& [where, text] : VisibleTexts(Windows())) {
    EXPECT_FALSE(HasCyrillic(text)) << where.toStdString() << ": " << text.toStdString();
  }
  WhenModal([&] { EXPECT_EQ(W.AboutBox->windowTitle().toStdString(), "Kelvo - about"); });
  Main().TBItem9Click();
  EXPECT_NE(W.AboutBox->RichEdit1->toPlainText().toStdString().find("Licence agreement"), std::string::npos);
  Main().FormHelp();
  EXPECT_EQ(Main().HelpWindow->windowTitle().toStdString(), "Kelvo help");
  EXPECT_EQ(Main().HelpWindow->Browser->toPlainText().toStdString(), "English help");
  Main().HelpWindow->close();
}

TEST_F(TranslationTest, UnderARussianLocaleEverythingStaysRussian) {
  TLocale locale(std::nullopt, std::nullopt, "ru_RU.UTF-8");
  EXPECT_FALSE(InstallTranslation(*qApp));
  WriteHelpPages();
  Start();
  EXPECT_EQ(Main().windowTitle().toStdString(), "Kelvo - программа инициализации модемов");
  EXPECT_EQ(Main().FileMenu->title().toStdString(), "Файл");
  EXPECT_EQ(Main().Action(TKelvoAction::kaRunScript)->text().toStdString(), "Выполнить сценарий");
  EXPECT_EQ(Main().BottomPane->tabText(1).toStdString(), "Протокол");
  Select("zyxel", "Init");
  QTest::keyClick(Main().TreeView, Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(Main().LastBox(), "Выберите последовательный порт, к которому подключен настраиваемый модем");
  Main().FormHelp();
  EXPECT_EQ(Main().HelpWindow->windowTitle().toStdString(), "Справка программы Kelvo");
  EXPECT_EQ(Main().HelpWindow->Browser->toPlainText().toStdString(), "Справка");
  Main().HelpWindow->close();
}
