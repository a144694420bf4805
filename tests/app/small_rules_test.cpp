#include <gtest/gtest.h>

#include "app/error_display.h"
#include "app/error_place.h"
#include "app/kelvo_core.h"
#include "app/program_version.h"
#include "recording_screen.h"
#include "text/cp1251.h"
#include "text/exception.h"

using namespace kelvo;
using kelvo::testing::TRecordingScreen;

TEST(StandardErrorDisplay, FullStopFollowsLettersAndDigitsOnly) {
  EXPECT_EQ(ErrorDisplayText("invalid hex length"), "invalid hex length.");
  EXPECT_EQ(ErrorDisplayText("code 7"), "code 7.");
  EXPECT_EQ(ErrorDisplayText(Utf8ToAnsi("модем не обнаружен")), Utf8ToAnsi("модем не обнаружен."));
  EXPECT_EQ(ErrorDisplayText("done."), "done.");
  EXPECT_EQ(ErrorDisplayText("trailing "), "trailing ");
  EXPECT_EQ(ErrorDisplayText("question?"), "question?.");  // '?' sorts after '.'
  EXPECT_EQ(ErrorDisplayText("list,"), "list,");           // ',' sorts before '.'
  EXPECT_EQ(ErrorDisplayText(""), "");
}

TEST(StandardErrorDisplay, ShowsAnErrorBoxAndIgnoresTheSilentAbort) {
  TRecordingScreen screen;
  ShowException(screen, std::make_exception_ptr(Exception("bad thing")));
  ShowException(screen, std::make_exception_ptr(EAbort()));
  ShowException(screen, std::make_exception_ptr(std::runtime_error("std error")));
  ShowException(screen, std::make_exception_ptr(42));
  ASSERT_EQ(screen.Messages.size(), 3u);
  EXPECT_EQ(screen.Messages[0].Text, "bad thing.");
  EXPECT_EQ(screen.Messages[0].Icon, TMsgIcon::miError);
  EXPECT_EQ(screen.Messages[0].Buttons, TMsgButtons::mbOk);
  EXPECT_EQ(screen.Messages[1].Text, "std error.");
  EXPECT_EQ(screen.Messages[2].Text, "");
}

TEST(CompileErrorPlace, SplitsLineAndColumnAtTheFirstColon) {
  TErrorPlace place = ParseErrorPlace("12:5");
  EXPECT_EQ(place.Line, 12);
  EXPECT_EQ(place.Column, 5);
  EXPECT_EQ(ParseErrorPlace("1:1").Line, 1);
}

TEST(CompileErrorPlace, PartsThatAreNotDecimalNumbersRaiseTheConversionError) {
  try {
    ParseErrorPlace("x:5");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
  }
  EXPECT_THROW(ParseErrorPlace("3"), Exception);
  EXPECT_THROW(ParseErrorPlace("3:4:5"), Exception);
  EXPECT_THROW(ParseErrorPlace("99999999999:1"), Exception);
}

TEST(ProgramVersionText, ScansFourNumbersAndDefaultsToZeros) {
  EXPECT_EQ(VersionText(ParseProgramVersion("1.2.3.4")), "1.2.3.4");
  EXPECT_EQ(VersionText(ParseProgramVersion("")), "0.0.0.0");
  EXPECT_EQ(VersionText(ParseProgramVersion("2.5")), "2.5.0.0");
  EXPECT_NE(VersionText(ProgramVersion()), "0.0.0.0");  // the build compiles its version in
}

TEST(Captions, MainWindowAndEditorCaptions) {
  EXPECT_EQ(AnsiToUtf8(TKelvoCore::MainCaption()), "Kelvo - программа инициализации модемов");
  EXPECT_EQ(AnsiToUtf8(TKelvoCore::EditorCaption("Alpha", "Init")),
            "Kelvo - редактор сценариев: Alpha - \"Init\"");
}
