#include "serial/open_failure.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "serial/com_error.h"
#include "serial/port_holders.h"
#include "serial/uucp_lock.h"
#include "text/cp1251.h"
#include "text/exception.h"
#include "text/text_translator.h"

namespace kelvo {

namespace {

std::string GroupName(gid_t gid) {
  std::vector<char> buffer(16384);
  group entry{};
  group* found = nullptr;
  if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
    return std::to_string(gid);
  return found->gr_name;
}

std::string UserName() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
    return "$USER";
  return found->pw_name;
}

// Each reason is one whole sentence of the translation file, its variable parts in %s, and comes
// back as the program's 8-bit text.
std::string NotFound() {
  return Ansi(
      "порт не найден. Возможно, модем отключён: проверьте кабель и питание модема, затем выберите "
      "порт в списке заново (F5 обновляет список).");
}

std::string NotAllowed(const std::string& devicePath) {
  struct stat st {};
  bool known = ::stat(devicePath.c_str(), &st) == 0;
  if (known && st.st_gid == 0)
    return Ansi(
        "нет прав на работу с портом. Порт принадлежит группе root, вступать в которую не следует: "
        "попросите администратора отдать порт группе dialout (правилом udev с GROUP=\"dialout\") и "
        "добавить вас в эту группу.");
  std::string group = Utf8ToAnsi(known ? GroupName(st.st_gid) : "dialout");
  return FormatMessage(Ansi("нет прав на работу с портом. Порт доступен группе %s: добавьте себя в неё "
                            "командой «sudo usermod -a -G %s %s» и войдите в систему заново (новая "
                            "группа действует только после нового входа)."),
                       {group, group, Utf8ToAnsi(UserName())});
}

std::string HolderText(const TPortHolder& holder) {
  std::string program = holder.Program.empty() ? Ansi("с неизвестным именем") : Utf8ToAnsi(holder.Program);
  return program + " (pid " + std::to_string(holder.Pid) + ")";
}

std::string Busy(const std::string& devicePath, pid_t lockHolder) {
  std::vector<TPortHolder> holders = FindPortHolders(devicePath);
  if (holders.empty() && lockHolder > 0) holders.push_back({lockHolder, ProgramOfProcess(lockHolder)});
  if (holders.empty())
    return Ansi(
        "порт занят другой программой. Закройте программу, которая работает с портом (терминал, "
        "другой экземпляр Kelvo), и повторите попытку.");
  std::string programs;
  bool modemManager = false;
  for (size_t i = 0; i < holders.size(); ++i) {
    programs += (i > 0 ? ", " : "") + HolderText(holders[i]);
    modemManager = modemManager || holders[i].Program == "ModemManager";
  }
  std::string text = FormatMessage(
      Ansi(holders.size() == 1 ? "порт занят программой %s" : "порт заняли программы %s"), {programs});
  if (lockHolder > 0)
    text += FormatMessage(Ansi(", файл блокировки %s"),
                          {Utf8ToAnsi(LockDirectory() + "/" + LockFileName(devicePath))});
  if (modemManager)
    return text +
           Ansi(
               ". ModemManager сам занимает найденные модемы: остановите его командой «sudo systemctl stop "
               "ModemManager» или запретите ему этот порт правилом udev с ID_MM_DEVICE_IGNORE (пример — файл "
               "99-kelvo-modemmanager.rules рядом с программой; см. справку).");
  return text + Ansi(". Закройте эту программу и повторите попытку.");
}

std::string NotATerminal(const std::string& devicePath) {
  struct stat st {};
  if (::stat(devicePath.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return Ansi("это каталог, а не последовательный порт. Укажите файл устройства, например /dev/ttyUSB0.");
  if (::stat(devicePath.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    return Ansi(
        "это обычный файл, а не последовательный порт. Укажите файл устройства, например /dev/ttyUSB0.");
  return Ansi("это устройство не является последовательным портом (терминалом).");
}

std::string Reason(const std::string& devicePath, int error, pid_t lockHolder) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return NotFound();
    case EACCES:
    case EPERM:
      return NotAllowed(devicePath);
    case EBUSY:
      return Busy(devicePath, lockHolder);
    case ENOTTY:
    case EISDIR:
      return NotATerminal(devicePath);
    default:
      return {};
  }
}

}  // namespace

std::string OpenFailureText(const std::string& devicePath, int error, pid_t lockHolder) {
  std::string head = ComErrorText(CError_OpenFailed) + " " + Utf8ToAnsi(devicePath) + ": ";
  std::string reason = Reason(devicePath, error, lockHolder);
  if (reason.empty()) return head + SystemErrorText(error);
  return head + reason;
}

}  // namespace kelvo
