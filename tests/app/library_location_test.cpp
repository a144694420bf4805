#include "app/library_location.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "library_files.h"
#include "text/cp1251.h"
#include "text/exception.h"

using namespace kelvo;
using namespace kelvo::testing;
namespace fs = std::filesystem;

namespace {

// A program folder, a user's data folder (not yet made) and two shared folders, all empty.
class LibraryLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* dir : {"bin", "shared1", "shared2"}) fs::create_directories(Root.Path() / dir);
    Places = {Root.File("bin"), Root.File("home/.local/share"), {Root.File("shared1"), Root.File("shared2")}};
  }
  std::string UserFile() const { return Root.File("home/.local/share/kelvo/kelvo.xml"); }
  // The message of the start-up error that LocateLibrary raises, as UTF-8 with LF line ends.
  std::string Failure() const {
    try {
      LocateLibrary(Places);
    } catch (const Exception& e) {
      std::string text = AnsiToUtf8(e.Message());
      for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
      return text;
    }
    return "found";
  }

  TempDir Root;
  TLibraryPlaces Places;
  const std::string Shipped = LibraryText("  <Modem Name=\"shipped\"/>\r\n");
};

// Sets an environment variable (or removes it for nullopt) for one scope.
class TEnvVar {
 public:
  TEnvVar(const char* name, std::optional<std::string> value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~TEnvVar() {
    if (FOld) {
      ::setenv(FName, FOld->c_str(), 1);
    } else {
      ::unsetenv(FName);
    }
  }

 private:
  const char* FName;
  std::optional<std::string> FOld;
};

}  // namespace

TEST_F(LibraryLocationTest, FirstStartCopiesTheShippedLibraryIntoNewPrivateFoldersAndLaterStartsKeepEdits) {
  WriteBytes(Root.File("shared2/kelvo.xml"), Shipped);
  TLibraryLocation first = LocateLibrary(Places);
  EXPECT_EQ(first.Path, UserFile());
  EXPECT_TRUE(first.Created);
  EXPECT_EQ(ReadBytes(UserFile()), Shipped);
  struct stat info {};
  ASSERT_EQ(::stat(Root.File("home/.local/share/kelvo").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(::stat(Root.File("home").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  WriteBytes(UserFile(), "edited by the user");
  WriteBytes(Root.File("shared1/kelvo.xml"), Shipped);
  TLibraryLocation second = LocateLibrary(Places);
  EXPECT_EQ(second.Path, UserFile());
  EXPECT_FALSE(second.Created);
  EXPECT_EQ(ReadBytes(UserFile()), "edited by the user");
}

TEST_F(LibraryLocationTest, TheFirstSharedFolderHoldingALibraryIsCopied) {
  WriteBytes(Root.File("shared1/kelvo.xml"), "first");
  WriteBytes(Root.File("shared2/kelvo.xml"), "second");
  EXPECT_EQ(LocateLibrary(Places).Path, UserFile());
  EXPECT_EQ(ReadBytes(UserFile()), "first");
}

TEST_F(LibraryLocationTest, ThePortableLayoutWinsEvenOverAUsersLibraryAndCopiesNothing) {
  WriteBytes(Root.File("bin/kelvo.xml"), "portable");
  WriteBytes(Root.File("shared1/kelvo.xml"), Shipped);
  TLibraryLocation found = LocateLibrary(Places);
  EXPECT_EQ(found.Path, Root.File("bin/kelvo.xml"));
  EXPECT_FALSE(found.Created);
  EXPECT_FALSE(fs::exists(UserFile()));

  fs::create_directories(Root.Path() / "home/.local/share/kelvo");
  WriteBytes(UserFile(), "user's");
  EXPECT_EQ(LocateLibrary(Places).Path, Root.File("bin/kelvo.xml"));
  // A dangling link beside the program still claims the portable layout: loading it then says the
  // file is missing, instead of quietly opening another library.
  fs::remove(Root.File("bin/kelvo.xml"));
  fs::create_symlink(Root.File("nowhere.xml"), Root.File("bin/kelvo.xml"));
  EXPECT_EQ(LocateLibrary(Places).Path, Root.File("bin/kelvo.xml"));
}

TEST_F(LibraryLocationTest, AUsersDamagedLibraryIsKeptAsItIs) {
  fs::create_directories(Root.Path() / "home/.local/share/kelvo");
  WriteBytes(UserFile(), "<not xml");
  WriteBytes(Root.File("shared1/kelvo.xml"), Shipped);
  EXPECT_EQ(LocateLibrary(Places).Path, UserFile());
  EXPECT_EQ(ReadBytes(UserFile()), "<not xml");
}

TEST_F(LibraryLocationTest, NoLibraryAnywhereNamesEveryPathTried) {
  EXPECT_EQ(Failure(),
            "Файл с настройками модемов 'kelvo.xml' поврежден или отсутствует\n"
            "не найден ни один из файлов:\n" +
                Root.File("bin/kelvo.xml") + "\n" + UserFile() + "\n" + Root.File("shared1/kelvo.xml") +
                "\n" + Root.File("shared2/kelvo.xml"));
  EXPECT_FALSE(fs::exists(Root.Path() / "home"));
  // A folder of that name is no library either.
  fs::create_directories(Root.Path() / "shared1/kelvo.xml");
  EXPECT_NE(Failure().find(Root.File("shared1/kelvo.xml")), std::string::npos);

  Places.UserDataDir.clear();
  EXPECT_EQ(Failure(),
            "Файл с настройками модемов 'kelvo.xml' поврежден или отсутствует\n"
            "не найден ни один из файлов:\n" +
                Root.File("bin/kelvo.xml") +
                "\n(папка пользователя неизвестна: не заданы HOME и XDG_DATA_HOME)");
}

TEST_F(LibraryLocationTest, ACopyThatCannotBeMadeSaysWhereAndWhyAndLeavesNothingBehind) {
  WriteBytes(Root.File("shared1/kelvo.xml"), Shipped);
  WriteBytes(Root.File("home"), "a file where the home folder should be");
  std::string message = Failure();
  EXPECT_EQ(message.rfind("Файл с настройками модемов 'kelvo.xml' поврежден или отсутствует\n"
                          "не удалось создать библиотеку пользователя " +
                              UserFile() + " <- " + Root.File("shared1/kelvo.xml") +
                              "\nCannot create folder \"" + Root.File("home/.local") + "\".",
                          0),
            0u)
      << message;

  fs::remove(Root.File("home"));
  fs::create_directories(Root.Path() / "home/.local/share/kelvo");
  {
    TDiskRefusesWrites full;
    EXPECT_NE(Failure().find("Cannot create file"), std::string::npos);
  }
  EXPECT_TRUE(fs::is_empty(Root.Path() / "home/.local/share/kelvo"));
}

TEST(LibraryPlaces, UserDataFollowsTheXdgRule) {
  TEnvVar home("HOME", "/home/someone");
  {
    TEnvVar xdg("XDG_DATA_HOME", "/data/mine");
    EXPECT_EQ(UserDataHome(), "/data/mine");
    EXPECT_EQ(LibraryPlacesFor("/opt/kelvo/bin").UserDataDir, "/data/mine");
  }
  {
    TEnvVar xdg("XDG_DATA_HOME", "relative/data");  // not absolute: ignored, as the rule says
    EXPECT_EQ(UserDataHome(), "/home/someone/.local/share");
  }
  {
    TEnvVar xdg("XDG_DATA_HOME", "");
    EXPECT_EQ(UserDataHome(), "/home/someone/.local/share");
  }
  TEnvVar xdg("XDG_DATA_HOME", std::nullopt);
  EXPECT_EQ(UserDataHome(), "/home/someone/.local/share");
  TEnvVar noHome("HOME", std::nullopt);  // the password database still knows the user's home
  EXPECT_EQ(UserDataHome().front(), '/');
  EXPECT_TRUE(UserDataHome().ends_with("/.local/share")) << UserDataHome();
}

TEST(LibraryPlaces, SharedDataLiesBesideTheBinFolderThenInTheConfiguredPrefix) {
  std::vector<std::string> dirs = SharedDataDirs("/opt/kelvo/bin");
  ASSERT_EQ(dirs.size(), 2u);
  EXPECT_EQ(dirs[0], "/opt/kelvo/share/kelvo");
  EXPECT_TRUE(fs::path(dirs[1]).is_absolute());
  EXPECT_EQ(fs::path(dirs[1]).filename(), "kelvo");
  // The configured prefix's own bin folder gives the same folder once, not twice.
  std::vector<std::string> installed =
      SharedDataDirs((fs::path(dirs[1]).parent_path().parent_path() / "bin").string());
  EXPECT_EQ(installed, std::vector<std::string>{dirs[1]});
}

TEST_F(LibraryLocationTest, TheHelpPageIsBesideTheProgramElseShipped) {
  EXPECT_EQ(LocateHelpFile(Places), Root.File("bin/kelvo.html"));
  WriteBytes(Root.File("shared2/kelvo.html"), "<html/>");
  EXPECT_EQ(LocateHelpFile(Places), Root.File("shared2/kelvo.html"));
  WriteBytes(Root.File("bin/kelvo.html"), "<html/>");
  EXPECT_EQ(LocateHelpFile(Places), Root.File("bin/kelvo.html"));
}
