// Why a port cannot be opened, on real files, real ptys held by real second processes, and real
// lock files: the message keeps its fixed first words, names the device and says what to do.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "holder_process.h"
#include "pty_pair.h"
#include "serial/com_port.h"
#include "serial/uucp_lock.h"
#include "text/cp1251.h"
#include "text/text_translator.h"
#include "xml/temp_dir.h"

using namespace kelvo;
using namespace kelvo::testing;
namespace fs = std::filesystem;
using THold = THolderProcess::THold;

namespace {

const std::string kFixed = "Невозможно открыть COM порт ";

// The message of opening path, as UTF-8, or "opened" (the port is then closed again).
std::string OpenMessage(const std::string& path) {
  TComPort port;
  port.SetEvents({});
  port.SetPortName(path);
  try {
    port.Open();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.PortErrorCode(), 1);
    return AnsiToUtf8(e.Message());
  }
  return "opened";
}

// Every test keeps its lock files in a folder of its own.
class OpenFailure : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("KELVO_LOCK_DIR", Locks.Path().c_str(), 1); }
  void TearDown() override { ::unsetenv("KELVO_LOCK_DIR"); }
  std::string LockOf(const std::string& device) { return Locks.File(LockFileName(device)); }
  static std::string LockContent(pid_t pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return text;
  }

  TempDir Locks;
  TempDir Files;
  TPtyPair Pty;
};

}  // namespace

TEST_F(OpenFailure, AMissingDeviceIsNotFoundAndTheModemMayBeUnplugged) {
  EXPECT_EQ(OpenMessage("/dev/ttyKelvoNone"),
            kFixed +
                "/dev/ttyKelvoNone: порт не найден. Возможно, модем отключён: проверьте кабель и питание "
                "модема, затем выберите порт в списке заново (F5 обновляет список).");
  EXPECT_EQ(OpenMessage("ttyKelvoNone"), OpenMessage("/dev/ttyKelvoNone"));  // a name stands for /dev/NAME
}

TEST_F(OpenFailure, APlainFileOrAFolderIsNotASerialPort) {
  WriteBytes(Files.File("modem.txt"), "AT\r\n");
  EXPECT_EQ(OpenMessage(Files.File("modem.txt")),
            kFixed + Files.File("modem.txt") +
                ": это обычный файл, а не последовательный порт. Укажите файл устройства, например "
                "/dev/ttyUSB0.");
  EXPECT_EQ(OpenMessage(Files.Path().string()),
            kFixed + Files.Path().string() +
                ": это каталог, а не последовательный порт. Укажите файл устройства, например /dev/ttyUSB0.");
  EXPECT_EQ(OpenMessage("/dev/null"),
            kFixed + "/dev/null: это устройство не является последовательным портом (терминалом).");
  EXPECT_TRUE(fs::is_empty(Locks.Path()));  // a failed open leaves no lock behind
}

TEST_F(OpenFailure, AnotherErrorGivesTheSystemsText) {
  // A symbolic link that leads to itself: the system's own words, in the user's language.
  fs::create_symlink(Files.File("loop"), Files.File("loop"));
  EXPECT_EQ(OpenMessage(Files.File("loop")),
            kFixed + Files.File("loop") + ": " + AnsiToUtf8(SystemErrorText(ELOOP)));
}

TEST_F(OpenFailure, APortHeldByAnotherProgramNamesItAndItsPid) {
  THolderProcess holder(Pty.SlavePath(), THold::Flock);
  EXPECT_EQ(OpenMessage(Pty.SlavePath()), kFixed + Pty.SlavePath() + ": порт занят программой sleep (pid " +
                                              std::to_string(holder.Pid()) +
                                              "). Закройте эту программу и повторите попытку.");
}

TEST_F(OpenFailure, AnExclusiveMarkOfAnotherProcessIsRefusedAndKept) {
  THolderProcess holder(Pty.SlavePath(), THold::Exclusive);
  // Run as root, the open itself passes the mark; the port reads it and refuses all the same.
  EXPECT_EQ(OpenMessage(Pty.SlavePath()), kFixed + Pty.SlavePath() + ": порт занят программой sleep (pid " +
                                              std::to_string(holder.Pid()) +
                                              "). Закройте эту программу и повторите попытку.");
  int marked = 0;
  ASSERT_EQ(::ioctl(Pty.Slave(), TIOCGEXCL, &marked), 0);
  EXPECT_EQ(marked, 1);  // the other program's mark is still there
}

TEST_F(OpenFailure, OwnExclusiveMarkIsClearedAtClose) {
  TComPort port;
  port.SetEvents({});
  port.SetPortName(Pty.SlavePath());
  port.Open();
  int marked = 0;
  ASSERT_EQ(::ioctl(Pty.Slave(), TIOCGEXCL, &marked), 0);
  EXPECT_EQ(marked, 1);
  port.Close();
  ASSERT_EQ(::ioctl(Pty.Slave(), TIOCGEXCL, &marked), 0);
  EXPECT_EQ(marked, 0);
}

TEST_F(OpenFailure, ModemManagerHoldingThePortIsToldHowToLeaveItAlone) {
  TempDir bin;
  fs::copy_file("/bin/sleep", bin.File("ModemManager"));
  fs::permissions(bin.File("ModemManager"), fs::perms::owner_all);
  THolderProcess holder(Pty.SlavePath(), THold::Exclusive, bin.File("ModemManager"));
  EXPECT_EQ(
      OpenMessage(Pty.SlavePath()),
      kFixed + Pty.SlavePath() + ": порт занят программой ModemManager (pid " + std::to_string(holder.Pid()) +
          "). ModemManager сам занимает найденные модемы: остановите его командой «sudo systemctl stop "
          "ModemManager» или запретите ему этот порт правилом udev с ID_MM_DEVICE_IGNORE (пример — файл "
          "99-kelvo-modemmanager.rules рядом с программой; см. справку).");
}

namespace {

// The message of opening path in a child process that, when this one runs as root, has become
// nobody first: as root every device opens.
std::string OpenMessageAsUser(const std::string& path) {
  int out[2];
  if (::pipe(out) != 0) return "no pipe";
  pid_t child = ::fork();
  if (child == 0) {
    ::close(out[0]);
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(3);
    ::unsetenv("KELVO_LOCK_DIR");  // nobody may not enter the test's folder
    std::string message = OpenMessage(path);
    (void)!::write(out[1], message.data(), message.size());
    ::_exit(0);
  }
  ::close(out[1]);
  std::string message;
  char buffer[512];
  for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
    message.append(buffer, static_cast<size_t>(n));
  ::close(out[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? message : "child failed";
}

}  // namespace

TEST_F(OpenFailure, PermissionDeniedNamesTheGroupAndTheCommandThatJoinsIt) {
  const bool root = ::geteuid() == 0;
  // The usual set-up of a USB adapter: the group dialout may read and write, nobody else.
  if (root) {
    ASSERT_EQ(::chown(Pty.SlavePath().c_str(), 0, 20), 0);
  }
  ASSERT_EQ(::chmod(Pty.SlavePath().c_str(), root ? 0660 : 0), 0);
  struct stat st {};
  ASSERT_EQ(::stat(Pty.SlavePath().c_str(), &st), 0);
  const std::string group = root ? "dialout" : ::getgrgid(st.st_gid)->gr_name;
  const std::string user = root ? "nobody" : ::getpwuid(::geteuid())->pw_name;
  EXPECT_EQ(OpenMessageAsUser(Pty.SlavePath()),
            kFixed + Pty.SlavePath() + ": нет прав на работу с портом. Порт доступен группе " + group +
                ": добавьте себя в неё командой «sudo usermod -a -G " + group + " " + user +
                "» и войдите в систему заново (новая группа действует только после нового входа).");
}

TEST_F(OpenFailure, APortOfTheRootGroupIsNeverAnsweredWithJoiningIt) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "needs root to give the device to the root group";
  }
  ASSERT_EQ(::chown(Pty.SlavePath().c_str(), 0, 0), 0);
  ASSERT_EQ(::chmod(Pty.SlavePath().c_str(), 0660), 0);
  EXPECT_EQ(OpenMessageAsUser(Pty.SlavePath()),
            kFixed + Pty.SlavePath() +
                ": нет прав на работу с портом. Порт принадлежит группе root, вступать в которую не следует: "
                "попросите администратора отдать порт группе dialout (правилом udev с GROUP=\"dialout\") и "
                "добавить вас в эту группу.");
}

TEST_F(OpenFailure, ALockFileOfALiveProcessRefusesThePort) {
  THolderProcess holder("", THold::Nothing);
  WriteBytes(LockOf(Pty.SlavePath()), LockContent(holder.Pid()));
  EXPECT_EQ(OpenMessage(Pty.SlavePath()), kFixed + Pty.SlavePath() + ": порт занят программой sleep (pid " +
                                              std::to_string(holder.Pid()) + "), файл блокировки " +
                                              LockOf(Pty.SlavePath()) +
                                              ". Закройте эту программу и повторите попытку.");
  EXPECT_EQ(ReadBytes(LockOf(Pty.SlavePath())), LockContent(holder.Pid()));  // not ours: kept
}

TEST_F(OpenFailure, AStaleLockIsRemovedAndTheOpenGoesOn) {
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  WriteBytes(LockOf(Pty.SlavePath()), LockContent(gone));
  TComPort port;
  port.SetEvents({});
  port.SetPortName(Pty.SlavePath());
  port.Open();
  EXPECT_EQ(ReadBytes(LockOf(Pty.SlavePath())), LockContent(::getpid()));
  port.Close();
  EXPECT_FALSE(fs::exists(LockOf(Pty.SlavePath())));
}

TEST_F(OpenFailure, TheLockIsNamedAfterTheDeviceBehindALinkAndHeldWhileOpen) {
  fs::create_symlink(Pty.SlavePath(), Files.File("modem"));
  const std::string expected = "LCK.." + Pty.SlavePath().substr(5, 3) + "_" + Pty.SlavePath().substr(9);
  EXPECT_EQ(LockFileName(Files.File("modem")), expected);  // /dev/pts/N -> LCK..pts_N
  EXPECT_EQ(LockFileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
  TComPort port;
  port.SetEvents({});
  port.SetPortName(Files.File("modem"));
  port.Open();
  EXPECT_EQ(ReadBytes(Locks.File(expected)), LockContent(::getpid()));
  EXPECT_EQ(ReadBytes(Locks.File(expected)).size(), 11u);
  port.Close();
  EXPECT_TRUE(fs::is_empty(Locks.Path()));
}

TEST_F(OpenFailure, WithoutAWritableLockFolderThePortOpensSilently) {
  ::setenv("KELVO_LOCK_DIR", Files.File("absent/locks").c_str(), 1);
  EXPECT_EQ(OpenMessage(Pty.SlavePath()), "opened");
  ::unsetenv("KELVO_LOCK_DIR");
  EXPECT_EQ(LockDirectory(), "/var/lock");
}

// Each sentence reaches the interface's language whole, the device, programs and lock file filled
// in after it is translated: a translator that marks what it was given shows both.
TEST_F(OpenFailure, EverySentenceGoesThroughTheTranslatorWhole) {
  SetTextTranslator([](std::string_view utf8) { return "[" + std::string(utf8) + "]"; });
  THolderProcess holder("", THold::Nothing);
  WriteBytes(LockOf(Pty.SlavePath()), LockContent(holder.Pid()));
  const std::string missing = OpenMessage("/dev/ttyKelvoNone");
  const std::string busy = OpenMessage(Pty.SlavePath());
  SetTextTranslator(nullptr);
  EXPECT_EQ(missing,
            "[Невозможно открыть COM порт] /dev/ttyKelvoNone: [порт не найден. Возможно, модем отключён: "
            "проверьте кабель и питание модема, затем выберите порт в списке заново (F5 обновляет список).]");
  EXPECT_EQ(busy, "[Невозможно открыть COM порт] " + Pty.SlavePath() +
                      ": [порт занят программой sleep (pid " + std::to_string(holder.Pid()) +
                      ")][, файл блокировки " + LockOf(Pty.SlavePath()) +
                      "][. Закройте эту программу и повторите попытку.]");
}
