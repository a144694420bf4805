// The Debian package's files as the desktop, AppStream, man and Debian's own checker see them. The
// package is made by CPack from this build tree with the project's package configuration; each check
// is skipped with a message when its tool is missing (tools/install-deps.sh installs them all).
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "xml/temp_dir.h"

using kelvo::testing::ReadBytes;
using kelvo::testing::TempDir;
namespace fs = std::filesystem;

namespace {

struct TResult {
  int Exit;
  std::string Output;  // standard output and errors together
};

TResult Shell(const std::string& command) {
  std::string line = "(" + command + ") 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(line.c_str(), "r"), ::pclose);
  std::string output;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) output.append(buffer, n);
  int status = ::pclose(pipe.release());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

bool HasTool(const std::string& tool) {
  return Shell("command -v " + tool + " >/dev/null").Exit == 0;
}

#define REQUIRE_TOOL(tool) \
  if (!HasTool(tool)) GTEST_SKIP() << tool " is not installed (tools/install-deps.sh installs it)"

const std::string kGenerated = KELVO_BINARY_DIR "/install-files";

// The package, made once per test program run.
class DebianPackage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!HasTool("dpkg-deb") || !HasTool("dpkg-shlibdeps")) return;
    Dir = new TempDir;
    Made = Shell(std::string("cd ") + Dir->Path().string() + " && " + CPACK_COMMAND + " -G DEB --config " +
                 KELVO_BINARY_DIR "/CPackConfig.cmake -B " + Dir->Path().string());
    for (const auto& entry : fs::directory_iterator(Dir->Path())) {
      if (entry.path().extension() == ".deb") Deb = entry.path().string();
    }
  }
  static void TearDownTestSuite() { delete Dir; }
  void SetUp() override {
    if (Dir == nullptr) GTEST_SKIP() << "dpkg-deb or dpkg-shlibdeps is not installed (Debian: dpkg-dev)";
    ASSERT_FALSE(Deb.empty()) << Made.Output;
  }

  static inline TempDir* Dir = nullptr;
  static inline TResult Made;
  static inline std::string Deb;
};

}  // namespace

TEST_F(DebianPackage, IsNamedAfterTheVersionAndHoldsEveryFileInItsPlace) {
  std::string arch = Shell("dpkg --print-architecture").Output;
  arch.erase(arch.find_last_not_of('\n') + 1);
  EXPECT_EQ(fs::path(Deb).filename().string(), "kelvo_" KELVO_VERSION "_" + arch + ".deb");
  std::string files = Shell("dpkg-deb -c " + Deb + " | awk '{print $6}'").Output;
  std::vector<std::string> expected{"./usr/bin/kelvo",
                                    "./usr/bin/kelvo-run",
                                    "./usr/bin/kelvo-script",
                                    "./usr/bin/modemsim",
                                    "./usr/share/kelvo/kelvo.xml",
                                    "./usr/share/kelvo/kelvo.html",
                                    "./usr/share/applications/org.kelvo.Kelvo.desktop",
                                    "./usr/share/metainfo/org.kelvo.Kelvo.metainfo.xml",
                                    "./usr/share/icons/hicolor/scalable/apps/kelvo.svg",
                                    "./usr/share/doc/kelvo/copyright",
                                    "./usr/share/doc/kelvo/changelog.gz",
                                    "./usr/share/doc/kelvo/99-kelvo-modemmanager.rules"};
  for (const char* size : {"16", "22", "24", "32", "48", "64", "128", "256"}) {
    expected.push_back(std::string("./usr/share/icons/hicolor/") + size + "x" + size + "/apps/kelvo.png");
  }
  for (const char* page : {"kelvo", "kelvo-run", "kelvo-script", "modemsim"}) {
    expected.push_back(std::string("./usr/share/man/man1/") + page + ".1.gz");
  }
  for (const std::string& file : expected) EXPECT_NE(files.find(file + "\n"), std::string::npos) << file;
  EXPECT_EQ(files.find("/usr/local"), std::string::npos) << files;

  TResult control = Shell("dpkg-deb -f " + Deb + " Package Version Architecture Depends Section");
  EXPECT_NE(control.Output.find("Package: kelvo\nVersion: " KELVO_VERSION "\n"), std::string::npos)
      << control.Output;
  // The dependencies come from the programs' own libraries.
  EXPECT_NE(control.Output.find("libqt6widgets6"), std::string::npos) << control.Output;
  EXPECT_NE(control.Output.find("libudev1"), std::string::npos) << control.Output;
}

TEST_F(DebianPackage, LintianReportsNoErrors) {
  REQUIRE_TOOL("lintian");
  TResult r = Shell("lintian --allow-root --no-tag-display-limit " + Deb);
  for (size_t at = 0; (at = r.Output.find("E: ", at)) != std::string::npos; ++at) {
    if (at == 0 || r.Output[at - 1] == '\n') ADD_FAILURE() << r.Output;
  }
  RecordProperty("lintian", r.Output);
  std::printf("lintian:\n%s", r.Output.c_str());
}

TEST(PackageFiles, DesktopEntryIsValidWithRussianAndEnglishNames) {
  REQUIRE_TOOL("desktop-file-validate");
  const std::string entry = KELVO_DATA_DIR "/org.kelvo.Kelvo.desktop";
  TResult r = Shell("desktop-file-validate " + entry);
  EXPECT_EQ(r.Exit, 0) << r.Output;
  EXPECT_EQ(r.Output.find("error:"), std::string::npos) << r.Output;
  std::string text = ReadBytes(entry);
  for (const char* key :
       {"\nName=Kelvo\n", "\nGenericName=Modem Initialisation\n", "\nGenericName[ru]=Инициализация модемов\n",
        "\nComment[ru]=", "\nIcon=kelvo\n", "\nExec=kelvo\n", "\nCategories=Utility;System;\n"}) {
    EXPECT_NE(text.find(key), std::string::npos) << key;
  }
}

TEST(PackageFiles, AppStreamMetadataValidates) {
  REQUIRE_TOOL("appstreamcli");
  TResult r = Shell("appstreamcli validate --no-net " + kGenerated + "/org.kelvo.Kelvo.metainfo.xml");
  EXPECT_EQ(r.Exit, 0) << r.Output;
  EXPECT_NE(ReadBytes(kGenerated + "/org.kelvo.Kelvo.metainfo.xml").find("version=\"" KELVO_VERSION "\""),
            std::string::npos);
}

// The options a program's own usage text names: every "--name" in it.
std::vector<std::string> UsageOptions(const std::string& command) {
  std::string usage = Shell(command).Output;
  std::vector<std::string> options;
  for (size_t at = usage.find("--"); at != std::string::npos; at = usage.find("--", at + 2)) {
    size_t end = at + 2;
    while (end < usage.size() && (std::islower(static_cast<unsigned char>(usage[end])) || usage[end] == '-'))
      ++end;
    if (end > at + 2 && (at == 0 || usage[at - 1] != '-')) options.push_back(usage.substr(at, end - at));
  }
  return options;
}

// Every option that a program's usage text names is in its manual page, and man has nothing to say.
TEST(PackageFiles, ManualPagesFormatWithoutWarningsAndNameEveryOption) {
  REQUIRE_TOOL("man");
  const std::vector<std::pair<std::string, std::vector<std::string>>> pages{
      {"kelvo", {"SetXmlVersion="}},
      {"kelvo-run", UsageOptions(KELVO_RUN_PATH " --help")},
      {"kelvo-script", UsageOptions(KELVO_SCRIPT_PATH)},
      {"modemsim", UsageOptions(MODEMSIM_PATH " --help")}};
  EXPECT_GE(pages[1].second.size(), 15u);
  EXPECT_EQ(pages[2].second.size(), 3u);
  EXPECT_GE(pages[3].second.size(), 11u);
  for (const auto& [page, options] : pages) {
    const std::string file = kGenerated + "/" + page + ".1";
    TResult r = Shell("MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l " + file + " 2>&1 >/dev/null");
    EXPECT_EQ(r.Output, "") << page;
    EXPECT_EQ(r.Exit, 0) << page;
    std::string text = Shell("MANWIDTH=200 LC_ALL=C.UTF-8 man -l " + file + " | col -b").Output;
    for (const char* section : {"SYNOPSIS", "OPTIONS", "EXIT STATUS", "ENVIRONMENT", "FILES", "EXAMPLE"}) {
      EXPECT_NE(text.find(section), std::string::npos) << page << ": " << section;
    }
    EXPECT_NE(text.find("KELVO_PORTS"), std::string::npos) << page;
    for (const std::string& option : options) {
      EXPECT_NE(text.find(option), std::string::npos) << page << ": " << option;
    }
  }
}
