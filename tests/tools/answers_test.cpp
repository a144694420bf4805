// The answers of unattended runs: files read one answer a line, and the file of a port in the
// answers folder.
#include "answers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "text/cp1251.h"
#include "text/exception.h"
#include "xml/temp_dir.h"

namespace kelvo {
namespace {

using testing::TempDir;
using testing::WriteBytes;

TEST(Answers, AFileGivesOneAnswerALineInEitherLineEnding) {
  TempDir dir;
  WriteBytes(dir.File("a.txt"), "5551234\r\n\nДа\nlast");
  EXPECT_EQ(ReadAnswersFile(dir.File("a.txt")),
            (std::vector<std::string>{"5551234", "", Utf8ToAnsi("Да"), "last"}));
  WriteBytes(dir.File("b.txt"), "one\n");  // the line break that ends the file adds no empty answer
  EXPECT_EQ(ReadAnswersFile(dir.File("b.txt")), std::vector<std::string>{"one"});
  WriteBytes(dir.File("c.txt"), "");
  EXPECT_TRUE(ReadAnswersFile(dir.File("c.txt")).empty());
}

TEST(Answers, AnUnreadableFileIsNamedWithTheReason) {
  TempDir dir;
  try {
    ReadAnswersFile(dir.File("missing.txt"));
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()),
              "cannot read the answers file " + dir.File("missing.txt") + ": No such file or directory");
  }
}

TEST(Answers, APortsFileIsNamedAfterThePortWithoutItsFolder) {
  TempDir dir;
  WriteBytes(dir.File("ttyUSB3"), "1\n");
  std::filesystem::create_directory(dir.File("ttyUSB4"));  // a folder is not an answers file
  EXPECT_EQ(PortAnswersFile(dir.File(""), "ttyUSB3"), dir.File("ttyUSB3"));
  EXPECT_EQ(PortAnswersFile(dir.File(""), "/dev/ttyUSB3"), dir.File("ttyUSB3"));
  EXPECT_EQ(PortAnswersFile(dir.File(""), "ttyUSB4"), std::nullopt);
  EXPECT_EQ(PortAnswersFile(dir.File(""), "ttyUSB5"), std::nullopt);
  EXPECT_EQ(PortAnswersFile(dir.File(""), "/dev/"), std::nullopt);
}

}  // namespace
}  // namespace kelvo
