#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "ui_fixture.h"

using namespace kelvo;
using namespace kelvo::testing;

TEST_F(UiTest, InputDialogStartsEmptyEachTimeAndCloseCountsAsCancel) {
  Start();
  std::string answer;
  WhenModal([&] {
    EXPECT_EQ(W.InputDialog->windowTitle().toStdString(), "Number");
    EXPECT_EQ(W.InputDialog->StaticText1->text().toStdString(), "Телефон?");
    QTest::keyClicks(W.InputDialog->Edit1, "123");
    W.InputDialog->Button1->click();
  });
  EXPECT_TRUE(Main().AskUserString("Number", Utf8ToAnsi("Телефон?"), answer));
  EXPECT_EQ(answer, "123");
  WhenModal([&] {
    EXPECT_TRUE(W.InputDialog->Edit1->text().isEmpty());
    W.InputDialog->close();
  });
  EXPECT_FALSE(Main().AskUserString("Number", "again", answer));
  WhenModal([&] { W.InputDialog->Button2->click(); });
  EXPECT_FALSE(Main().AskUserString("Number", "again", answer));
}

TEST_F(UiTest, WaitBoxShowsAndHidesItsText) {
  Start();
  Main().ShowWaitBox("");
  EXPECT_FALSE(W.WaitBoxForm->isVisible());
  Main().ShowWaitBox(Utf8ToAnsi("Ждите..."));
  EXPECT_TRUE(W.WaitBoxForm->isVisible());
  EXPECT_EQ(W.WaitBoxForm->Label->text().toStdString(), "Ждите...");
  EXPECT_EQ(W.WaitBoxForm->windowTitle().toStdString(), "Kelvo");
  EXPECT_EQ(W.WaitBoxForm->width(), W.WaitBoxForm->Label->x() + W.WaitBoxForm->Label->width() + 17);
  Main().ShowWaitBox("");
  EXPECT_FALSE(W.WaitBoxForm->isVisible());
}

TEST_F(UiTest, AboutBoxShowsBothVersionsAndRevealsTheHiddenPictureOnlyFromItsCorner) {
  Start();
  TAboutBox& about = *W.AboutBox;
  WhenModal([&] {
    EXPECT_EQ(about.windowTitle().toStdString(), "Kelvo - о программе");
    EXPECT_EQ(about.XmlVersionLabel->text().toStdString(), "v 4.2");
    EXPECT_EQ(about.VersionLabel->text().toStdString(), "v " + VersionText(ProgramVersion()));
    EXPECT_NE(about.VersionLabel->text().toStdString(), "v 0.0.0.0");
    EXPECT_EQ(about.LibraryPathLabel->text().toStdString(), Dir.File("kelvo.xml"));
    QPoint corner(about.Image1->width() - 2, about.Image1->height() - 2);
    QTest::mouseClick(about.Image1, Qt::LeftButton, Qt::ShiftModifier, corner);
    EXPECT_TRUE(about.HiddenPicture->isHidden());
    QTest::mouseClick(about.Image1, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(10, 10));
    EXPECT_TRUE(about.HiddenPicture->isHidden());
    QTest::mouseClick(about.Image1, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, corner);
    EXPECT_FALSE(about.HiddenPicture->isHidden());
    about.OkButton->click();
  });
  Main().TBItem9Click();
  WhenModal([&] { EXPECT_TRUE(about.HiddenPicture->isHidden()); });  // hidden again on every show
  Main().TBItem9Click();
}

// An installed Kelvo has no library beside it: the user's own one opens, stamping writes it, and the
// about box says where it lies.
TEST_F(UiTest, WithoutALibraryBesideItTheWindowUsesTheUsersOwnAndNamesIt) {
  TempDir data;
  std::filesystem::create_directories(data.Path() / "kelvo");
  const std::string userFile = data.File("kelvo/kelvo.xml");
  WriteBytes(userFile, LibraryWith("    <Script Name=\"Mine\"/>\r\n"));
  std::filesystem::remove(Dir.File("kelvo.xml"));
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.Path().string()));
  Start({"SetXmlVersion=7.1"});
  qunsetenv("XDG_DATA_HOME");
  EXPECT_NE(Node("Modem", "Mine"), nullptr);
  EXPECT_NE(ReadBytes(userFile).find("Version=\"7.1\""), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Dir.File("kelvo.xml")));
  WhenModal([&] { EXPECT_EQ(W.AboutBox->LibraryPathLabel->text().toStdString(), userFile); });
  Main().TBItem9Click();
}
