<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>Kelvo</name>
    <message>
        <source>Поиск в справке: слово или имя функции, Enter — следующее</source>
        <translation>Search the help: a word or a function name, Enter for the next</translation>
    </message>
    <message>
        <source>не найдено</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>Лицензионное соглашение

Программа Kelvo предоставляется для настройки модемов, с которыми работает пользователь. Пользователь вправе устанавливать программу на любое число своих компьютеров, пользоваться ею и передавать её другим вместе с этим соглашением.

Библиотека модемов (файл kelvo.xml) принадлежит пользователю: он вправе изменять и распространять свои сценарии настройки. Сценарии, защищённые от изменения, поставляются в том виде, в каком их подготовил составитель библиотеки.

Программа поставляется «как есть». Авторы не отвечают за ущерб, вызванный неверной настройкой модема, перерывами связи или потерей данных. Перед выполнением сценария убедитесь, что выбран нужный порт и что модем можно перенастраивать.</source>
        <translation>Licence agreement

Kelvo is provided for setting up the modems that its user works with. The user may install the program on any number of their own computers, use it and pass it on to others together with this agreement.

The modem library (the file kelvo.xml) belongs to the user: the user may change and distribute their own set-up scripts. Scripts protected against changes are shipped as the library&apos;s author prepared them.

The program is provided &quot;as is&quot;. The authors are not liable for damage caused by a wrong modem setting, interrupted connections or lost data. Before running a script, make sure that the right port is chosen and that the modem may be set up again.</translation>
    </message>
    <message>
        <source>Программа инициализации модемов</source>
        <translation>Modem initialisation program</translation>
    </message>
    <message>
        <source>Файл сценариев</source>
        <translation>Script library</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source> - о программе</source>
        <translation> - about</translation>
    </message>
    <message>
        <source>Справка программы Kelvo</source>
        <translation>Kelvo help</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Остановить</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Выполнить сценарий</source>
        <translation>Run script</translation>
    </message>
    <message>
        <source>выполнить сценарий</source>
        <translation>run the script</translation>
    </message>
    <message>
        <source>Редактировать сценарий</source>
        <translation>Edit script</translation>
    </message>
    <message>
        <source>редактировать сценарий</source>
        <translation>edit the script</translation>
    </message>
    <message>
        <source>Добавить модем</source>
        <translation>Add modem</translation>
    </message>
    <message>
        <source>Удалить модем</source>
        <translation>Remove modem</translation>
    </message>
    <message>
        <source>Добавить сценарий</source>
        <translation>Add script</translation>
    </message>
    <message>
        <source>Удалить сценарий</source>
        <translation>Remove script</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>остановить выполнение сценария (Esc)</source>
        <translation>stop the running script (Esc)</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Сценарий</source>
        <translation>Script</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>О программе...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Описание</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Протокол</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Сохранить протокол</source>
        <translation>Save log</translation>
    </message>
    <message>
        <source>протокол.txt</source>
        <translation>log.txt</translation>
    </message>
    <message>
        <source>Текстовые файлы (*.txt *.log);;Все файлы (*)</source>
        <translation>Text files (*.txt *.log);;All files (*)</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Выделить всё</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Сохранить протокол…</source>
        <translation>Save log…</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Показывать время</source>
        <translation>Show time</translation>
    </message>
    <message>
        <source>Вставить функцию</source>
        <translation>Insert function</translation>
    </message>
    <message>
        <source>Описание сценария</source>
        <translation>Script description</translation>
    </message>
    <message>
        <source>Протокол выполнения</source>
        <translation>Execution log</translation>
    </message>
    <message>
        <source>Файл с настройками модемов &apos;kelvo.xml&apos; поврежден или отсутствует</source>
        <translation>The modem settings file &apos;kelvo.xml&apos; is damaged or missing</translation>
    </message>
    <message>
        <source>не найден ни один из файлов:</source>
        <translation>none of these files was found:</translation>
    </message>
    <message>
        <source>не удалось создать библиотеку пользователя </source>
        <translation>could not create the user&apos;s library </translation>
    </message>
    <message>
        <source>(папка пользователя неизвестна: не заданы HOME и XDG_DATA_HOME)</source>
        <translation>(the user&apos;s folder is unknown: neither HOME nor XDG_DATA_HOME is set)</translation>
    </message>
    <message>
        <source>(выберите порт)</source>
        <translation>(choose a port)</translation>
    </message>
    <message>
        <source>(обновить список портов — F5)</source>
        <translation>(refresh the port list — F5)</translation>
    </message>
    <message>
        <source> - программа инициализации модемов</source>
        <translation> - modem initialisation program</translation>
    </message>
    <message>
        <source>Новый модем</source>
        <translation>New modem</translation>
    </message>
    <message>
        <source>Новый сценарий</source>
        <translation>New script</translation>
    </message>
    <message>
        <source>недопустимое название</source>
        <translation>invalid name</translation>
    </message>
    <message>
        <source>Модем с названием &quot;%s&quot; уже есть в библиотеке</source>
        <translation>The library already has a modem named &quot;%s&quot;</translation>
    </message>
    <message>
        <source>Данный модем защищен от удаления</source>
        <translation>This modem is protected against removal</translation>
    </message>
    <message>
        <source>Данный сценарий защищен от удаления</source>
        <translation>This script is protected against removal</translation>
    </message>
    <message>
        <source>Данный сценарий защищен от записи</source>
        <translation>This script is protected against writing</translation>
    </message>
    <message>
        <source>Удалить модем и сценарии его настройки ?</source>
        <translation>Remove the modem and its set-up scripts?</translation>
    </message>
    <message>
        <source>Удалить сценарий настройки ?</source>
        <translation>Remove the set-up script?</translation>
    </message>
    <message>
        <source>Kelvo - редактор сценариев: </source>
        <translation>Kelvo - script editor: </translation>
    </message>
    <message>
        <source>Сохранить изменения?</source>
        <translation>Save the changes?</translation>
    </message>
    <message>
        <source>Ошибка компиляции скрипта</source>
        <translation>Script compilation error</translation>
    </message>
    <message>
        <source>Выберите последовательный порт, к которому подключен настраиваемый модем</source>
        <translation>Choose the serial port that the modem to set up is connected to</translation>
    </message>
    <message>
        <source>модем не обнаружен</source>
        <translation>modem not found</translation>
    </message>
    <message>
        <source>сценарий выполнен за %s с</source>
        <translation>script completed in %s s</translation>
    </message>
    <message>
        <source>выполнение сценария прервано пользователем</source>
        <translation>script stopped by the user</translation>
    </message>
    <message>
        <source>превышено время выполнения сценария</source>
        <translation>the script ran out of time</translation>
    </message>
    <message>
        <source>Прервать выполнение сценария и выйти?</source>
        <translation>Stop the running script and quit?</translation>
    </message>
    <message>
        <source>поиск модема: </source>
        <translation>searching for the modem: </translation>
    </message>
    <message>
        <source> из </source>
        <translation> of </translation>
    </message>
    <message>
        <source>модем обнаружен</source>
        <translation>modem found</translation>
    </message>
    <message>
        <source>скорость задана, модем не ищется: </source>
        <translation>speed given, no modem search: </translation>
    </message>
    <message>
        <source>: у порта %s нет линий управления модемом (DTR, RTS, BREAK) — это псевдотерминал или переходник без этих линий</source>
        <translation>: the port %s has no modem control lines (DTR, RTS, BREAK) — it is a pseudo-terminal or an adapter without them</translation>
    </message>
    <message>
        <source>ошибка выполнения сценария</source>
        <translation>script error</translation>
    </message>
    <message>
        <source>нет ожидаемого ответа модема &apos;</source>
        <translation>no expected answer from the modem &apos;</translation>
    </message>
    <message>
        <source>отменено пользователем</source>
        <translation>cancelled by the user</translation>
    </message>
    <message>
        <source>неподдерживаемая скорость в функции SetBaudRate</source>
        <translation>unsupported speed in the function SetBaudRate</translation>
    </message>
    <message>
        <source>Невозможно открыть COM порт</source>
        <translation>Cannot open COM port</translation>
    </message>
    <message>
        <source>Ошибка записи</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>Ошибка чтения</source>
        <translation>Read error</translation>
    </message>
    <message>
        <source>Неверный параметр Async</source>
        <translation>Invalid Async parameter</translation>
    </message>
    <message>
        <source>Ошибка реестра</source>
        <translation>Registry error</translation>
    </message>
    <message>
        <source>: связь с модемом потеряна (устройство отключено или линия разорвана)</source>
        <translation>: the connection to the modem is lost (the device was unplugged or the line broke)</translation>
    </message>
    <message>
        <source>порт не найден. Возможно, модем отключён: проверьте кабель и питание модема, затем выберите порт в списке заново (F5 обновляет список).</source>
        <translation>the port was not found. The modem may be unplugged: check the modem's cable and power, then choose the port in the list again (F5 refreshes the list).</translation>
    </message>
    <message>
        <source>нет прав на работу с портом. Порт принадлежит группе root, вступать в которую не следует: попросите администратора отдать порт группе dialout (правилом udev с GROUP=&quot;dialout&quot;) и добавить вас в эту группу.</source>
        <translation>you are not allowed to use the port. It belongs to the group root, which you should not join: ask the administrator to give the port to the group dialout (with a udev rule with GROUP=&quot;dialout&quot;) and to add you to that group.</translation>
    </message>
    <message>
        <source>нет прав на работу с портом. Порт доступен группе %s: добавьте себя в неё командой «sudo usermod -a -G %s %s» и войдите в систему заново (новая группа действует только после нового входа).</source>
        <translation>you are not allowed to use the port. The port is open to the group %s: add yourself to it with &quot;sudo usermod -a -G %s %s&quot; and log in again (a new group takes effect only after a new login).</translation>
    </message>
    <message>
        <source>с неизвестным именем</source>
        <translation>with an unknown name</translation>
    </message>
    <message>
        <source>порт занят другой программой. Закройте программу, которая работает с портом (терминал, другой экземпляр Kelvo), и повторите попытку.</source>
        <translation>the port is busy with another program. Close the program that works with the port (a terminal, another Kelvo) and try again.</translation>
    </message>
    <message>
        <source>порт занят программой %s</source>
        <translation>the port is held by the program %s</translation>
    </message>
    <message>
        <source>порт заняли программы %s</source>
        <translation>the port is held by the programs %s</translation>
    </message>
    <message>
        <source>, файл блокировки %s</source>
        <translation>, lock file %s</translation>
    </message>
    <message>
        <source>. ModemManager сам занимает найденные модемы: остановите его командой «sudo systemctl stop ModemManager» или запретите ему этот порт правилом udev с ID_MM_DEVICE_IGNORE (пример — файл 99-kelvo-modemmanager.rules рядом с программой; см. справку).</source>
        <translation>. ModemManager takes every modem it finds: stop it with &quot;sudo systemctl stop ModemManager&quot; or keep it off this port with a udev rule with ID_MM_DEVICE_IGNORE (an example is the file 99-kelvo-modemmanager.rules beside the program; see the help).</translation>
    </message>
    <message>
        <source>. Закройте эту программу и повторите попытку.</source>
        <translation>. Close that program and try again.</translation>
    </message>
    <message>
        <source>это каталог, а не последовательный порт. Укажите файл устройства, например /dev/ttyUSB0.</source>
        <translation>this is a folder, not a serial port. Give a device file, for example /dev/ttyUSB0.</translation>
    </message>
    <message>
        <source>это обычный файл, а не последовательный порт. Укажите файл устройства, например /dev/ttyUSB0.</source>
        <translation>this is an ordinary file, not a serial port. Give a device file, for example /dev/ttyUSB0.</translation>
    </message>
    <message>
        <source>это устройство не является последовательным портом (терминалом).</source>
        <translation>this device is not a serial port (a terminal).</translation>
    </message>
    <message>
        <source>выполнен</source>
        <translation>done</translation>
    </message>
    <message>
        <source>ошибка</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>%s с</source>
        <translation>%s s</translation>
    </message>
    <message>
        <source>порт</source>
        <translation>port</translation>
    </message>
    <message>
        <source>результат</source>
        <translation>result</translation>
    </message>
    <message>
        <source>скорость</source>
        <translation>speed</translation>
    </message>
    <message>
        <source>время</source>
        <translation>time</translation>
    </message>
    <message>
        <source>причина</source>
        <translation>reason</translation>
    </message>
    <message>
        <source>выполнено: %s из %s</source>
        <translation>done: %s of %s</translation>
    </message>
    <message>
        <source>ответ: </source>
        <translation>answer: </translation>
    </message>
    <message>
        <source>Сохранять протоколы всех запусков</source>
        <translation>Save the logs of all runs</translation>
    </message>
    <message>
        <source>записывать протокол каждого запуска в файл (папка ~/.local/state/kelvo/logs)</source>
        <translation>write the log of every run to a file (folder ~/.local/state/kelvo/logs)</translation>
    </message>
    <message>
        <source>протокол запуска не записан: </source>
        <translation>the run log was not written: </translation>
    </message>
    <message>
        <source>не задана домашняя папка (HOME)</source>
        <translation>the home folder is not set (HOME)</translation>
    </message>
    <message>
        <source>протокол запуска не сохраняется: </source>
        <translation>the run log is not being saved: </translation>
    </message>
    <message>
        <source>строка </source>
        <translation>line </translation>
    </message>
    <message>
        <source>, столбец </source>
        <translation>, column </translation>
    </message>
    <message>
        <source>: строка </source>
        <translation>: line </translation>
    </message>
    <message>
        <source>Терминал</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>открыть порт, найти модем и посылать ему команды вручную</source>
        <translation>open the port, find the modem and send it commands by hand</translation>
    </message>
    <message>
        <source>Закрыть терминал</source>
        <translation>Close terminal</translation>
    </message>
    <message>
        <source>закрыть терминал и освободить порт (Esc)</source>
        <translation>close the terminal and release the port (Esc)</translation>
    </message>
    <message>
        <source>Терминал на скорости</source>
        <translation>Terminal at speed</translation>
    </message>
    <message>
        <source>порт занят терминалом: сначала закройте терминал (Esc)</source>
        <translation>the port is held by the terminal: close the terminal first (Esc)</translation>
    </message>
    <message>
        <source>идёт выполнение сценария: терминал откроется после него</source>
        <translation>a script is running: the terminal can open after it</translation>
    </message>
    <message>
        <source>терминал: команды модему вручную (Ctrl+T); стрелка — открыть на скорости без поиска модема</source>
        <translation>terminal: commands to the modem by hand (Ctrl+T); the arrow opens it at a speed without the modem search</translation>
    </message>
    <message>
        <source>послать команду сценария ещё раз</source>
        <translation>send a command of the script again</translation>
    </message>
    <message>
        <source>команда модему: Enter — послать, ↑↓ — история, Esc — закрыть</source>
        <translation>a command to the modem: Enter sends, ↑↓ history, Esc closes</translation>
    </message>
    <message>
        <source>линия DTR: нажата — включена</source>
        <translation>the DTR line: on while pressed</translation>
    </message>
    <message>
        <source>линия RTS: нажата — включена</source>
        <translation>the RTS line: on while pressed</translation>
    </message>
    <message>
        <source>послать сигнал BREAK (250 мс)</source>
        <translation>send a BREAK (250 ms)</translation>
    </message>
    <message>
        <source>Положить трубку</source>
        <translation>Hang up</translation>
    </message>
    <message>
        <source>сбросить DTR на 500 мс: модем завершает звонок</source>
        <translation>drop DTR for 500 ms: the modem ends the call</translation>
    </message>
    <message>
        <source>команды сценария</source>
        <translation>script commands</translation>
    </message>
    <message>
        <source>терминал открыт, команды вводятся внизу: </source>
        <translation>terminal open, type commands below: </translation>
    </message>
    <message>
        <source>терминал</source>
        <translation>terminal</translation>
    </message>
    <message>
        <source>терминал закрыт</source>
        <translation>terminal closed</translation>
    </message>
</context>
</TS>
