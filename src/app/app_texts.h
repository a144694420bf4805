// The application's own captions and messages, written here in UTF-8; they reach the user through
// Ansi() (text/text_translator.h), in the interface's language.
#pragma once

#include <string_view>

#include "text/text_translator.h"

namespace kelvo {

namespace texts {

inline constexpr std::string_view kAppTitle = "Kelvo";
inline constexpr std::string_view kLibraryFileName = "kelvo.xml";
inline constexpr std::string_view kHelpFileName = "kelvo.html";
inline constexpr std::string_view kEnglishHelpFileName = "kelvo_en.html";
inline constexpr std::string_view kStampingPrefix = "SetXmlVersion=";

// Start-up.
inline constexpr std::string_view kLibraryDamaged =
    "Файл с настройками модемов 'kelvo.xml' поврежден или отсутствует";
inline constexpr std::string_view kLibraryPathsTried = "не найден ни один из файлов:";
inline constexpr std::string_view kLibraryCopyFailed = "не удалось создать библиотеку пользователя ";
inline constexpr std::string_view kNoHomeFolder =
    "(папка пользователя неизвестна: не заданы HOME и XDG_DATA_HOME)";
inline constexpr std::string_view kModemNameNotUnique = "Modem name is non-unique or absent";
inline constexpr std::string_view kChoosePortItem = "(выберите порт)";
inline constexpr std::string_view kRescanPortsItem = "(обновить список портов — F5)";
inline constexpr std::string_view kMainCaptionSuffix = " - программа инициализации модемов";

// Library editing.
inline constexpr std::string_view kNewModemName = "Новый модем";
inline constexpr std::string_view kNewScriptName = "Новый сценарий";
inline constexpr std::string_view kInvalidName = "недопустимое название";
inline constexpr std::string_view kDuplicateModemName = "Модем с названием \"%s\" уже есть в библиотеке";
inline constexpr std::string_view kModemProtected = "Данный модем защищен от удаления";
inline constexpr std::string_view kScriptProtected = "Данный сценарий защищен от удаления";
inline constexpr std::string_view kScriptWriteProtected = "Данный сценарий защищен от записи";
inline constexpr std::string_view kConfirmRemoveModem = "Удалить модем и сценарии его настройки ?";
inline constexpr std::string_view kConfirmRemoveScript = "Удалить сценарий настройки ?";
inline constexpr std::string_view kEditorCaptionPrefix = "Kelvo - редактор сценариев: ";

// Script editor and run.
inline constexpr std::string_view kSaveChanges = "Сохранить изменения?";
inline constexpr std::string_view kCompileError = "Ошибка компиляции скрипта";
inline constexpr std::string_view kChoosePort =
    "Выберите последовательный порт, к которому подключен настраиваемый модем";
inline constexpr std::string_view kModemNotFound = "модем не обнаружен";
inline constexpr std::string_view kRunCompleted = "сценарий выполнен за %s с";
inline constexpr std::string_view kRunStopped = "выполнение сценария прервано пользователем";
inline constexpr std::string_view kRunTimedOut = "превышено время выполнения сценария";
inline constexpr std::string_view kStopAndQuit = "Прервать выполнение сценария и выйти?";

// The terminal.
inline constexpr std::string_view kTerminalOpen = "терминал открыт, команды вводятся внизу: ";
inline constexpr std::string_view kTerminalClosed = "терминал закрыт";
inline constexpr std::string_view kPortHeldByTerminal =
    "порт занят терминалом: сначала закройте терминал (Esc)";

// Modem line and detection.
inline constexpr std::string_view kSearchingModem = "поиск модема: ";
inline constexpr std::string_view kSearchStepOf = " из ";
inline constexpr std::string_view kModemFound = "модем обнаружен";
inline constexpr std::string_view kFixedSpeed = "скорость задана, модем не ищется: ";
inline constexpr std::string_view kNoModemLines =
    ": у порта %s нет линий управления модемом (DTR, RTS, BREAK) — это псевдотерминал или переходник "
    "без этих линий";

// Host functions.
inline constexpr std::string_view kScriptFailed = "ошибка выполнения сценария";
inline constexpr std::string_view kNoExpectedAnswer = "нет ожидаемого ответа модема '";
inline constexpr std::string_view kCancelledByUser = "отменено пользователем";
inline constexpr std::string_view kUnsupportedSpeed = "неподдерживаемая скорость в функции SetBaudRate";

}  // namespace texts
}  // namespace kelvo
