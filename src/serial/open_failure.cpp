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

std::string NotFound() {
  return "порт не найден. Возможно, модем отключён: проверьте кабель и питание модема, затем выберите "
         "порт в списке заново (F5 обновляет список).";
}

std::string NotAllowed(const std::string& devicePath) {
  struct stat st {};
  bool known = ::stat(devicePath.c_str(), &st) == 0;
  if (known && st.st_gid == 0)
    return "нет прав на работу с портом. Порт принадлежит группе root, вступать в которую не следует: "
           "попросите администратора отдать порт группе dialout (правилом udev с GROUP=\"dialout\") и "
           "добавить вас в эту группу.";
  std::string group = known ? GroupName(st.st_gid) : "dialout";
  return "нет прав на работу с портом. Порт доступен группе " + group +
         ": добавьте себя в неё командой «sudo usermod -a -G " + group + " " + UserName() +
         "» и войдите в систему заново (новая группа действует только после нового входа).";
}

std::string HolderText(const TPortHolder& holder) {
  std::string program = holder.Program.empty() ? "с неизвестным именем" : holder.Program;
  return program + " (pid " + std::to_string(holder.Pid) + ")";
}

std::string Busy(const std::string& devicePath, pid_t lockHolder) {
  std::vector<TPortHolder> holders = FindPortHolders(devicePath);
  if (holders.empty() && lockHolder > 0) holders.push_back({lockHolder, ProgramOfProcess(lockHolder)});
  if (holders.empty())
    return "порт занят другой программой. Закройте программу, которая работает с портом (терминал, "
           "другой экземпляр Kelvo), и повторите попытку.";
  std::string text = holders.size() == 1 ? "порт занят программой " : "порт заняли программы ";
  bool modemManager = false;
  for (size_t i = 0; i < holders.size(); ++i) {
    text += (i > 0 ? ", " : "") + HolderText(holders[i]);
    modemManager = modemManager || holders[i].Program == "ModemManager";
  }
  if (lockHolder > 0) text += ", файл блокировки " + LockDirectory() + "/" + LockFileName(devicePath);
  if (modemManager)
    return text +
           ". ModemManager сам занимает найденные модемы: остановите его командой «sudo systemctl stop "
           "ModemManager» или запретите ему этот порт правилом udev с ID_MM_DEVICE_IGNORE (пример — файл "
           "99-kelvo-modemmanager.rules рядом с программой; см. справку).";
  return text + ". Закройте эту программу и повторите попытку.";
}

std::string NotATerminal(const std::string& devicePath) {
  struct stat st {};
  if (::stat(devicePath.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return "это каталог, а не последовательный порт. Укажите файл устройства, например /dev/ttyUSB0.";
  if (::stat(devicePath.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    return "это обычный файл, а не последовательный порт. Укажите файл устройства, например /dev/ttyUSB0.";
  return "это устройство не является последовательным портом (терминалом).";
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
  return head + Utf8ToAnsi(reason);
}

}  // namespace kelvo
