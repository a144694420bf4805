#include "modem.h"

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

// Sends one command line and returns the answer, echo left out.
std::string Answer(TModemSimulator& modem, const std::string& line, uint32_t speed = 9600) {
  return modem.Receive(line + "\r", speed).Answer;
}

}  // namespace

TEST(Modem, AnswersAtWithOkAndEchoesWhatItReceives) {
  TModemSimulator modem;
  TModemOutput out = modem.Receive("AT\r", 9600);
  EXPECT_EQ(out.Echo, "AT\r");
  EXPECT_EQ(out.Answer, "\r\nOK\r\n");
  EXPECT_EQ(Answer(modem, "at"), "\r\nOK\r\n");
  EXPECT_EQ(Answer(modem, "AT&C1&D2 S0=0 X4"), "\r\nOK\r\n");
  EXPECT_EQ(Answer(modem, "ATJ"), "\r\nERROR\r\n");
  EXPECT_EQ(Answer(modem, "ATE2"), "\r\nERROR\r\n");
  EXPECT_EQ(Answer(modem, "hello"), "");  // not a command line
}

TEST(Modem, EchoAndAnswersKeepTheOrderOfTheLines) {
  TModemSimulator modem;
  TModemOutput out = modem.Receive("AT\rATJ\r", 9600);
  ASSERT_EQ(out.Parts.size(), 4u);
  EXPECT_EQ(out.Parts[0].Bytes, "AT\r");
  EXPECT_TRUE(out.Parts[1].IsAnswer);
  EXPECT_EQ(out.Parts[1].Bytes, "\r\nOK\r\n");
  EXPECT_EQ(out.Parts[2].Bytes, "ATJ\r");
  EXPECT_EQ(out.Parts[3].Bytes, "\r\nERROR\r\n");
}

TEST(Modem, CommandLineMayArriveInPiecesWithCrLf) {
  TModemSimulator modem;
  EXPECT_EQ(modem.Receive("A", 9600).Answer, "");
  EXPECT_EQ(modem.Receive("T\r", 9600).Answer, "\r\nOK\r\n");
  // The LF after CR is not part of the next line; a backspace takes back a character.
  EXPECT_EQ(modem.Receive("\nATX\bZ\r\n", 9600).Answer, "\r\nOK\r\n");
}

TEST(Modem, EchoAndResultFormsFollowTheCommands) {
  TModemSimulator modem;
  EXPECT_EQ(modem.Receive("ATE0\r", 9600).Echo, "ATE0\r");  // echoed before it takes effect
  EXPECT_EQ(modem.Receive("AT\r", 9600).Echo, "");
  EXPECT_EQ(Answer(modem, "ATV0"), "0\r");
  EXPECT_EQ(Answer(modem, "ATJ"), "4\r");
  EXPECT_EQ(Answer(modem, "ATQ1"), "");
  EXPECT_EQ(Answer(modem, "AT"), "");
  EXPECT_EQ(Answer(modem, "ATZ"), "\r\nOK\r\n");  // back to E1 V1 Q0
  EXPECT_TRUE(modem.Echo());
  Answer(modem, "ATE0V0Q1");
  EXPECT_EQ(Answer(modem, "AT&F"), "\r\nOK\r\n");
  EXPECT_TRUE(modem.Echo() && modem.Verbose() && !modem.Quiet());
}

TEST(Modem, IdentificationRegistersDialAndRepeat) {
  TModemOptions options;
  options.Ident = "TEST MODEM";
  TModemSimulator modem(options);
  EXPECT_EQ(Answer(modem, "ATI"), "\r\nTEST MODEM\r\n\r\nOK\r\n");
  EXPECT_EQ(Answer(modem, "ATS7=45S7?"), "\r\n045\r\n\r\nOK\r\n");
  EXPECT_EQ(Answer(modem, "ATS7=300"), "\r\nERROR\r\n");
  EXPECT_EQ(Answer(modem, "ATDT5551234"), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(Answer(modem, "A/"), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(Answer(modem, "ATV0I"), "TEST MODEM\r\n0\r");
}

TEST(Modem, DialModesStoredNumbersAndExtendedCommands) {
  TModemSimulator modem;
  EXPECT_EQ(Answer(modem, "ATP"), "\r\nOK\r\n");
  EXPECT_EQ(Answer(modem, "ATT&W"), "\r\nOK\r\n");
  EXPECT_EQ(Answer(modem, "AT&Z0=5551234"), "\r\nOK\r\n");
  EXPECT_EQ(Answer(modem, "AT+IPR=9600;E0"), "\r\nOK\r\n");
  EXPECT_FALSE(modem.Echo());  // the command after the extended one ran too
  EXPECT_EQ(Answer(modem, "AT&Y"), "\r\nERROR\r\n");
}

TEST(Modem, AnswersOnlyAtItsLineSpeed) {
  TModemOptions options;
  options.AnswerSpeed = 19200;
  TModemSimulator modem(options);
  TModemOutput out = modem.Receive("AT\r", 9600);
  EXPECT_EQ(out.Echo, "");
  EXPECT_EQ(out.Answer, "");
  // What arrived at the wrong speed is not the start of the next line.
  modem.Receive("A", 9600);
  EXPECT_EQ(Answer(modem, "AT", 19200), "\r\nOK\r\n");
}

TEST(Modem, SilentNoCrAndBlankLineOptions) {
  TModemOptions options;
  options.Silent = true;
  TModemSimulator silent(options);
  TModemOutput out = silent.Receive("AT\r", 9600);
  EXPECT_EQ(out.Echo + out.Answer, "");

  options = {};
  options.NoTrailingCR = true;
  TModemSimulator noCr(options);
  EXPECT_EQ(Answer(noCr, "AT"), "\r\nOK");
  EXPECT_EQ(Answer(noCr, "ATV0"), "0");

  options = {};
  options.BlankLines = 2;
  TModemSimulator blank(options);
  EXPECT_EQ(Answer(blank, "AT"), "\r\n\r\n\r\nOK\r\n");
}

TEST(Modem, OverlongLineIsCutAndStillAnswered) {
  TModemSimulator modem;
  std::string line = "AT" + std::string(1000, 'X');
  EXPECT_EQ(Answer(modem, line), "\r\nOK\r\n");
}
