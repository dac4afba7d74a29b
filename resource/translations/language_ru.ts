<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AtomicFile</name>
    <message>
        <source>Cannot write file %1: %2</source>
        <translation>Не удалось записать файл %1: %2</translation>
    </message>
</context>
<context>
    <name>CalibrationFields</name>
    <message>
        <source>Nm</source>
        <translation>Нм</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Правый</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Левый</translation>
    </message>
    <message>
        <source>Nol</source>
        <translation>Ноль</translation>
    </message>
    <message>
        <source>Nm (ext.point)</source>
        <translation>Нм (доп. точка)</translation>
    </message>
    <message>
        <source>Right (ext.point)</source>
        <translation>Правый (доп. точка)</translation>
    </message>
    <message>
        <source>Left (ext.point)</source>
        <translation>Левый (доп. точка)</translation>
    </message>
    <message>
        <source>Basic Head</source>
        <translation>Базовая головка</translation>
    </message>
    <message>
        <source>Key Length</source>
        <translation>Длина ключа</translation>
    </message>
    <message>
        <source>Angle Deviation</source>
        <translation>Отклонение угла</translation>
    </message>
    <message>
        <source>Metall Correction</source>
        <translation>Коррекция металла</translation>
    </message>
    <message>
        <source>Nol offset</source>
        <translation>Смещение нуля</translation>
    </message>
    <message>
        <source>Amplify value</source>
        <translation>Усиление</translation>
    </message>
</context>
<context>
    <name>CalibrationFile</name>
    <message>
        <source>Warning! JSON format not opened!</source>
        <translation>Внимание! Файл JSON не открыт!</translation>
    </message>
    <message>
        <source>Warning! The file is larger than any calibration file: %1</source>
        <translation>Внимание! Файл больше любого файла калибровки: %1</translation>
    </message>
    <message>
        <source>Warning! The file is larger than any calibration file</source>
        <translation>Внимание! Файл больше любого файла калибровки</translation>
    </message>
    <message>
        <source>Warning! The file holds no calibration settings</source>
        <translation>Внимание! В файле нет настроек калибровки</translation>
    </message>
    <message>
        <source>Warning! The calibration file has no value "%1"</source>
        <translation>Внимание! В файле калибровки нет значения «%1»</translation>
    </message>
    <message>
        <source>Warning! Calibration value "%1" is not a valid value</source>
        <translation>Внимание! Значение калибровки «%1» недопустимо</translation>
    </message>
    <message>
        <source>Warning! Calibration value "%1" = %2 is outside %3..%4</source>
        <translation>Внимание! Значение калибровки «%1» = %2 вне диапазона %3..%4</translation>
    </message>
</context>
<context>
    <name>CalibrationPage</name>
    <message>
        <source>No calibration of this key is archived on this PC.</source>
        <translation>Калибровки этого ключа на этом ПК нет в архиве.</translation>
    </message>
    <message>
        <source>Last calibration: %1 (%2 archived). Next calibration due: %3</source>
        <translation>Последняя калибровка: %1 (в архиве: %2). Следующая калибровка до: %3</translation>
    </message>
    <message>
        <source>File Calibrate settings</source>
        <translation>Файл настроек калибровки</translation>
    </message>
    <message>
        <source>Calibrate settings (*.clb);;All Files (*.*)</source>
        <translation>Настройки калибровки (*.clb);;Все файлы (*.*)</translation>
    </message>
    <message>
        <source>Warning! No calibration has been read from the key yet</source>
        <translation>Внимание! Калибровка ещё не прочитана из ключа</translation>
    </message>
    <message>
        <source>Warning! The calibration file was not written: </source>
        <translation>Внимание! Файл калибровки не записан: </translation>
    </message>
    <message>
        <source>Calibrating parameters (ADC):</source>
        <translation>Параметры калибровки (АЦП):</translation>
    </message>
    <message>
        <source>Parameters of Sizes:</source>
        <translation>Параметры размеров:</translation>
    </message>
    <message>
        <source>Parameters of Amplifier:</source>
        <translation>Параметры усилителя:</translation>
    </message>
    <message>
        <source>Parameters Angle correction:</source>
        <translation>Параметры коррекции угла:</translation>
    </message>
    <message>
        <source>ADC Nol Value</source>
        <translation>Ноль АЦП</translation>
    </message>
    <message>
        <source>Extend calibrating</source>
        <translation>Расширенная калибровка</translation>
    </message>
    <message>
        <source>Save calibrate settings</source>
        <translation>Сохранить калибровку</translation>
    </message>
    <message>
        <source>to file on PC</source>
        <translation>в файл на ПК</translation>
    </message>
    <message>
        <source>Get calibrate settings</source>
        <translation>Загрузить калибровку</translation>
    </message>
    <message>
        <source>from file on PC and put to key</source>
        <translation>из файла на ПК в ключ</translation>
    </message>
    <message>
        <source>Period M&amp;A Values</source>
        <translation>Период М и У</translation>
    </message>
    <message>
        <source>Enter period of getting moment values (mSec)</source>
        <translation>Период чтения значений момента (мс)</translation>
    </message>
    <message>
        <source>Moment:</source>
        <translation>Момент:</translation>
    </message>
    <message>
        <source>Angle:</source>
        <translation>Угол:</translation>
    </message>
    <message>
        <source>The key does not say when it was calibrated. This calibration was first seen on this PC on %1 (%2 archived). Next calibration due: %3, counted from that day.</source>
        <translation>Ключ не сообщает дату калибровки. Эта калибровка впервые замечена на этом ПК %1 (в архиве: %2). Следующая калибровка до: %3 (отсчёт от этого дня).</translation>
    </message>
    <message>
        <source>Calibration saved to %1</source>
        <translation>Калибровка сохранена: %1</translation>
    </message>
    <message>
        <source>The calibration is locked. The metrologist's access code unlocks it: type the code into the message field of the main screen, then press Settings.</source>
        <translation>Калибровка заблокирована. Её открывает код доступа метролога: введите код в поле сообщения на главном экране и нажмите «Настройки».</translation>
    </message>
</context>
<context>
    <name>Capability</name>
    <message>
        <source>The moment range is empty, so there is no capability to compute.</source>
        <translation>Диапазон момента пуст, воспроизводимость вычислить нельзя.</translation>
    </message>
    <message>
        <source>All measures are equal (sigma is 0): capability cannot be computed.</source>
        <translation>Все измерения одинаковы (сигма равна 0): воспроизводимость вычислить нельзя.</translation>
    </message>
    <message>
        <source>Too few measures for capability: %1, at least %2 are needed.</source>
        <translation>Слишком мало измерений для оценки воспроизводимости: %1, нужно не менее %2.</translation>
    </message>
</context>
<context>
    <name>ChartWidget</name>
    <message>
        <source>Drag across the chart to show that stretch; double-click to show everything</source>
        <translation>Протяните мышью по графику, чтобы показать этот участок; двойной щелчок показывает всё</translation>
    </message>
</context>
<context>
    <name>CsvReport</name>
    <message>
        <source>Operator: </source>
        <translation>Оператор: </translation>
    </message>
    <message>
        <source>(sign)</source>
        <translation>(подпись)</translation>
    </message>
    <message>
        <source>(name)</source>
        <translation>(Ф.И.О.)</translation>
    </message>
</context>
<context>
    <name>DataRoot</name>
    <message>
        <source>Data folder: %1 (given with --data-dir)</source>
        <translation>Папка данных: %1 (задана параметром --data-dir)</translation>
    </message>
    <message>
        <source>Data folder: %1 (installed program: the user's data folder, filled from %2)</source>
        <translation>Папка данных: %1 (установленная программа: папка данных пользователя, дополняется из %2)</translation>
    </message>
    <message>
        <source>Data folder: %1 (the program's own folder: a build tree or a portable copy)</source>
        <translation>Папка данных: %1 (папка самой программы: дерево сборки или переносная копия)</translation>
    </message>
    <message>
        <source>Without --data-dir, an installed program (share/torquedesk beside its bin folder) keeps its data in
the user's data folder and copies what it lacks from share/torquedesk at start, never replacing a
file; a program run from its build tree or a portable folder keeps its data in its own folder.</source>
        <translation>Без --data-dir установленная программа (share/torquedesk рядом с её папкой bin) хранит данные в
папке данных пользователя и при запуске копирует туда недостающее из share/torquedesk, не заменяя
файлов; программа, запущенная из дерева сборки или переносной папки, хранит данные в своей папке.</translation>
    </message>
</context>
<context>
    <name>DeviceSettingsRules</name>
    <message>
        <source>Nm</source>
        <translation>Нм</translation>
    </message>
    <message>
        <source>kgsm</source>
        <translation>кгсм</translation>
    </message>
    <message>
        <source>min</source>
        <translation>мин</translation>
    </message>
    <message>
        <source>hour</source>
        <translation>ч</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>сек</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Английский</translation>
    </message>
    <message>
        <source>Basic</source>
        <translation>Базовый</translation>
    </message>
    <message>
        <source>Assembly</source>
        <translation>Сборочный</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Контрольный</translation>
    </message>
    <message>
        <source>Control+</source>
        <translation>Контрольный+</translation>
    </message>
    <message>
        <source>Axial Force</source>
        <translation>Осевое усилие</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>WiFi</source>
        <translation>WiFi</translation>
    </message>
    <message>
        <source>None DB</source>
        <translation>Без БД</translation>
    </message>
    <message>
        <source>Full DB</source>
        <translation>Полная БД</translation>
    </message>
    <message>
        <source>None Time</source>
        <translation>Без времени</translation>
    </message>
    <message>
        <source>Data &amp; Time</source>
        <translation>Дата и время</translation>
    </message>
    <message>
        <source>None Alg</source>
        <translation>Без алгоритма</translation>
    </message>
    <message>
        <source>Algorithm</source>
        <translation>Алгоритм</translation>
    </message>
    <message>
        <source>Axial force</source>
        <translation>Осевое усилие</translation>
    </message>
</context>
<context>
    <name>ExcelReport</name>
    <message>
        <source>report</source>
        <translation>отчёт</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>пусто</translation>
    </message>
    <message>
        <source>time</source>
        <translation>время</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>норма</translation>
    </message>
    <message>
        <source>deffect</source>
        <translation>брак</translation>
    </message>
    <message>
        <source>Moment Value, kgsm</source>
        <translation>Значение момента, кгсм</translation>
    </message>
    <message>
        <source>kgsm</source>
        <translation>кгсм</translation>
    </message>
    <message>
        <source>Warning! Excel Template NOT found!</source>
        <translation>Внимание! Шаблон Excel НЕ найден!</translation>
    </message>
    <message>
        <source>The folder %1 cannot be made.</source>
        <translation>Папку %1 не удалось создать.</translation>
    </message>
    <message>
        <source>The template cannot be copied to %1.</source>
        <translation>Шаблон не удалось скопировать в %1.</translation>
    </message>
    <message>
        <source>Excel cannot be started.</source>
        <translation>Excel не удалось запустить.</translation>
    </message>
    <message>
        <source>Excel cannot be shown.</source>
        <translation>Excel не удалось показать.</translation>
    </message>
    <message>
        <source>The workbook cannot be opened.</source>
        <translation>Книгу не удалось открыть.</translation>
    </message>
    <message>
        <source>The template has no sheet "report".</source>
        <translation>В шаблоне нет листа "report".</translation>
    </message>
    <message>
        <source>Cell (%1, %2) cannot be written.</source>
        <translation>Ячейку (%1, %2) не удалось записать.</translation>
    </message>
    <message>
        <source>The workbook cannot be saved.</source>
        <translation>Книгу не удалось сохранить.</translation>
    </message>
    <message>
        <source>The workbook cannot be closed.</source>
        <translation>Книгу не удалось закрыть.</translation>
    </message>
    <message>
        <source>The workbook cannot be renamed to %1.</source>
        <translation>Книгу не удалось переименовать в %1.</translation>
    </message>
    <message>
        <source>Empty Report can't be save!</source>
        <translation>Пустой отчёт нельзя сохранить!</translation>
    </message>
    <message>
        <source>Cell (%1, %2) lies outside a worksheet.</source>
        <translation>Ячейка (%1, %2) лежит за пределами листа.</translation>
    </message>
    <message>
        <source>The workbook has no sheet "%1".</source>
        <translation>В книге нет листа "%1".</translation>
    </message>
    <message>
        <source>(sign)</source>
        <translation>(подпись)</translation>
    </message>
    <message>
        <source>Operator:</source>
        <translation>Оператор:</translation>
    </message>
    <message>
        <source>Excel offers no workbook.</source>
        <translation>Excel не даёт доступа к книге.</translation>
    </message>
    <message>
        <source>The Excel report holds one record, and %1 are chosen. Walk the levels down to one record.</source>
        <translation>Отчёт Excel содержит одну запись, а выбрано %1. Пройдите по уровням до одной записи.</translation>
    </message>
    <message>
        <source>No record is chosen: walk the levels down to one record first.</source>
        <translation>Запись не выбрана: сначала пройдите по уровням до одной записи.</translation>
    </message>
</context>
<context>
    <name>ExchangeProgressWidget</name>
    <message>
        <source>File exchange progress</source>
        <translation>Ход обмена файлами</translation>
    </message>
    <message>
        <source>%1 of %2 files, %3 KB</source>
        <translation>%1 из %2 файлов, %3 КБ</translation>
    </message>
    <message>
        <source>File: </source>
        <translation>Файл: </translation>
    </message>
</context>
<context>
    <name>FileDownloader</name>
    <message>
        <source>No firmware server address: enter it on the About page (or start the program with --firmware-server).</source>
        <translation>Не задан адрес сервера прошивки: укажите его на странице «О программе» (или запустите программу с --firmware-server).</translation>
    </message>
    <message>
        <source>Not an http(s) address: %1</source>
        <translation>Это не адрес http(s): %1</translation>
    </message>
</context>
<context>
    <name>FileExchange</name>
    <message>
        <source>Folder name not allowed: </source>
        <translation>Недопустимое имя папки: </translation>
    </message>
    <message>
        <source>Can't read file: </source>
        <translation>Не удалось прочитать файл: </translation>
    </message>
    <message>
        <source>Got dir ../</source>
        <translation>Получена папка ../</translation>
    </message>
    <message>
        <source>Got file ../</source>
        <translation>Получен файл ../</translation>
    </message>
    <message>
        <source>Put file ../</source>
        <translation>Записан файл ../</translation>
    </message>
    <message>
        <source>The key does not answer: file exchange stopped</source>
        <translation>Ключ не отвечает: обмен файлами остановлен</translation>
    </message>
    <message>
        <source>the key could not read it</source>
        <translation>ключ не смог его прочитать</translation>
    </message>
    <message>
        <source>the key refused to write it</source>
        <translation>ключ отказался его записать</translation>
    </message>
    <message>
        <source>the key does not answer</source>
        <translation>ключ не отвечает</translation>
    </message>
</context>
<context>
    <name>FileExchangePanel</name>
    <message>
        <source>Get ANY file from key</source>
        <translation>Получить ЛЮБОЙ файл из ключа</translation>
    </message>
    <message>
        <source>Put ANY file to key</source>
        <translation>Записать ЛЮБОЙ файл в ключ</translation>
    </message>
    <message>
        <source>Type folder name in key</source>
        <translation>Введите имя папки в ключе</translation>
    </message>
    <message>
        <source>Load Files</source>
        <translation>Загрузить файлы</translation>
    </message>
    <message>
        <source>File (*.*);;All Files (*)</source>
        <translation>Файл (*.*);;Все файлы (*)</translation>
    </message>
</context>
<context>
    <name>FirmwarePage</name>
    <message>
        <source>Firmware update</source>
        <translation>Обновление прошивки</translation>
    </message>
    <message>
        <source>Connect the key to the PC in its DFU mode. The key is searched for while this page is open.</source>
        <translation>Подключите ключ к ПК в режиме DFU. Пока открыта эта страница, ключ ищется автоматически.</translation>
    </message>
    <message>
        <source>Key in DFU mode is connected.</source>
        <translation>Ключ в режиме DFU подключён.</translation>
    </message>
    <message>
        <source>Update firmware</source>
        <translation>Обновить прошивку</translation>
    </message>
    <message>
        <source>Firmware log</source>
        <translation>Журнал прошивки</translation>
    </message>
    <message>
        <source>Firmware progress</source>
        <translation>Ход прошивки</translation>
    </message>
    <message>
        <source>Program version: %1</source>
        <translation>Версия программы: %1</translation>
    </message>
    <message>
        <source>Key type: %1</source>
        <translation>Тип ключа: %1</translation>
    </message>
    <message>
        <source>Key firmware version: %1</source>
        <translation>Версия прошивки ключа: %1</translation>
    </message>
    <message>
        <source>Key serial number: %1</source>
        <translation>Серийный номер ключа: %1</translation>
    </message>
    <message>
        <source>The key is being flashed. Stopping now may leave the key without working firmware. Stop the flash?</source>
        <translation>Идёт прошивка ключа. Остановка сейчас может оставить ключ без рабочей прошивки. Остановить прошивку?</translation>
    </message>
    <message>
        <source>The firmware is being downloaded. Stop the download?</source>
        <translation>Идёт загрузка прошивки. Остановить загрузку?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Firmware server</source>
        <translation>Сервер прошивки</translation>
    </message>
    <message>
        <source>Firmware server address</source>
        <translation>Адрес сервера прошивки</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Apply the firmware server address</source>
        <translation>Применить адрес сервера прошивки</translation>
    </message>
    <message>
        <source>Not a server address: %1 (an http:// or https:// address is needed)</source>
        <translation>Это не адрес сервера: %1 (нужен адрес http:// или https://)</translation>
    </message>
    <message>
        <source>No firmware server: the firmware cannot be downloaded.</source>
        <translation>Сервер прошивки не задан: прошивку загрузить нельзя.</translation>
    </message>
    <message>
        <source>Firmware is downloaded from %1</source>
        <translation>Прошивка загружается с %1</translation>
    </message>
    <message>
        <source>Looking for a key in DFU mode…</source>
        <translation>Поиск ключа в режиме DFU…</translation>
    </message>
    <message>
        <source>Last search at %1: no key in DFU mode found.</source>
        <translation>Последний поиск в %1: ключ в режиме DFU не найден.</translation>
    </message>
</context>
<context>
    <name>FirmwareUpdater</name>
    <message>
        <source>Flashing firmware...</source>
        <translation>Прошивка...</translation>
    </message>
    <message>
        <source>Check not started</source>
        <translation>Проверка не запущена</translation>
    </message>
    <message>
        <source>Flash not started</source>
        <translation>Прошивка не запущена</translation>
    </message>
    <message>
        <source>Key in DFU mode not found</source>
        <translation>Ключ в режиме DFU не найден</translation>
    </message>
    <message>
        <source>Key was found!</source>
        <translation>Ключ найден!</translation>
    </message>
    <message>
        <source>FW Downloading...</source>
        <translation>Загрузка прошивки...</translation>
    </message>
    <message>
        <source>Can't download firmware!</source>
        <translation>Не удалось загрузить прошивку!</translation>
    </message>
    <message>
        <source>Can't save firmware image!</source>
        <translation>Не удалось сохранить файл прошивки!</translation>
    </message>
    <message>
        <source>FW downloaded</source>
        <translation>Прошивка загружена</translation>
    </message>
    <message>
        <source>Flash prepare</source>
        <translation>Подготовка прошивки</translation>
    </message>
    <message>
        <source>The flash tool was stopped.</source>
        <translation>Программа прошивки остановлена.</translation>
    </message>
    <message>
        <source>Flash finished OK!</source>
        <translation>Прошивка успешно завершена!</translation>
    </message>
    <message>
        <source>Warning! Flash NOT OK!</source>
        <translation>Внимание! Прошивка НЕ выполнена!</translation>
    </message>
    <message>
        <source>The checksum file %1 could not be fetched: %2</source>
        <translation>Не удалось загрузить файл контрольной суммы %1: %2</translation>
    </message>
    <message>
        <source>Firmware image does not match its checksum!</source>
        <translation>Образ прошивки не совпадает с контрольной суммой!</translation>
    </message>
    <message>
        <source>The downloaded image has SHA-256 %1, but %2 on the server expects %3. Nothing was flashed.</source>
        <translation>У загруженного образа SHA-256 %1, а %2 на сервере ожидает %3. Прошивка не выполнялась.</translation>
    </message>
    <message>
        <source>Firmware checksum file is unreadable!</source>
        <translation>Файл контрольной суммы прошивки не читается!</translation>
    </message>
    <message>
        <source>%1 on the server holds no SHA-256. Nothing was flashed.</source>
        <translation>В %1 на сервере нет SHA-256. Прошивка не выполнялась.</translation>
    </message>
    <message>
        <source>The flash tool ended with error code %1.</source>
        <translation>Программа прошивки завершилась с кодом ошибки %1.</translation>
    </message>
</context>
<context>
    <name>HistoryArchiver</name>
    <message>
        <source>Cannot write %1</source>
        <translation>Не удаётся записать %1</translation>
    </message>
    <message>
        <source>the history is not open</source>
        <translation>история не открыта</translation>
    </message>
    <message>
        <source>the key's file holds %1 of the %2 measures it counts</source>
        <translation>файл ключа содержит %1 из %2 указанных в нём измерений</translation>
    </message>
    <message>
        <source>the history server is not reached; measures waiting in the local queue are not kept yet</source>
        <translation>сервер истории недоступен; измерения в локальной очереди ещё не сохранены</translation>
    </message>
    <message>
        <source>the history holds %1 of the key's %2 measures</source>
        <translation>в истории %1 из %2 измерений ключа</translation>
    </message>
</context>
<context>
    <name>HistoryDatabase</name>
    <message>
        <source>Cannot make the folder of %1</source>
        <translation>Не удаётся создать папку для %1</translation>
    </message>
    <message>
        <source>The database driver is missing</source>
        <translation>Нет драйвера базы данных</translation>
    </message>
    <message>
        <source>The history has schema version %1; this program knows up to %2</source>
        <translation>Схема истории версии %1; программа знает версии до %2</translation>
    </message>
    <message>
        <source>The history is not open</source>
        <translation>История не открыта</translation>
    </message>
    <message>
        <source>the history is busy and could not be written to disk</source>
        <translation>история занята, и её не удалось записать на диск</translation>
    </message>
    <message>
        <source>The history server did not answer in time (%1)</source>
        <translation>Сервер истории не ответил вовремя (%1)</translation>
    </message>
</context>
<context>
    <name>HistoryExport</name>
    <message>
        <source>Date and time</source>
        <translation>Дата и время</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Ключ</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Соединение</translation>
    </message>
    <message>
        <source>Moment</source>
        <translation>Момент</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>Угол</translation>
    </message>
    <message>
        <source>Corrected defect</source>
        <translation>Исправленный дефект</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Результат</translation>
    </message>
    <message>
        <source>Moment range</source>
        <translation>Диапазон момента</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Оператор</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Изделие</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Операция</translation>
    </message>
    <message>
        <source>Node</source>
        <translation>Узел</translation>
    </message>
    <message>
        <source>Controller</source>
        <translation>Контролёр</translation>
    </message>
    <message>
        <source>Barcodes</source>
        <translation>Штрихкоды</translation>
    </message>
    <message>
        <source>Calibration</source>
        <translation>Калибровка</translation>
    </message>
    <message>
        <source>Received</source>
        <translation>Получено</translation>
    </message>
    <message>
        <source>the history could not be read to the end (measures read before the failure: %1); nothing was written: %2</source>
        <translation>историю не удалось прочитать до конца (измерений прочитано до сбоя: %1); ничего не записано: %2</translation>
    </message>
    <message>
        <source>The export was cancelled; the file was not written</source>
        <translation>Экспорт отменён; файл не записан</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Пост</translation>
    </message>
</context>
<context>
    <name>HistoryExportJob</name>
    <message>
        <source>the history cannot be opened: %1</source>
        <translation>история не открывается: %1</translation>
    </message>
    <message>
        <source>Exporting the history to %1</source>
        <translation>Экспорт истории в %1</translation>
    </message>
    <message>
        <source>%1 measures exported to %2</source>
        <translation>%1 измерений экспортировано в %2</translation>
    </message>
</context>
<context>
    <name>HistoryLocation</name>
    <message>
        <source>The history file has no name</source>
        <translation>У файла истории нет имени</translation>
    </message>
    <message>
        <source>A password does not belong in the address: put it in ~/.pgpass or PGPASSWORD</source>
        <translation>Пароль не указывают в адресе: запишите его в ~/.pgpass или PGPASSWORD</translation>
    </message>
    <message>
        <source>The server's port is not a number: %1</source>
        <translation>Порт сервера не число: %1</translation>
    </message>
    <message>
        <source>The address names no database</source>
        <translation>В адресе не указана база данных</translation>
    </message>
</context>
<context>
    <name>HistoryPage</name>
    <message>
        <source>Period from</source>
        <translation>Период с</translation>
    </message>
    <message>
        <source>until</source>
        <translation>по</translation>
    </message>
    <message>
        <source>Key serial</source>
        <translation>№ ключа</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Оператор</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Изделие</translation>
    </message>
    <message>
        <source>Operation No.</source>
        <translation>№ операции</translation>
    </message>
    <message>
        <source>Node</source>
        <translation>Узел</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Результат</translation>
    </message>
    <message>
        <source>Barcode 1</source>
        <translation>Штрихкод 1</translation>
    </message>
    <message>
        <source>Barcode 2</source>
        <translation>Штрихкод 2</translation>
    </message>
    <message>
        <source>History database</source>
        <translation>База истории</translation>
    </message>
    <message>
        <source>Alarm: Cp below</source>
        <translation>Тревога: Cp ниже</translation>
    </message>
    <message>
        <source>Cpk below</source>
        <translation>Cpk ниже</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Все</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Сбросить</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Экспорт CSV</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>local file (postgresql://user@host:port/dbname for a server)</source>
        <translation>локальный файл (postgresql://user@host:port/dbname для сервера)</translation>
    </message>
    <message>
        <source>Tightening history</source>
        <translation>История затяжек</translation>
    </message>
    <message>
        <source>Measures found: %1</source>
        <translation>Найдено измерений: %1</translation>
    </message>
    <message>
        <source>The history database cannot be opened: %1</source>
        <translation>База истории не открывается: %1</translation>
    </message>
    <message>
        <source>Export the history to DFQ</source>
        <translation>Экспорт истории в DFQ</translation>
    </message>
    <message>
        <source>Export the history to CSV</source>
        <translation>Экспорт истории в CSV</translation>
    </message>
    <message>
        <source>Q-DAS transfer file (*.dfq);;All Files (*)</source>
        <translation>Файл обмена Q-DAS (*.dfq);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Measures (*.csv);;All Files (*)</source>
        <translation>Измерения (*.csv);;Все файлы (*)</translation>
    </message>
    <message>
        <source>The history was not exported: %1</source>
        <translation>История не экспортирована: %1</translation>
    </message>
    <message>
        <source>%1 measures exported to %2</source>
        <translation>%1 измерений экспортировано в %2</translation>
    </message>
    <message>
        <source>%1 measures exported; %2 characters the DFQ file cannot hold were written as '?'</source>
        <translation>%1 измерений экспортировано; %2 символов, которых нет в кодировке DFQ, записаны как '?'</translation>
    </message>
    <message>
        <source>Statistics to PDF</source>
        <translation>Статистика в PDF</translation>
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation>PDF (*.pdf)</translation>
    </message>
    <message>
        <source>The statistics of %1 could not be read: %2</source>
        <translation>Не удалось прочитать статистику %1: %2</translation>
    </message>
    <message>
        <source>Export DFQ</source>
        <translation>Экспорт DFQ</translation>
    </message>
    <message>
        <source>Counting the measures…</source>
        <translation>Подсчёт измерений…</translation>
    </message>
    <message>
        <source>The history cannot be read now</source>
        <translation>История сейчас недоступна для чтения</translation>
    </message>
    <message>
        <source>The history server is not answering; measures are kept on this PC</source>
        <translation>Сервер истории не отвечает; измерения сохраняются на этом ПК</translation>
    </message>
    <message>
        <source>The history is busy; the table fills in as its rows arrive</source>
        <translation>История занята; таблица заполняется по мере поступления строк</translation>
    </message>
    <message>
        <source>History to DFQ</source>
        <translation>История в DFQ</translation>
    </message>
    <message>
        <source>History to CSV</source>
        <translation>История в CSV</translation>
    </message>
    <message>
        <source>Server away: %1 measures kept on this PC</source>
        <translation>Сервер недоступен: %1 измерений хранятся на этом ПК</translation>
    </message>
    <message>
        <source>History not available: %1</source>
        <translation>История недоступна: %1</translation>
    </message>
    <message>
        <source>local file</source>
        <translation>локальный файл</translation>
    </message>
    <message>
        <source>Server %1: unreachable since %2 — %3 measures kept on this PC, sent when it is back</source>
        <translation>Сервер %1: недоступен с %2 — %3 измерений хранятся на этом ПК и будут отправлены, когда он вернётся</translation>
    </message>
    <message>
        <source>Server %1: connected; measures it refused are kept in %2 (table set_aside): %3</source>
        <translation>Сервер %1: подключён; отклонённые им измерения хранятся в %2 (таблица set_aside): %3</translation>
    </message>
    <message>
        <source>Server %1: connected</source>
        <translation>Сервер %1: подключён</translation>
    </message>
    <message>
        <source>Local file %1</source>
        <translation>Локальный файл %1</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>Столбцы</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Пост</translation>
    </message>
    <message>
        <source>Station name</source>
        <translation>Имя поста</translation>
    </message>
</context>
<context>
    <name>HistoryPanes</name>
    <message>
        <source>Measures and statistics</source>
        <translation>Измерения и статистика</translation>
    </message>
    <message>
        <source>Measures</source>
        <translation>Измерения</translation>
    </message>
    <message>
        <source>The measures the filter found (Ctrl+Tab: statistics and charts)</source>
        <translation>Измерения, найденные по фильтру (Ctrl+Tab: статистика и графики)</translation>
    </message>
    <message>
        <source>Statistics and charts</source>
        <translation>Статистика и графики</translation>
    </message>
    <message>
        <source>Capability, control charts and histogram of the joint in view</source>
        <translation>Воспроизводимость, контрольные карты и гистограмма выбранного соединения</translation>
    </message>
</context>
<context>
    <name>HistoryService</name>
    <message>
        <source>The measures of %1 are not in the history: %2</source>
        <translation>Измерения %1 не сохранены в истории: %2</translation>
    </message>
    <message>
        <source>The measures of %1 records are not in the history: %2</source>
        <translation>Измерения %1 записей не сохранены в истории: %2</translation>
    </message>
</context>
<context>
    <name>HistorySettings</name>
    <message>
        <source>Cannot write %1</source>
        <translation>Не удаётся записать %1</translation>
    </message>
</context>
<context>
    <name>HistoryStore</name>
    <message>
        <source>The history is not open</source>
        <translation>История не открыта</translation>
    </message>
    <message>
        <source>The history server refused measures (%1): %2. They are kept in the table set_aside of %3.</source>
        <translation>Сервер истории отказался принять измерения (%1): %2. Они сохранены в таблице set_aside файла %3.</translation>
    </message>
    <message>
        <source>This part of the history only writes the local queue</source>
        <translation>Эта часть истории пишет только в локальную очередь</translation>
    </message>
</context>
<context>
    <name>HistoryTableModel</name>
    <message>
        <source>Loading…</source>
        <translation>Загрузка…</translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>TorqueDesk — tightening history</source>
        <translation>TorqueDesk — история затяжек</translation>
    </message>
</context>
<context>
    <name>JobProgressWidget</name>
    <message>
        <source>Progress of %1</source>
        <translation>Ход выполнения: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>starting</source>
        <translation>запуск</translation>
    </message>
    <message>
        <source>%1: done</source>
        <translation>%1: готово</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1: не выполнено: %2</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Cancel %1</source>
        <translation>Отменить: %1</translation>
    </message>
    <message>
        <source>cancelling…</source>
        <translation>отмена…</translation>
    </message>
    <message>
        <source>%1: cancelled</source>
        <translation>%1: отменено</translation>
    </message>
</context>
<context>
    <name>JointStatistics</name>
    <message>
        <source>Operator</source>
        <translation>Оператор</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Ключ</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Пост</translation>
    </message>
</context>
<context>
    <name>KeyMessagePanel</name>
    <message>
        <source>Send message to key</source>
        <translation>Отправить сообщение в ключ</translation>
    </message>
</context>
<context>
    <name>KeyModel</name>
    <message>
        <source>kgsm</source>
        <translation>кгсм</translation>
    </message>
    <message>
        <source>Nm</source>
        <translation>Нм</translation>
    </message>
    <message>
        <source>Dynamometric key</source>
        <translation>Динамометрический ключ</translation>
    </message>
</context>
<context>
    <name>KeyProtocol</name>
    <message>
        <source>Request too long, not sent: </source>
        <translation>Слишком длинный запрос, не отправлен: </translation>
    </message>
</context>
<context>
    <name>KeySettingsPage</name>
    <message>
        <source>Device settings:</source>
        <translation>Настройки ключа:</translation>
    </message>
    <message>
        <source>Units:</source>
        <translation>Единицы:</translation>
    </message>
    <message>
        <source>Power Off:</source>
        <translation>Выключение:</translation>
    </message>
    <message>
        <source>Display Off:</source>
        <translation>Гашение экрана:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Язык:</translation>
    </message>
    <message>
        <source>Sound incrise:</source>
        <translation>Звук:</translation>
    </message>
    <message>
        <source>Wi-Fi net:</source>
        <translation>Сеть Wi-Fi:</translation>
    </message>
    <message>
        <source>Enable/disable</source>
        <translation>Вкл/выкл</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Setup additional settings in key</source>
        <translation>Записать дополнительные настройки в ключ</translation>
    </message>
    <message>
        <source>Key configuration:</source>
        <translation>Конфигурация ключа:</translation>
    </message>
    <message>
        <source>Key type</source>
        <translation>Тип ключа</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Подключение</translation>
    </message>
    <message>
        <source>Data Base</source>
        <translation>База данных</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Дата и время</translation>
    </message>
    <message>
        <source>Algorithm</source>
        <translation>Алгоритм</translation>
    </message>
    <message>
        <source>Upgrade</source>
        <translation>Обновить</translation>
    </message>
    <message>
        <source>Key Name:</source>
        <translation>Имя ключа:</translation>
    </message>
    <message>
        <source>Operator Name:</source>
        <translation>Имя оператора:</translation>
    </message>
    <message>
        <source>The Key Name is displayed in the key selection list, when connected via WiFi</source>
        <translation>Имя ключа показывается в списке выбора ключей при подключении по WiFi</translation>
    </message>
    <message>
        <source>The Operator Name is displayed in the report</source>
        <translation>Имя оператора выводится в отчёт</translation>
    </message>
    <message>
        <source>Change name of key and operator</source>
        <translation>Изменить имя ключа и оператора</translation>
    </message>
    <message>
        <source>WI-Fi connection:</source>
        <translation>Подключение Wi-Fi:</translation>
    </message>
    <message>
        <source>Router SSID:</source>
        <translation>SSID сети:</translation>
    </message>
    <message>
        <source>Router Password:</source>
        <translation>Пароль сети:</translation>
    </message>
    <message>
        <source>PC IP:</source>
        <translation>IP ПК:</translation>
    </message>
    <message>
        <source>PC Port:</source>
        <translation>Порт ПК:</translation>
    </message>
    <message>
        <source>WPA2 Enterprise:</source>
        <translation>WPA2 Enterprise:</translation>
    </message>
    <message>
        <source>User Login:</source>
        <translation>Логин:</translation>
    </message>
    <message>
        <source>User Password:</source>
        <translation>Пароль входа:</translation>
    </message>
    <message>
        <source>Setup Wi-Fi settings in key</source>
        <translation>Записать настройки Wi-Fi в ключ</translation>
    </message>
    <message>
        <source>Clock Key</source>
        <translation>Часы ключа</translation>
    </message>
    <message>
        <source>Clock PC</source>
        <translation>Часы ПК</translation>
    </message>
    <message>
        <source>Syncronization</source>
        <translation>Синхронизация</translation>
    </message>
    <message>
        <source>Sent PC Date&amp;Time to key</source>
        <translation>Передать дату и время ПК в ключ</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Серийный номер</translation>
    </message>
    <message>
        <source>Sent to the key: router "%1", PC %2, port %3</source>
        <translation>Отправлено в ключ: роутер «%1», ПК %2, порт %3</translation>
    </message>
    <message>
        <source>Type the PC IP: four numbers from 0 to 255 with dots between them.</source>
        <translation>Введите IP компьютера: четыре числа от 0 до 255 через точку.</translation>
    </message>
    <message>
        <source>Not an IP address: four numbers from 0 to 255 with dots between them.</source>
        <translation>Это не IP-адрес: нужны четыре числа от 0 до 255 через точку.</translation>
    </message>
    <message>
        <source>Wi-Fi settings note</source>
        <translation>Пояснение к настройкам Wi-Fi</translation>
    </message>
</context>
<context>
    <name>KeyStatusDisplay</name>
    <message>
        <source>Warning!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Vuyavlena popytka vtorichnoi zanyajki na rezbovom soedinanii!</source>
        <translation>Выявлена попытка вторичной затяжки резьбового соединения!</translation>
    </message>
    <message>
        <source>Moment sensor have errors!</source>
        <translation>Датчик момента неисправен!</translation>
    </message>
    <message>
        <source>Bad Wi-Fi signal. Data maybe lost!</source>
        <translation>Плохой сигнал Wi-Fi. Возможна потеря данных!</translation>
    </message>
    <message>
        <source>Low battery charge. Data maybe lost!</source>
        <translation>Низкий заряд батареи. Возможна потеря данных!</translation>
    </message>
</context>
<context>
    <name>LevelTree</name>
    <message>
        <source>Level %1</source>
        <translation>Уровень %1</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Cancel to make report</source>
        <translation>Отменить выбор для отчёта</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Выбрать</translation>
    </message>
    <message>
        <source>Select elements for make report</source>
        <translation>Выбрать элементы для отчёта</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Выполнено</translation>
    </message>
    <message>
        <source>No record selected</source>
        <translation>Запись не выбрана</translation>
    </message>
    <message>
        <source>Selected records: %1</source>
        <translation>Выбрано записей: %1</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Dynamometric key</source>
        <translation>Динамометрический ключ</translation>
    </message>
    <message>
        <source>Warning! File 'settings.ini' can't create!</source>
        <translation>Внимание! Не удаётся создать файл 'settings.ini'!</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Назад</translation>
    </message>
    <message>
        <source>Back to main screen</source>
        <translation>Назад к главному экрану</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Выбрать</translation>
    </message>
    <message>
        <source>Select elements for make report</source>
        <translation>Выбрать элементы для отчёта</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Special key settings</source>
        <translation>Специальные настройки ключа</translation>
    </message>
    <message>
        <source>Try to connect device to PC...</source>
        <translation>Подключите устройство к компьютеру...</translation>
    </message>
    <message>
        <source>Firmware update</source>
        <translation>Обновление прошивки</translation>
    </message>
    <message>
        <source>The firmware server address could not be saved in %1</source>
        <translation>Адрес сервера прошивки не удалось сохранить в %1</translation>
    </message>
    <message>
        <source>History</source>
        <translation>История</translation>
    </message>
    <message>
        <source>The history and its statistics in a window of their own</source>
        <translation>История и её статистика в отдельном окне</translation>
    </message>
</context>
<context>
    <name>MainWindowForm</name>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Special key settings</source>
        <translation>Специальные настройки ключа</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>Мастер</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Оператор</translation>
    </message>
    <message>
        <source>Metrolog</source>
        <translation>Метролог</translation>
    </message>
    <message>
        <source>Type text for find</source>
        <translation>Введите текст для поиска</translation>
    </message>
    <message>
        <source>From JSON</source>
        <translation>Из JSON</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Type text here</source>
        <translation>Введите текст</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Сообщение</translation>
    </message>
    <message>
        <source>Lock key</source>
        <translation>Заблокировать ключ</translation>
    </message>
    <message>
        <source>Unlock key</source>
        <translation>Разблокировать ключ</translation>
    </message>
    <message>
        <source>Send text message to key</source>
        <translation>Отправить сообщение на ключ</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Выбрать</translation>
    </message>
    <message>
        <source>Select elements for make report</source>
        <translation>Выбрать элементы для отчёта</translation>
    </message>
    <message>
        <source>The boot process. Preparing the equipment for work. Please wait ...</source>
        <translation>Загрузка. Подготовка оборудования к работе. Пожалуйста, подождите...</translation>
    </message>
    <message>
        <source>TorqueDesk
Desktop companion of the dynamometric key</source>
        <translation>TorqueDesk
Настольная программа динамометрического ключа</translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation>Уровень %1</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Отчёт</translation>
    </message>
    <message>
        <source>Viewer</source>
        <translation>Просмотр</translation>
    </message>
    <message>
        <source>Types</source>
        <translation>Типы</translation>
    </message>
    <message>
        <source>Data Base</source>
        <translation>База данных</translation>
    </message>
    <message>
        <source>Calibrate</source>
        <translation>Калибровка</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>The key was disconnected</source>
        <translation>Ключ отключён</translation>
    </message>
    <message>
        <source>History</source>
        <translation>История</translation>
    </message>
    <message>
        <source>The tightening history and its statistics, without a key</source>
        <translation>История затяжек и её статистика, без ключа</translation>
    </message>
</context>
<context>
    <name>MeasureAlgorithms</name>
    <message>
        <source>Maximum moment</source>
        <translation>Максимальный момент</translation>
    </message>
    <message>
        <source>Screwing up to the moment without angle control</source>
        <translation>Затяжка до момента без контроля угла</translation>
    </message>
    <message>
        <source>Screwing up to the moment with angle control</source>
        <translation>Затяжка до момента с контролем угла</translation>
    </message>
    <message>
        <source>Method moving off place</source>
        <translation>Метод страгивания</translation>
    </message>
    <message>
        <source>Screwing combined method</source>
        <translation>Комбинированный метод затяжки</translation>
    </message>
    <message>
        <source>Method increment</source>
        <translation>Метод приращения</translation>
    </message>
    <message>
        <source>Method Unscrew-Screwing</source>
        <translation>Метод отвинчивания-завинчивания</translation>
    </message>
    <message>
        <source>Method axial force</source>
        <translation>Метод осевого усилия</translation>
    </message>
    <message>
        <source>Method rotation to angle</source>
        <translation>Метод поворота на угол</translation>
    </message>
    <message>
        <source>Dependence on the angle of the moment</source>
        <translation>Зависимость момента от угла</translation>
    </message>
    <message>
        <source>Screwing up to the moment</source>
        <translation>Затяжка до момента</translation>
    </message>
</context>
<context>
    <name>MeasureMemory</name>
    <message>
        <source>no key is connected</source>
        <translation>ключ не подключён</translation>
    </message>
    <message>
        <source>the history is not available</source>
        <translation>история недоступна</translation>
    </message>
    <message>
        <source>an erase is already running</source>
        <translation>очистка уже идёт</translation>
    </message>
</context>
<context>
    <name>MeasureMemoryModel</name>
    <message>
        <source>kgsm</source>
        <translation>кгсм</translation>
    </message>
    <message>
        <source>Nm</source>
        <translation>Нм</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source> - name</source>
        <translation> - название</translation>
    </message>
    <message>
        <source> - comment</source>
        <translation> - комментарий</translation>
    </message>
    <message>
        <source>Static moment, </source>
        <translation>Статический момент, </translation>
    </message>
    <message>
        <source>Connection number</source>
        <translation>Номер соединения</translation>
    </message>
    <message>
        <source>Control result, </source>
        <translation>Результат контроля, </translation>
    </message>
    <message>
        <source>Angle ranges, gradus</source>
        <translation>Диапазон угла, градусы</translation>
    </message>
    <message>
        <source>Angle, gradus</source>
        <translation>Угол, градусы</translation>
    </message>
    <message>
        <source>Result OK/NG</source>
        <translation>Результат OK/NG</translation>
    </message>
    <message>
        <source>Corrected Deffect, </source>
        <translation>Исправленный дефект, </translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Примечания</translation>
    </message>
    <message>
        <source>Controller</source>
        <translation>Контролёр</translation>
    </message>
</context>
<context>
    <name>MemoryPage</name>
    <message>
        <source>Clean measures in Key</source>
        <translation>Очистить измерения в ключе</translation>
    </message>
    <message>
        <source>Clean only one current record</source>
        <translation>Очистить только текущую запись</translation>
    </message>
    <message>
        <source>Barcodes:</source>
        <translation>Штрихкоды:</translation>
    </message>
    <message>
        <source>First barcode</source>
        <translation>Первый штрихкод</translation>
    </message>
    <message>
        <source>Second barcode</source>
        <translation>Второй штрихкод</translation>
    </message>
    <message>
        <source>Measured moments in memory</source>
        <translation>Измеренные моменты в памяти</translation>
    </message>
    <message>
        <source>OK and NG per record</source>
        <translation>OK и NG по записям</translation>
    </message>
    <message>
        <source>No record loaded</source>
        <translation>Запись не загружена</translation>
    </message>
    <message>
        <source>Measures: %1/%2</source>
        <translation>Измерения: %1/%2</translation>
    </message>
    <message>
        <source>Moment: %1</source>
        <translation>Момент: %1</translation>
    </message>
    <message>
        <source>Angle: %1</source>
        <translation>Угол: %1</translation>
    </message>
    <message>
        <source>%1
OK: %2  NG: %3</source>
        <translation>%1
OK: %2  NG: %3</translation>
    </message>
    <message>
        <source>Records: %1
OK: %2  NG: %3</source>
        <translation>Записей: %1
OK: %2  NG: %3</translation>
    </message>
    <message>
        <source>There are no measures to clean</source>
        <translation>Нет измерений для очистки</translation>
    </message>
    <message>
        <source>%1 measures in %2 records will be erased from the key. Continue?</source>
        <translation>%1 измерений в %2 записях будут удалены из ключа. Продолжить?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Measures of %1 records cleaned</source>
        <translation>Измерения %1 записей очищены</translation>
    </message>
    <message>
        <source>Measures of %1 cleaned</source>
        <translation>Измерения записи %1 очищены</translation>
    </message>
    <message>
        <source>Choose a record first!</source>
        <translation>Сначала выберите запись!</translation>
    </message>
    <message>
        <source>Scan both barcodes!</source>
        <translation>Отсканируйте оба штрихкода!</translation>
    </message>
    <message>
        <source>Barcodes already exist!</source>
        <translation>Штрихкоды уже существуют!</translation>
    </message>
    <message>
        <source>Barcodes added</source>
        <translation>Штрихкоды добавлены</translation>
    </message>
    <message>
        <source>Record already exist!</source>
        <translation>Запись уже существует!</translation>
    </message>
    <message>
        <source>Database is not available!</source>
        <translation>База данных недоступна!</translation>
    </message>
    <message>
        <source>Add barcodes to record</source>
        <translation>Добавить штрихкоды к записи</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Erasing measures on the key...</source>
        <translation>Очистка измерений в ключе...</translation>
    </message>
    <message>
        <source>Measures not erased, the key keeps them:
%1</source>
        <translation>Измерения не стёрты, они остаются в ключе:
%1</translation>
    </message>
    <message>
        <source>%1 measures of the record %2 will be erased from the key. Continue?</source>
        <translation>Измерений записи %2: %1. Они будут удалены из ключа. Продолжить?</translation>
    </message>
</context>
<context>
    <name>MenuLevelsPage</name>
    <message>
        <source>Menu levels</source>
        <translation>Уровни меню</translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation>Уровень %1</translation>
    </message>
    <message>
        <source>Top string</source>
        <translation>Верхняя строка</translation>
    </message>
    <message>
        <source>Top text in menu</source>
        <translation>Верхний текст в меню</translation>
    </message>
    <message>
        <source>Bottom string</source>
        <translation>Нижняя строка</translation>
    </message>
    <message>
        <source>Bottom text in menu</source>
        <translation>Нижний текст в меню</translation>
    </message>
    <message>
        <source>Order</source>
        <translation>Порядок</translation>
    </message>
    <message>
        <source>On/Off</source>
        <translation>Вкл/Выкл</translation>
    </message>
    <message>
        <source>Enable/disable current menu</source>
        <translation>Включить/выключить текущее меню</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Save menu names to key</source>
        <translation>Сохранить названия меню в ключ</translation>
    </message>
</context>
<context>
    <name>MirrorImportJob</name>
    <message>
        <source>Archiving the mirror in %1</source>
        <translation>Архивирование зеркала в %1</translation>
    </message>
    <message>
        <source>the history cannot be opened: %1</source>
        <translation>история не открывается: %1</translation>
    </message>
    <message>
        <source>the measures of %1 record files were not kept: %2</source>
        <translation>измерения %1 файлов записей не сохранены: %2</translation>
    </message>
    <message>
        <source>%1 record files, %2 measures: %3 new in the history, %4 queued for the server</source>
        <translation>%1 файлов записей, %2 измерений: %3 новых в истории, %4 в очереди на сервер</translation>
    </message>
</context>
<context>
    <name>MqttPublisher</name>
    <message>
        <source>the broker refused the user name or password</source>
        <translation>брокер отклонил имя пользователя или пароль</translation>
    </message>
    <message>
        <source>the broker refused the user name or password, or this station is not authorised</source>
        <translation>брокер отклонил имя пользователя или пароль, либо у этой станции нет прав</translation>
    </message>
    <message>
        <source>the broker refused this station's identity</source>
        <translation>брокер отклонил идентификатор этой станции</translation>
    </message>
    <message>
        <source>The MQTT client could not be created.</source>
        <translation>Не удалось создать клиент MQTT.</translation>
    </message>
    <message>
        <source>TLS could not be set up: %1</source>
        <translation>Не удалось настроить TLS: %1</translation>
    </message>
    <message>
        <source>cannot connect: %1</source>
        <translation>не удаётся подключиться: %1</translation>
    </message>
    <message>
        <source>connection refused by %1</source>
        <translation>%1 отклонил подключение</translation>
    </message>
    <message>
        <source>%1 does not answer</source>
        <translation>%1 не отвечает</translation>
    </message>
    <message>
        <source>%1 cannot be reached from this PC</source>
        <translation>%1 недоступен с этого ПК</translation>
    </message>
    <message>
        <source>%1 closed the connection</source>
        <translation>%1 закрыл соединение</translation>
    </message>
    <message>
        <source>connection to %1 failed</source>
        <translation>не удалось подключиться к %1</translation>
    </message>
    <message>
        <source>the broker's name %1 could not be looked up</source>
        <translation>не удалось найти адрес брокера %1</translation>
    </message>
    <message>
        <source>connection to %1 lost</source>
        <translation>соединение с %1 потеряно</translation>
    </message>
    <message>
        <source>%1 stopped answering</source>
        <translation>%1 перестал отвечать</translation>
    </message>
</context>
<context>
    <name>MqttSettings</name>
    <message>
        <source>Not a broker address: %1 (expected mqtt://host:port/prefix or mqtts://...)</source>
        <translation>Это не адрес брокера: %1 (ожидается mqtt://узел:порт/префикс или mqtts://...)</translation>
    </message>
    <message>
        <source>Give the broker's user and password in the settings, not in the address.</source>
        <translation>Укажите пользователя и пароль брокера в настройках, а не в адресе.</translation>
    </message>
    <message>
        <source>The topic prefix may not contain # or +.</source>
        <translation>Префикс темы не может содержать # или +.</translation>
    </message>
</context>
<context>
    <name>MqttSettingsFile</name>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>не удаётся прочитать %1: %2</translation>
    </message>
    <message>
        <source>%1 is damaged; the broker settings start empty.</source>
        <translation>%1 повреждён; настройки брокера сброшены.</translation>
    </message>
</context>
<context>
    <name>PopupA</name>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Point</source>
        <translation>Точка</translation>
    </message>
    <message>
        <source>Change sign</source>
        <translation>Сменить знак</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Сброс</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>out of</source>
        <translation>вне диапазона</translation>
    </message>
</context>
<context>
    <name>PopupHost</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>ЗАКРЫТЬ</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>Ожидание</translation>
    </message>
</context>
<context>
    <name>PopupMsg</name>
    <message>
        <source>Information!</source>
        <translation>Информация!</translation>
    </message>
</context>
<context>
    <name>PopupQ</name>
    <message>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
</context>
<context>
    <name>PopupWait</name>
    <message>
        <source>Please wait</source>
        <translation>Пожалуйста, подождите</translation>
    </message>
</context>
<context>
    <name>PublishSettingsPanel</name>
    <message>
        <source>Connected</source>
        <translation>Подключено</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Подключение...</translation>
    </message>
    <message>
        <source>Reconnecting</source>
        <translation>Переподключение</translation>
    </message>
    <message>
        <source>Reconnecting: %1</source>
        <translation>Переподключение: %1</translation>
    </message>
    <message>
        <source>Not configured</source>
        <translation>Не настроено</translation>
    </message>
    <message>
        <source>Not started: %1</source>
        <translation>Не запущено: %1</translation>
    </message>
    <message>
        <source>results waiting: %1</source>
        <translation>результатов ожидает отправки: %1</translation>
    </message>
    <message>
        <source>Results to the plant (MQTT)</source>
        <translation>Результаты на завод (MQTT)</translation>
    </message>
    <message>
        <source>Broker address</source>
        <translation>Адрес брокера</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Пользователь</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Пароль</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>The history is not open: nothing can be published.</source>
        <translation>История не открыта: публиковать нечего.</translation>
    </message>
</context>
<context>
    <name>QrListReport</name>
    <message>
        <source>The report database is not open.</source>
        <translation>База данных отчётов не открыта.</translation>
    </message>
    <message>
        <source>The report database refused: %1</source>
        <translation>База данных отчётов отказала: %1</translation>
    </message>
    <message>
        <source>Warning! Folder is empty!</source>
        <translation>Внимание! Папка пуста!</translation>
    </message>
    <message>
        <source>No record could be read from %1</source>
        <translation>В %1 не удалось прочитать ни одной записи</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>Отменено.</translation>
    </message>
    <message>
        <source>The QR-codes list was not saved: %1</source>
        <translation>Список QR-кодов не сохранён: %1</translation>
    </message>
</context>
<context>
    <name>QrReportEngine</name>
    <message>
        <source>The report template %1 cannot be read.</source>
        <translation>Шаблон отчёта %1 не удалось прочитать.</translation>
    </message>
    <message>
        <source>The report template %1 is malformed: %2</source>
        <translation>Шаблон отчёта %1 повреждён: %2</translation>
    </message>
    <message>
        <source>The report template %1 has no query or no detail band.</source>
        <translation>В шаблоне отчёта %1 нет запроса или полосы данных.</translation>
    </message>
    <message>
        <source>No report template is loaded.</source>
        <translation>Шаблон отчёта не загружен.</translation>
    </message>
    <message>
        <source>The report database is not open.</source>
        <translation>База данных отчётов не открыта.</translation>
    </message>
    <message>
        <source>The report query failed: %1</source>
        <translation>Запрос отчёта не выполнен: %1</translation>
    </message>
    <message>
        <source>QR-codes list $V{protocol}</source>
        <translation>Список QR-кодов $V{protocol}</translation>
    </message>
    <message>
        <source>The PDF %1 cannot be written.</source>
        <translation>PDF %1 не удалось записать.</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>Отменено.</translation>
    </message>
</context>
<context>
    <name>RecordEditorForm</name>
    <message>
        <source>Current number of record</source>
        <translation>Текущий номер записи</translation>
    </message>
    <message>
        <source>Measure algorithm</source>
        <translation>Алгоритм измерения</translation>
    </message>
    <message>
        <source>After change number press Enter for apply</source>
        <translation>После изменения номера нажмите Enter</translation>
    </message>
    <message>
        <source>Record name</source>
        <translation>Имя записи</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Record status</source>
        <translation>Состояние записи</translation>
    </message>
    <message>
        <source>Delete</source>
        <comment>remove the record</comment>
        <translation>Удалить</translation>
    </message>
</context>
<context>
    <name>RecordEditorPage</name>
    <message>
        <source>F.I.O.</source>
        <translation>Ф.И.О.</translation>
    </message>
    <message>
        <source>Product №</source>
        <translation>Изделие №</translation>
    </message>
    <message>
        <source>Operation Number</source>
        <translation>Номер операции</translation>
    </message>
    <message>
        <source>Uzel type</source>
        <translation>Тип узла</translation>
    </message>
    <message>
        <source>Record Number</source>
        <translation>Номер записи</translation>
    </message>
    <message>
        <source> pcs)</source>
        <translation> шт.)</translation>
    </message>
    <message>
        <source>Type all ten letters or digits of the operation number.</source>
        <translation>Введите все десять букв или цифр номера операции.</translation>
    </message>
    <message>
        <source>Record is exist. You can edit this record.</source>
        <translation>Запись существует. Её можно редактировать.</translation>
    </message>
    <message>
        <source>Record don't exist. You can create NEW record.</source>
        <translation>Записи нет. Можно создать НОВУЮ запись.</translation>
    </message>
    <message>
        <source>Current record consist not enabled template</source>
        <translation>Текущая запись содержит отключённый шаблон</translation>
    </message>
    <message>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Attention! After edition record, count of measured moments will be erased!</source>
        <translation>Внимание! После редактирования записи измеренные моменты будут удалены!</translation>
    </message>
    <message>
        <source>Attention! Current record will be deleted!</source>
        <translation>Внимание! Текущая запись будет удалена!</translation>
    </message>
    <message>
        <source>Warning! Record can't be saved!</source>
        <translation>Внимание! Запись не удалось сохранить!</translation>
    </message>
    <message>
        <source>The key is not connected</source>
        <translation>Ключ не подключён</translation>
    </message>
</context>
<context>
    <name>RecordEraser</name>
    <message>
        <source>no key is connected</source>
        <translation>ключ не подключён</translation>
    </message>
    <message>
        <source>its file could not be asked from the key</source>
        <translation>её файл не удалось запросить у ключа</translation>
    </message>
    <message>
        <source>its file on the key is no record</source>
        <translation>её файл в ключе не является записью</translation>
    </message>
    <message>
        <source>its file on the key holds %1 of the %2 measures it counts</source>
        <translation>её файл в ключе содержит %1 из %2 указанных в нём измерений</translation>
    </message>
    <message>
        <source>the history is not available</source>
        <translation>история недоступна</translation>
    </message>
    <message>
        <source>the emptied record could not be sent to the key</source>
        <translation>очищенную запись не удалось отправить в ключ</translation>
    </message>
    <message>
        <source>the key did not confirm the emptied record in time</source>
        <translation>ключ вовремя не подтвердил очищенную запись</translation>
    </message>
    <message>
        <source>the key did not send the record in time</source>
        <translation>ключ вовремя не прислал запись</translation>
    </message>
    <message>
        <source>the history did not answer in time</source>
        <translation>история не ответила вовремя</translation>
    </message>
</context>
<context>
    <name>RecordMeasureTable</name>
    <message>
        <source>No.</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Moment</source>
        <translation>Момент</translation>
    </message>
    <message>
        <source>Corrected
defect</source>
        <translation>Испр.
дефект</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>Угол</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Дата и время</translation>
    </message>
    <message>
        <source>Measured moments of the record</source>
        <translation>Измеренные моменты записи</translation>
    </message>
</context>
<context>
    <name>RecordMirror</name>
    <message>
        <source>Record name %1 can't be used as a file name</source>
        <translation>Имя записи %1 нельзя использовать как имя файла</translation>
    </message>
    <message>
        <source>Folder %1 can't be created</source>
        <translation>Не удалось создать папку %1</translation>
    </message>
</context>
<context>
    <name>RecordParameters</name>
    <message>
        <source>Low Moment</source>
        <translation>Мин. момент</translation>
    </message>
    <message>
        <source>Low moment range</source>
        <translation>Нижняя граница момента</translation>
    </message>
    <message>
        <source>Limit Moment</source>
        <translation>Предельный момент</translation>
    </message>
    <message>
        <source>Stop measure moment</source>
        <translation>Момент окончания измерения</translation>
    </message>
    <message>
        <source>High Moment</source>
        <translation>Макс. момент</translation>
    </message>
    <message>
        <source>High moment range</source>
        <translation>Верхняя граница момента</translation>
    </message>
    <message>
        <source>Start Angle</source>
        <translation>Начальный угол</translation>
    </message>
    <message>
        <source>Start angle</source>
        <translation>Начальный угол</translation>
    </message>
    <message>
        <source>Low Angle</source>
        <translation>Мин. угол</translation>
    </message>
    <message>
        <source>Low angle range</source>
        <translation>Нижняя граница угла</translation>
    </message>
    <message>
        <source>Limit Angle</source>
        <translation>Предельный угол</translation>
    </message>
    <message>
        <source>Stop measure angle</source>
        <translation>Угол окончания измерения</translation>
    </message>
    <message>
        <source>High Angle</source>
        <translation>Макс. угол</translation>
    </message>
    <message>
        <source>High angle range</source>
        <translation>Верхняя граница угла</translation>
    </message>
    <message>
        <source>Start Moment</source>
        <translation>Начальный момент</translation>
    </message>
    <message>
        <source>Moment of start angle measure</source>
        <translation>Момент начала измерения угла</translation>
    </message>
    <message>
        <source>Pitch Step</source>
        <translation>Шаг резьбы</translation>
    </message>
    <message>
        <source>Pitch Step of connection</source>
        <translation>Шаг резьбы соединения</translation>
    </message>
    <message>
        <source>Angle Increment</source>
        <translation>Приращение угла</translation>
    </message>
    <message>
        <source>Step angle increment</source>
        <translation>Шаг приращения угла</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>Угол</translation>
    </message>
    <message>
        <source>Nessenary angle of rotation</source>
        <translation>Необходимый угол поворота</translation>
    </message>
    <message>
        <source>Head Size</source>
        <translation>Размер головки</translation>
    </message>
    <message>
        <source>Tolal number of bolts</source>
        <translation>Общее количество болтов</translation>
    </message>
    <message>
        <source>Full cells count</source>
        <translation>Заполнено ячеек</translation>
    </message>
    <message>
        <source>Number of finished bolts</source>
        <translation>Количество затянутых болтов</translation>
    </message>
</context>
<context>
    <name>RecordsFolderPanel</name>
    <message>
        <source>Save Records to folder on PC</source>
        <translation>Сохранить записи в папку на ПК</translation>
    </message>
    <message>
        <source>Copy Records from PC folder to Key</source>
        <translation>Копировать записи из папки ПК в ключ</translation>
    </message>
    <message>
        <source>Delete Records in Key</source>
        <translation>Удалить записи в ключе</translation>
    </message>
    <message>
        <source>(need to restart the program)</source>
        <translation>(потребуется перезапуск программы)</translation>
    </message>
    <message>
        <source>Select a Directory for save records</source>
        <translation>Выберите папку для сохранения записей</translation>
    </message>
    <message>
        <source>Select a Directory for get records</source>
        <translation>Выберите папку с записями</translation>
    </message>
    <message>
        <source>There are no records to save</source>
        <translation>Нет записей для сохранения</translation>
    </message>
    <message>
        <source>Warning! %1 of %2 records were not saved to the folder!</source>
        <translation>Внимание! %1 из %2 записей не сохранены в папку!</translation>
    </message>
    <message>
        <source>%1 records saved to %2</source>
        <translation>Записей сохранено: %1, папка %2</translation>
    </message>
    <message>
        <source>Warning! Folder is empty!</source>
        <translation>Внимание! Папка пуста!</translation>
    </message>
    <message>
        <source>Warning! There are no record files in the folder!</source>
        <translation>Внимание! В папке нет файлов записей!</translation>
    </message>
    <message>
        <source>%1 records queued for the key</source>
        <translation>Записей поставлено в очередь для ключа: %1</translation>
    </message>
    <message>
        <source>All records will be erased from the key. Continue?</source>
        <translation>Все записи в ключе будут удалены. Продолжить?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Warning! Records will be erased from key. Program will be closed. Please restart programm if nessesary</source>
        <translation>Внимание! Записи будут удалены из ключа. Программа будет закрыта. При необходимости запустите программу снова</translation>
    </message>
</context>
<context>
    <name>ReportActions</name>
    <message>
        <source>Save Report of Measures</source>
        <translation>Сохранить отчёт по измерениям</translation>
    </message>
    <message>
        <source>Key Moment Report (*.csv);;All Files (*)</source>
        <translation>Отчёт моментов ключа (*.csv);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Report was saved with filename: </source>
        <translation>Отчёт сохранён в файл: </translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Save QR-codes list</source>
        <translation>Сохранить список QR-кодов</translation>
    </message>
    <message>
        <source>QR-list (*.pdf);;All Files (*)</source>
        <translation>Список QR (*.pdf);;Все файлы (*)</translation>
    </message>
    <message>
        <source>The desktop could not open %1</source>
        <translation>Система не смогла открыть %1</translation>
    </message>
    <message>
        <source>A CSV report is being saved. Wait until it is done, then save the next.</source>
        <translation>Отчёт CSV сохраняется. Дождитесь окончания и сохраните следующий.</translation>
    </message>
    <message>
        <source>An Excel report is being made. Wait until it is done, then make the next.</source>
        <translation>Отчёт Excel создаётся. Дождитесь окончания и создайте следующий.</translation>
    </message>
    <message>
        <source>The QR-codes list is being made. Wait until it is done, then make the next.</source>
        <translation>Список QR-кодов создаётся. Дождитесь окончания и создайте следующий.</translation>
    </message>
    <message>
        <source>CSV report</source>
        <translation>Отчёт CSV</translation>
    </message>
    <message>
        <source>Excel report</source>
        <translation>Отчёт Excel</translation>
    </message>
    <message>
        <source>QR-codes list</source>
        <translation>Список QR-кодов</translation>
    </message>
    <message>
        <source>The report was cancelled; no file was written</source>
        <translation>Отчёт отменён; файл не записан</translation>
    </message>
</context>
<context>
    <name>ReportButtons</name>
    <message>
        <source>CSV</source>
        <translation>CSV</translation>
    </message>
    <message>
        <source>Save the measures of the table as a CSV file</source>
        <translation>Сохранить измерения таблицы в файл CSV</translation>
    </message>
    <message>
        <source>Excel</source>
        <translation>Excel</translation>
    </message>
    <message>
        <source>Make the Excel report of the record</source>
        <translation>Создать отчёт Excel по записи</translation>
    </message>
    <message>
        <source>QR codes</source>
        <translation>QR-коды</translation>
    </message>
    <message>
        <source>Print the list of all records with their QR codes to PDF</source>
        <translation>Напечатать список всех записей с их QR-кодами в PDF</translation>
    </message>
    <message>
        <source>Reports</source>
        <translation>Отчёты</translation>
    </message>
    <message>
        <source>Open the reports folder</source>
        <translation>Открыть папку отчётов</translation>
    </message>
</context>
<context>
    <name>ReportIdentity</name>
    <message>
        <source>kgsm</source>
        <translation>кгсм</translation>
    </message>
    <message>
        <source>Nm</source>
        <translation>Нм</translation>
    </message>
</context>
<context>
    <name>ReportJobs</name>
    <message>
        <source>The record %1 is not in the local mirror.</source>
        <translation>Записи %1 нет в локальной копии.</translation>
    </message>
    <message>
        <source>Writing %1 rows</source>
        <translation>Запись строк: %1</translation>
    </message>
    <message>
        <source>The report was not saved. %1</source>
        <translation>Отчёт не сохранён. %1</translation>
    </message>
    <message>
        <source>Report saved to %1</source>
        <translation>Отчёт сохранён: %1</translation>
    </message>
    <message>
        <source>Reading the record %1</source>
        <translation>Чтение записи %1</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>Отменено.</translation>
    </message>
    <message>
        <source>Writing the workbook of %1 measures</source>
        <translation>Запись книги (измерений: %1)</translation>
    </message>
    <message>
        <source>Excel report of %1 saved to %2</source>
        <translation>Отчёт Excel по записи %1 сохранён: %2</translation>
    </message>
    <message>
        <source>Making the QR-codes list</source>
        <translation>Создание списка QR-кодов</translation>
    </message>
    <message>
        <source>QR-codes list of %1 records saved to %2</source>
        <translation>Список QR-кодов (записей: %1) сохранён: %2</translation>
    </message>
</context>
<context>
    <name>ReportPaths</name>
    <message>
        <source>report</source>
        <translation>отчёт</translation>
    </message>
    <message>
        <source>en</source>
        <comment>language of the report templates</comment>
        <translation>ru</translation>
    </message>
</context>
<context>
    <name>StatisticsCharts</name>
    <message>
        <source>Moment</source>
        <translation>Момент</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>Количество</translation>
    </message>
    <message>
        <source>Measures</source>
        <translation>Измерения</translation>
    </message>
    <message>
        <source>Normal curve</source>
        <translation>Нормальная кривая</translation>
    </message>
    <message>
        <source>Individuals chart of the moment</source>
        <translation>Карта индивидуальных значений момента</translation>
    </message>
    <message>
        <source>Histogram of the moment</source>
        <translation>Гистограмма момента</translation>
    </message>
    <message>
        <source>Measure No.</source>
        <translation>№ измерения</translation>
    </message>
    <message>
        <source>Subgroup No.</source>
        <translation>№ подгруппы</translation>
    </message>
    <message>
        <source>Mean of 5</source>
        <translation>Среднее</translation>
    </message>
    <message>
        <source>Range of 5</source>
        <translation>Размах</translation>
    </message>
    <message>
        <source>Values</source>
        <translation>Значения</translation>
    </message>
    <message>
        <source>Centre line</source>
        <translation>Центральная линия</translation>
    </message>
    <message>
        <source>Control limits</source>
        <translation>Контрольные границы</translation>
    </message>
    <message>
        <source>Beyond a control limit</source>
        <translation>За контрольной границей</translation>
    </message>
    <message>
        <source>%1: no measures.</source>
        <translation>%1: измерений нет.</translation>
    </message>
    <message>
        <source>%1 of %2 measures in %3 bars: mean %4%5, sigma %6%5.</source>
        <translation>%1: %2 измерений в %3 столбцах: среднее %4%5, сигма %6%5.</translation>
    </message>
    <message>
        <source>%1, points %2 to %3 of %4: centre line %5%6, control limits %7 to %8%6.</source>
        <translation>%1, точки с %2 по %3 из %4: центральная линия %5%6, контрольные границы от %7 до %8%6.</translation>
    </message>
    <message>
        <source>No point beyond a control limit.</source>
        <translation>Ни одной точки за контрольными границами.</translation>
    </message>
    <message>
        <source>Points beyond a control limit: %1; the farthest: No. %2.</source>
        <translation>Точек за контрольными границами: %1; самые дальние: № %2.</translation>
    </message>
    <message>
        <source>No measures</source>
        <translation>Измерений нет</translation>
    </message>
    <message>
        <source>Tolerance limits</source>
        <translation>Границы допуска</translation>
    </message>
    <message>
        <source>Tolerance limits %1 to %2%3.</source>
        <translation>Границы допуска от %1 до %2%3.</translation>
    </message>
    <message>
        <source>X-bar chart: subgroup means of 5</source>
        <translation>X̄-карта: средние подгрупп по 5</translation>
    </message>
    <message>
        <source>R chart: subgroup ranges of 5</source>
        <translation>R-карта: размахи подгрупп по 5</translation>
    </message>
</context>
<context>
    <name>StatisticsReport</name>
    <message>
        <source>record %1</source>
        <translation>запись %1</translation>
    </message>
    <message>
        <source>period %1 to %2</source>
        <translation>период с %1 по %2</translation>
    </message>
    <message>
        <source>the whole history</source>
        <translation>вся история</translation>
    </message>
    <message>
        <source>key %1</source>
        <translation>ключ %1</translation>
    </message>
    <message>
        <source>Cannot write file %1</source>
        <translation>Не удаётся записать файл %1</translation>
    </message>
    <message>
        <source>Statistics of joints</source>
        <translation>Статистика соединений</translation>
    </message>
    <message>
        <source>Statistics of joint %1</source>
        <translation>Статистика соединения %1</translation>
    </message>
    <message>
        <source>Filter: %1</source>
        <translation>Фильтр: %1</translation>
    </message>
    <message>
        <source>Station: %1</source>
        <translation>Станция: %1</translation>
    </message>
    <message>
        <source>Printed: %1</source>
        <translation>Напечатано: %1</translation>
    </message>
    <message>
        <source>Measures</source>
        <translation>Измерений</translation>
    </message>
    <message>
        <source>NG share</source>
        <translation>Доля брака</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Среднее</translation>
    </message>
    <message>
        <source>Sigma</source>
        <translation>Сигма</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Мин.</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Макс.</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Размах</translation>
    </message>
    <message>
        <source>Cp (alarm below %1)</source>
        <translation>Cp (тревога ниже %1)</translation>
    </message>
    <message>
        <source>Cpk (alarm below %1)</source>
        <translation>Cpk (тревога ниже %1)</translation>
    </message>
    <message>
        <source>No capability figures.</source>
        <translation>Показателей воспроизводимости нет.</translation>
    </message>
    <message>
        <source>Capability alarm: Cp %1, Cpk %2 (thresholds %3 and %4).</source>
        <translation>Тревога по воспроизводимости: Cp %1, Cpk %2 (пороги %3 и %4).</translation>
    </message>
    <message>
        <source>The process is capable: Cp %1, Cpk %2.</source>
        <translation>Процесс воспроизводим: Cp %1, Cpk %2.</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Группа</translation>
    </message>
    <message>
        <source>n</source>
        <translation>n</translation>
    </message>
    <message>
        <source>Cp</source>
        <translation>Cp</translation>
    </message>
    <message>
        <source>Cpk</source>
        <translation>Cpk</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>да</translation>
    </message>
    <message>
        <source>Checked by:</source>
        <translation>Проверил:</translation>
    </message>
    <message>
        <source>Date:</source>
        <translation>Дата:</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Страница %1 из %2</translation>
    </message>
    <message>
        <source>Tolerance</source>
        <translation>Допуск</translation>
    </message>
</context>
<context>
    <name>StatisticsView</name>
    <message>
        <source>Statistics: choose one record</source>
        <translation>Статистика: выберите одну запись</translation>
    </message>
    <message>
        <source>Statistics of %1</source>
        <translation>Статистика: %1</translation>
    </message>
    <message>
        <source>%1 Cp %2 is below %3</source>
        <translation>%1: Cp %2 ниже %3</translation>
    </message>
    <message>
        <source>%1 Cpk %2 is below %3</source>
        <translation>%1: Cpk %2 ниже %3</translation>
    </message>
    <message>
        <source>Moment</source>
        <translation>Момент</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>Угол</translation>
    </message>
    <message>
        <source>Capability alarm: %1.</source>
        <translation>Тревога воспроизводимости: %1.</translation>
    </message>
    <message>
        <source>The process is capable.</source>
        <translation>Процесс воспроизводим.</translation>
    </message>
    <message>
        <source>Mean</source>
        <translation>Среднее</translation>
    </message>
    <message>
        <source>Measures</source>
        <translation>Измерений</translation>
    </message>
    <message>
        <source>Sigma</source>
        <translation>Сигма</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Мин.</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Макс.</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Размах</translation>
    </message>
    <message>
        <source>NG share</source>
        <translation>Доля брака</translation>
    </message>
    <message>
        <source>Cp</source>
        <translation>Cp</translation>
    </message>
    <message>
        <source>Cpk</source>
        <translation>Cpk</translation>
    </message>
    <message>
        <source>Angle Cp</source>
        <translation>Cp угла</translation>
    </message>
    <message>
        <source>Angle Cpk</source>
        <translation>Cpk угла</translation>
    </message>
    <message>
        <source>Statistics to PDF</source>
        <translation>Статистика в PDF</translation>
    </message>
    <message>
        <source>Nm</source>
        <translation>Нм</translation>
    </message>
    <message>
        <source>kgsm</source>
        <translation>кгсм</translation>
    </message>
    <message>
        <source>Loading the statistics of %1…</source>
        <translation>Загрузка статистики %1…</translation>
    </message>
    <message>
        <source>Loading the statistics…</source>
        <translation>Загрузка статистики…</translation>
    </message>
    <message>
        <source>Capability alarm</source>
        <translation>Тревога по воспроизводимости</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Группа</translation>
    </message>
    <message>
        <source>Figures by operator and by key</source>
        <translation>Показатели по операторам и по ключам</translation>
    </message>
    <message>
        <source>By station, operator and key</source>
        <translation>По постам, операторам и ключам</translation>
    </message>
</context>
<context>
    <name>TemplateFiles</name>
    <message>
        <source>File %1 not found</source>
        <translation>Файл %1 не найден</translation>
    </message>
    <message>
        <source>File %1 holds %2 bytes instead of %3</source>
        <translation>Файл %1 содержит %2 байт вместо %3</translation>
    </message>
</context>
<context>
    <name>TemplateLists</name>
    <message>
        <source>error FIO</source>
        <translation>ошибка ФИО</translation>
    </message>
    <message>
        <source>error WHEEL</source>
        <translation>ошибка ИЗДЕЛИЕ</translation>
    </message>
    <message>
        <source>error UZEL</source>
        <translation>ошибка УЗЕЛ</translation>
    </message>
    <message>
        <source>object</source>
        <translation>объект</translation>
    </message>
    <message>
        <source>no</source>
        <translation>№</translation>
    </message>
    <message>
        <source>name</source>
        <translation>имя</translation>
    </message>
    <message>
        <source>unit</source>
        <translation>изделие</translation>
    </message>
    <message>
        <source>node</source>
        <translation>узел</translation>
    </message>
</context>
<context>
    <name>TemplateTextCut</name>
    <message>
        <source>F.I.O.</source>
        <translation>Ф.И.О.</translation>
    </message>
    <message>
        <source>Wheel</source>
        <translation>Изделие</translation>
    </message>
    <message>
        <source>Uzel</source>
        <translation>Узел</translation>
    </message>
    <message>
        <source>%1 template %2, field %3: text longer than %4 bytes was shortened</source>
        <translation>Шаблон %1 № %2, поле %3: текст длиннее %4 байт был сокращён</translation>
    </message>
</context>
<context>
    <name>TemplateTextRow</name>
    <message>
        <source>Enable/disable current template</source>
        <translation>Включить/выключить шаблон</translation>
    </message>
    <message>
        <source>Too long for the key: only %1 bytes are kept when saved</source>
        <translation>Слишком длинно для ключа: при сохранении останется только %1 байт</translation>
    </message>
</context>
<context>
    <name>TemplatesPage</name>
    <message>
        <source>Get template from JSON-file</source>
        <translation>Загрузить шаблон из JSON-файла</translation>
    </message>
    <message>
        <source>Save template to key</source>
        <translation>Сохранить шаблон в ключ</translation>
    </message>
    <message>
        <source>View on key display</source>
        <translation>Текст на дисплее ключа</translation>
    </message>
    <message>
        <source>Additional field 1</source>
        <translation>Дополнительное поле 1</translation>
    </message>
    <message>
        <source>Additional field 2</source>
        <translation>Дополнительное поле 2</translation>
    </message>
    <message>
        <source>Main info</source>
        <translation>Основная информация</translation>
    </message>
    <message>
        <source>String 1</source>
        <translation>Строка 1</translation>
    </message>
    <message>
        <source>String 2</source>
        <translation>Строка 2</translation>
    </message>
    <message>
        <source>Measure algorithm</source>
        <translation>Алгоритм измерения</translation>
    </message>
    <message>
        <source>F.I.O.</source>
        <translation>Ф.И.О.</translation>
    </message>
    <message>
        <source>Wheel</source>
        <translation>Изделие</translation>
    </message>
    <message>
        <source>Uzel</source>
        <translation>Узел</translation>
    </message>
    <message>
        <source>Templates</source>
        <translation>Шаблоны</translation>
    </message>
    <message>
        <source>Save templates to PC folder</source>
        <translation>Сохранить шаблоны в папку на ПК</translation>
    </message>
    <message>
        <source>Save all template lists into a folder on the PC</source>
        <translation>Сохранить все списки шаблонов в папку на ПК</translation>
    </message>
    <message>
        <source>Send templates from PC folder to key</source>
        <translation>Отправить шаблоны из папки ПК в ключ</translation>
    </message>
    <message>
        <source>Send the template lists of a PC folder to the key</source>
        <translation>Отправить в ключ списки шаблонов из папки на ПК</translation>
    </message>
    <message>
        <source>Fill templates with defaults</source>
        <translation>Заполнить шаблоны по умолчанию</translation>
    </message>
    <message>
        <source>Replace all template lists in the key by default lists</source>
        <translation>Заменить все списки шаблонов в ключе списками по умолчанию</translation>
    </message>
    <message>
        <source>Texts too long for the key were shortened:</source>
        <translation>Слишком длинные для ключа тексты сокращены:</translation>
    </message>
    <message>
        <source>Select a Directory with JSON templates</source>
        <translation>Выберите папку с шаблонами JSON</translation>
    </message>
    <message>
        <source>Warning! Template in JSON format not found!</source>
        <translation>Внимание! Шаблон в формате JSON не найден!</translation>
    </message>
    <message>
        <source>Warning! Template in JSON format not opened!</source>
        <translation>Внимание! Шаблон в формате JSON не открыт!</translation>
    </message>
    <message>
        <source>Warning! Template in JSON format is damaged!</source>
        <translation>Внимание! Шаблон в формате JSON повреждён!</translation>
    </message>
    <message>
        <source>Select a Directory for save templates</source>
        <translation>Выберите папку для сохранения шаблонов</translation>
    </message>
    <message>
        <source>Warning! Not all templates were saved!</source>
        <translation>Внимание! Сохранены не все шаблоны!</translation>
    </message>
    <message>
        <source>Templates saved to </source>
        <translation>Шаблоны сохранены в </translation>
    </message>
    <message>
        <source>Select a Directory with templates</source>
        <translation>Выберите папку с шаблонами</translation>
    </message>
    <message>
        <source>File %1 could not be sent</source>
        <translation>Файл %1 не удалось отправить</translation>
    </message>
    <message>
        <source>All templates in the key will be replaced by default lists.</source>
        <translation>Все шаблоны в ключе будут заменены списками по умолчанию.</translation>
    </message>
    <message>
        <source>Changes not saved to the key</source>
        <translation>Изменения не сохранены в ключ</translation>
    </message>
    <message>
        <source>Warning! Template was not saved and not sent to the key!</source>
        <translation>Внимание! Шаблон не сохранён и не отправлен в ключ!</translation>
    </message>
    <message>
        <source>Warning! Template was saved on the PC but could not be sent to the key!</source>
        <translation>Внимание! Шаблон сохранён на ПК, но не отправлен в ключ!</translation>
    </message>
    <message>
        <source>Template sent to the key: </source>
        <translation>Шаблон отправлен в ключ: </translation>
    </message>
    <message>
        <source>Template read from the JSON file; press Save to send it to the key</source>
        <translation>Шаблон прочитан из JSON-файла; нажмите «Сохранить», чтобы отправить его в ключ</translation>
    </message>
    <message>
        <source>Warning! Not all templates were sent to the key!</source>
        <translation>Внимание! В ключ отправлены не все шаблоны!</translation>
    </message>
    <message>
        <source>Templates sent to the key: %1 of 3</source>
        <translation>Шаблонов отправлено в ключ: %1 из 3</translation>
    </message>
</context>
<context>
    <name>UsbLink</name>
    <message>
        <source>COM Opened!</source>
        <translation>COM открыт!</translation>
    </message>
    <message>
        <source>COM Open error</source>
        <translation>Ошибка открытия COM</translation>
    </message>
    <message>
        <source>COM Disconnected</source>
        <translation>COM отключён</translation>
    </message>
    <message>
        <source>Com_handleError</source>
        <translation>Com_handleError</translation>
    </message>
</context>
<context>
    <name>UzelTemplateRow</name>
    <message>
        <source>Main info</source>
        <translation>Основная информация</translation>
    </message>
    <message>
        <source>String 1</source>
        <translation>Строка 1</translation>
    </message>
    <message>
        <source>String 2</source>
        <translation>Строка 2</translation>
    </message>
    <message>
        <source>Measure algorithm</source>
        <translation>Алгоритм измерения</translation>
    </message>
    <message>
        <source>Bolts count</source>
        <translation>Кол-во болтов</translation>
    </message>
    <message>
        <source>Head size</source>
        <translation>Размер головки</translation>
    </message>
</context>
<context>
    <name>WifiController</name>
    <message>
        <source>Try to connect device to PC over Wi-Fi...</source>
        <translation>Подключение устройства к компьютеру по Wi-Fi...</translation>
    </message>
    <message>
        <source>Select connection point</source>
        <translation>Выберите точку подключения</translation>
    </message>
    <message>
        <source>Please select IP address</source>
        <translation>Пожалуйста, выберите IP-адрес</translation>
    </message>
    <message>
        <source>of PC in network:</source>
        <translation>компьютера в сети:</translation>
    </message>
    <message>
        <source>Then double click mouse left button</source>
        <translation>Затем дважды щёлкните левой кнопкой мыши</translation>
    </message>
    <message>
        <source>for apply and restart</source>
        <translation>для применения и перезапуска</translation>
    </message>
    <message>
        <source>PC network addresses</source>
        <translation>Сетевые адреса компьютера</translation>
    </message>
    <message>
        <source>Warning! File 'settings.ini' can't create!</source>
        <translation>Внимание! Не удаётся создать файл 'settings.ini'!</translation>
    </message>
    <message>
        <source>Try to connect device to PC over USB-miniUSB cable...</source>
        <translation>Подключите устройство к компьютеру кабелем USB-miniUSB...</translation>
    </message>
    <message>
        <source>Wi-Fi keys are served by another TorqueDesk on this PC</source>
        <translation>Ключи Wi-Fi обслуживает другая копия TorqueDesk на этом ПК</translation>
    </message>
</context>
<context>
    <name>WifiKeyCombo</name>
    <message>
        <source>Wi-Fi key</source>
        <translation>Ключ Wi-Fi</translation>
    </message>
</context>
<context>
    <name>XlsxPackage</name>
    <message>
        <source>The workbook %1 does not exist.</source>
        <translation>Книги %1 не существует.</translation>
    </message>
    <message>
        <source>The workbook %1 is damaged (not a readable zip package).</source>
        <translation>Книга %1 повреждена (не читаемый zip-пакет).</translation>
    </message>
    <message>
        <source>The workbook %1 is damaged.</source>
        <translation>Книга %1 повреждена.</translation>
    </message>
    <message>
        <source>The workbook %1 is too large.</source>
        <translation>Книга %1 слишком велика.</translation>
    </message>
    <message>
        <source>The workbook %1 has no workbook part.</source>
        <translation>В книге %1 нет основной части.</translation>
    </message>
    <message>
        <source>The workbook %1 is damaged (%2).</source>
        <translation>Книга %1 повреждена (%2).</translation>
    </message>
    <message>
        <source>The sheet part %1 is missing.</source>
        <translation>Часть листа %1 отсутствует.</translation>
    </message>
    <message>
        <source>The sheet %1 is damaged.</source>
        <translation>Лист %1 повреждён.</translation>
    </message>
    <message>
        <source>Cell (%1, %2) lies outside a worksheet.</source>
        <translation>Ячейка (%1, %2) лежит за пределами листа.</translation>
    </message>
    <message>
        <source>No workbook is open.</source>
        <translation>Книга не открыта.</translation>
    </message>
    <message>
        <source>The workbook %1 cannot be written.</source>
        <translation>Книгу %1 не удалось записать.</translation>
    </message>
    <message>
        <source>The workbook %1 cannot be written (disk full?).</source>
        <translation>Книгу %1 не удалось записать (диск заполнен?).</translation>
    </message>
    <message>
        <source>The workbook %1 cannot be replaced.</source>
        <translation>Книгу %1 не удалось заменить.</translation>
    </message>
</context>
<context>
    <name>cRecord</name>
    <message>
        <source>Scroll left</source>
        <translation>Прокрутить влево</translation>
    </message>
    <message>
        <source>Scroll right</source>
        <translation>Прокрутить вправо</translation>
    </message>
    <message>
        <source>Finished:</source>
        <translation>Выполнено:</translation>
    </message>
    <message>
        <source>No records</source>
        <translation>Нет записей</translation>
    </message>
</context>
<context>
    <name>cWifi</name>
    <message>
        <source>Wi-Fi port %1 cannot be opened on %2</source>
        <translation>Порт Wi-Fi %1 не удаётся открыть на %2</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>Write the debug log to stderr.</source>
        <translation>Выводить отладочный журнал в stderr.</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Команды:</translation>
    </message>
    <message>
        <source>--verbose writes the debug log to stderr, --log FILE appends it to FILE.</source>
        <translation>--verbose выводит отладочный журнал в stderr, --log FILE дописывает его в FILE.</translation>
    </message>
    <message>
        <source>'torquedesk-cli &lt;command&gt; --help' describes a command's options.</source>
        <translation>'torquedesk-cli &lt;команда&gt; --help' описывает параметры команды.</translation>
    </message>
    <message>
        <source>cannot write the log file '%1'</source>
        <translation>не удаётся записать файл журнала '%1'</translation>
    </message>
    <message>
        <source>unknown command '%1'</source>
        <translation>неизвестная команда '%1'</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 байт</translation>
    </message>
    <message>
        <source>%1 KiB</source>
        <translation>%1 КиБ</translation>
    </message>
    <message>
        <source>Mirror the key's "templates" and "dbsett" folders into DIR/download.</source>
        <translation>Скопировать папки ключа "templates" и "dbsett" в DIR/download.</translation>
    </message>
    <message>
        <source>Use serial device DEVICE as the key's port (default: the USB serial-number search).</source>
        <translation>Использовать последовательное устройство DEVICE как порт ключа (по умолчанию: поиск по серийному номеру USB).</translation>
    </message>
    <message>
        <source>Give up when no key is found within S seconds (default 15).</source>
        <translation>Прекратить, если ключ не найден за S секунд (по умолчанию 15).</translation>
    </message>
    <message>
        <source>mirror takes no arguments: %1</source>
        <translation>mirror не принимает аргументов: %1</translation>
    </message>
    <message>
        <source>--timeout wants a whole number of seconds, not '%1'</source>
        <translation>--timeout требует целое число секунд, а не '%1'</translation>
    </message>
    <message>
        <source>mirror</source>
        <translation>копирование</translation>
    </message>
    <message>
        <source>%1/%2 files, %3</source>
        <translation>%1/%2 файлов, %3</translation>
    </message>
    <message>
        <source>%1 files, %2</source>
        <translation>%1 файлов, %2</translation>
    </message>
    <message>
        <source>Mirrored %1 files (%2 bytes) of key "%3" into %4 in %5 s</source>
        <translation>Скопировано %1 файлов (%2 байт) ключа "%3" в %4 за %5 с</translation>
    </message>
    <message>
        <source>the key was lost before the mirror was complete</source>
        <translation>ключ потерян до завершения копирования</translation>
    </message>
    <message>
        <source>the key stopped answering; transfers given up</source>
        <translation>ключ перестал отвечать; передачи прекращены</translation>
    </message>
    <message>
        <source>no port with the key's USB serial number</source>
        <translation>нет порта с серийным номером USB ключа</translation>
    </message>
    <message>
        <source>%1 did not open as the key's port</source>
        <translation>%1 не открылся как порт ключа</translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 не существует</translation>
    </message>
    <message>
        <source>no key within %1 s: %2</source>
        <translation>нет ключа за %1 с: %2</translation>
    </message>
    <message>
        <source>Publish the results the broker has not acknowledged yet, then exit.</source>
        <translation>Опубликовать результаты, ещё не подтверждённые брокером, и завершить работу.</translation>
    </message>
    <message>
        <source>The broker: mqtt://host:port/prefix or mqtts://... (default: the address in the settings).</source>
        <translation>Брокер: mqtt://узел:порт/префикс или mqtts://... (по умолчанию — адрес из настроек).</translation>
    </message>
    <message>
        <source>The history: a SQLite file or postgresql://user@host:port/db (default: the history page's setting).</source>
        <translation>История: файл SQLite или postgresql://пользователь@узел:порт/база (по умолчанию — из настроек страницы истории).</translation>
    </message>
    <message>
        <source>Give up after SECONDS (default 120).</source>
        <translation>Прекратить через SECONDS секунд (по умолчанию 120).</translation>
    </message>
    <message>
        <source>--timeout takes a number of seconds</source>
        <translation>--timeout принимает число секунд</translation>
    </message>
    <message>
        <source>no broker: give --mqtt URL or set the address on the settings page</source>
        <translation>нет брокера: укажите --mqtt URL или задайте адрес на странице настроек</translation>
    </message>
    <message>
        <source>publish</source>
        <translation>публикация</translation>
    </message>
    <message>
        <source>%1: %2 result(s) not acknowledged (%3)</source>
        <translation>%1: не подтверждено результатов: %2 (%3)</translation>
    </message>
    <message>
        <source>%1 result(s) published to %2</source>
        <translation>опубликовано результатов: %1 на %2</translation>
    </message>
    <message>
        <source>Send the results the plant's broker has not acknowledged, then exit.</source>
        <translation>Отправить результаты, не подтверждённые брокером завода, и завершить работу.</translation>
    </message>
    <message>
        <source>The history database: postgresql://user@host:port/dbname, or a SQLite file (default: DIR/history/history.db3, or the history page's setting). The password comes from ~/.pgpass or PGPASSWORD.</source>
        <translation>База истории: postgresql://user@host:port/dbname или файл SQLite (по умолчанию DIR/history/history.db3 или настройка страницы истории). Пароль берётся из ~/.pgpass или PGPASSWORD.</translation>
    </message>
    <message>
        <source>the history cannot be opened: %1</source>
        <translation>история не открывается: %1</translation>
    </message>
    <message>
        <source>History server not reached; measures are kept in the local queue.</source>
        <translation>Сервер истории недоступен; измерения сохранены в локальной очереди.</translation>
    </message>
    <message>
        <source>--%1 wants a date as YYYY-MM-DD, not '%2'</source>
        <translation>--%1 ожидает дату в виде ГГГГ-ММ-ДД, а не '%2'</translation>
    </message>
    <message>
        <source>Measures from this day on.</source>
        <translation>Измерения начиная с этого дня.</translation>
    </message>
    <message>
        <source>Measures up to this day.</source>
        <translation>Измерения по этот день.</translation>
    </message>
    <message>
        <source>Only the measures of this record (joint).</source>
        <translation>Только измерения этой записи (соединения).</translation>
    </message>
    <message>
        <source>unexpected argument '%1'</source>
        <translation>лишний аргумент '%1'</translation>
    </message>
    <message>
        <source>csv or dfq.</source>
        <translation>csv или dfq.</translation>
    </message>
    <message>
        <source>The file to write.</source>
        <translation>Файл для записи.</translation>
    </message>
    <message>
        <source>--format wants csv or dfq</source>
        <translation>--format ожидает csv или dfq</translation>
    </message>
    <message>
        <source>--out FILE is missing</source>
        <translation>не указан --out FILE</translation>
    </message>
    <message>
        <source>the history server is not reached; nothing to export from</source>
        <translation>сервер истории недоступен; экспортировать нечего</translation>
    </message>
    <message>
        <source>export failed: %1</source>
        <translation>экспорт не удался: %1</translation>
    </message>
    <message>
        <source>%1 measures written to %2</source>
        <translation>%1 измерений записано в %2</translation>
    </message>
    <message>
        <source>%1 characters the file's character set cannot hold were written as '?'</source>
        <translation>%1 символов, которых нет в кодировке файла, записаны как '?'</translation>
    </message>
    <message>
        <source>Print the figures as one JSON object.</source>
        <translation>Вывести показатели одним объектом JSON.</translation>
    </message>
    <message>
        <source>--record NAME is missing</source>
        <translation>не указан --record NAME</translation>
    </message>
    <message>
        <source>the history server is not reached</source>
        <translation>сервер истории недоступен</translation>
    </message>
    <message>
        <source>the history could not be read: %1</source>
        <translation>историю не удалось прочитать: %1</translation>
    </message>
    <message>
        <source>no measures of record %1 in the history</source>
        <translation>в истории нет измерений записи %1</translation>
    </message>
    <message>
        <source>ALARM: the process is not capable</source>
        <translation>ТРЕВОГА: процесс не пригоден (недостаточная воспроизводимость)</translation>
    </message>
    <message>
        <source>unknown history subcommand '%1'</source>
        <translation>неизвестная подкоманда history '%1'</translation>
    </message>
    <message>
        <source>Archiving</source>
        <translation>Архивирование</translation>
    </message>
    <message>
        <source>%1 record files, %2 measures: %3 new in the history, %4 queued for the server</source>
        <translation>%1 файлов записей, %2 измерений: %3 новых в истории, %4 в очереди на сервер</translation>
    </message>
    <message>
        <source>the measures of %1 record files were not kept: %2</source>
        <translation>измерения %1 файлов записей не сохранены: %2</translation>
    </message>
    <message>
        <source>Mirror the key into DIR/download and archive its measures in the history.</source>
        <translation>Скопировать ключ в DIR/download и сохранить его измерения в истории.</translation>
    </message>
    <message>
        <source>The history database (see 'history --help').</source>
        <translation>База данных истории (см. 'history --help').</translation>
    </message>
    <message>
        <source>pull takes no arguments: %1</source>
        <translation>команда pull не принимает аргументов: %1</translation>
    </message>
    <message>
        <source>%1/%2 files</source>
        <translation>%1/%2 файлов</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 файлов</translation>
    </message>
    <message>
        <source>Mirrored %1 files of key "%2" into %3</source>
        <translation>Скопировано %1 файлов ключа "%2" в %3</translation>
    </message>
    <message>
        <source>the record %1 is not in the local mirror</source>
        <translation>записи %1 нет в локальной копии</translation>
    </message>
    <message>
        <source>%1: %2 measures of %3 records</source>
        <translation>%1: %2 измерений из %3 записей</translation>
    </message>
    <message>
        <source>Makes a report from the local mirror of the last key read out.</source>
        <translation>Создаёт отчёт по локальной копии последнего прочитанного ключа.</translation>
    </message>
    <message>
        <source>A record to report (repeat for several; csv: every record when absent).</source>
        <translation>Запись для отчёта (повторите для нескольких; csv: все записи, если не указано).</translation>
    </message>
    <message>
        <source>csv, xlsx or qr</source>
        <translation>csv, xlsx или qr</translation>
    </message>
    <message>
        <source>say which report: csv, xlsx or qr</source>
        <translation>укажите отчёт: csv, xlsx или qr</translation>
    </message>
    <message>
        <source>--out FILE is required</source>
        <translation>нужен параметр --out FILE</translation>
    </message>
    <message>
        <source>the workbook is made of exactly one record: give one --record NAME</source>
        <translation>книга Excel строится ровно по одной записи: укажите один --record NAME</translation>
    </message>
    <message>
        <source>no key was read into %1 yet (no download/dbsett folder)</source>
        <translation>в %1 ещё не прочитан ни один ключ (нет папки download/dbsett)</translation>
    </message>
    <message>
        <source>Mirror the key and archive its measures in the history (one command for a nightly job).</source>
        <translation>Скопировать данные ключа и занести его измерения в историю (одна команда для ночного задания).</translation>
    </message>
    <message>
        <source>Make the CSV, Excel or QR-list report from the local mirror.</source>
        <translation>Создать отчёт CSV, Excel или список QR-кодов из локальной копии.</translation>
    </message>
    <message>
        <source>the history server has not got every measure: %1 wait in the local queue %2 and move to it once it answers</source>
        <translation>на сервере истории есть не все измерения: %1 ждут в локальной очереди %2 и будут переданы, когда сервер ответит</translation>
    </message>
    <message>
        <source>%1: nothing published (%2)</source>
        <translation>%1: ничего не опубликовано (%2)</translation>
    </message>
    <message>
        <source>the key did not tell its serial number</source>
        <translation>ключ не сообщил свой серийный номер</translation>
    </message>
    <message>
        <source>Record %1 was erased, but the history did not note it: %2</source>
        <translation>Запись %1 очищена, но история не отметила это: %2</translation>
    </message>
    <message>
        <source>Erased %1</source>
        <translation>Очищена %1</translation>
    </message>
    <message>
        <source>Refused %1: %2</source>
        <translation>Отказано %1: %2</translation>
    </message>
    <message>
        <source>the key was lost while erasing; %1 records were erased</source>
        <translation>связь с ключом потеряна во время очистки; очищено записей: %1</translation>
    </message>
    <message>
        <source>%1 records erased on the key, %2 refused</source>
        <translation>Записей очищено в ключе: %1, отказано: %2</translation>
    </message>
    <message>
        <source>%1 records were not erased: %2</source>
        <translation>Записи не очищены (%1): %2</translation>
    </message>
    <message>
        <source>Then empty on the key every record whose measures the history holds: each record is read from the key again and kept first; a record that cannot be vouched for stays on the key, is named, and the command exits 1.</source>
        <translation>Затем очистить в ключе каждую запись, все измерения которой есть в истории: каждая запись заново читается из ключа и сначала сохраняется; запись, сохранность которой не подтверждена, остаётся в ключе, называется, и команда завершается с кодом 1.</translation>
    </message>
    <message>
        <source>report</source>
        <translation>отчёт</translation>
    </message>
    <message>
        <source>Exporting</source>
        <translation>Экспорт</translation>
    </message>
    <message>
        <source>The PDF file to write.</source>
        <translation>PDF-файл для записи.</translation>
    </message>
    <message>
        <source>Joints written to %1: %2</source>
        <translation>Соединений записано в %1: %2</translation>
    </message>
    <message>
        <source>history wants a subcommand: import, export, stats or report</source>
        <translation>history ожидает подкоманду: import, export, stats или report</translation>
    </message>
    <message>
        <source>Archive the local mirror into the tightening history, export it, a joint's statistics or its report on paper.</source>
        <translation>Архивировать локальную копию в историю затяжек, выгрузить её, статистика соединения или её отчёт для печати.</translation>
    </message>
    <message>
        <source>Keep settings, mirrors, reports and databases in DIR (default: see below).</source>
        <translation>Хранить настройки, копии ключа, отчёты и базы данных в папке DIR (по умолчанию: см. ниже).</translation>
    </message>
    <message>
        <source>Archive and publish as the station NAME (default: the history settings' name, else the host name).</source>
        <translation>Архивировать и публиковать как пост NAME (по умолчанию: имя из настроек истории, иначе имя компьютера).</translation>
    </message>
    <message>
        <source>Only the measures the station NAME archived; repeat it for several (default: every station).</source>
        <translation>Только измерения, архивированные постом NAME; повторите для нескольких постов (по умолчанию: все посты).</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>TorqueDesk, the desktop companion of the dynamometric key.</source>
        <translation>TorqueDesk — настольная программа динамометрического ключа.</translation>
    </message>
    <message>
        <source>Open DEVICE as the key's serial port instead of searching for the key.</source>
        <translation>Открыть DEVICE как последовательный порт ключа вместо поиска ключа.</translation>
    </message>
    <message>
        <source>Base address of the firmware download server.</source>
        <translation>Базовый адрес сервера загрузки прошивки.</translation>
    </message>
    <message>
        <source>Keep the tightening history in URL (postgresql://user@host:port/dbname) instead of the local file.</source>
        <translation>Хранить историю затяжек по адресу URL (postgresql://user@host:port/dbname) вместо локального файла.</translation>
    </message>
    <message>
        <source>Publish results to the broker at URL (mqtt://host:port/prefix or mqtts://...).</source>
        <translation>Публиковать результаты на брокер по адресу URL (mqtt://узел:порт/префикс или mqtts://...).</translation>
    </message>
    <message>
        <source>Open the tightening history's window at start.</source>
        <translation>Открыть окно истории затяжек при запуске.</translation>
    </message>
    <message>
        <source>Keep settings, mirrors and reports in DIR (default: see below).</source>
        <translation>Хранить настройки, копии и отчёты в папке DIR (по умолчанию: см. ниже).</translation>
    </message>
    <message>
        <source>Archive and publish as the station NAME (default: the history settings' name, else the host name).</source>
        <translation>Архивировать и публиковать как пост NAME (по умолчанию: имя из настроек истории, иначе имя компьютера).</translation>
    </message>
</context>
<context>
    <name>publish</name>
    <message>
        <source>No broker address.</source>
        <translation>Не указан адрес брокера.</translation>
    </message>
    <message>
        <source>the broker did not acknowledge every result in time</source>
        <translation>брокер не подтвердил все результаты вовремя</translation>
    </message>
    <message>
        <source>the broker could not be reached</source>
        <translation>брокер недоступен</translation>
    </message>
    <message>
        <source>the history could not be read</source>
        <translation>не удалось прочитать историю</translation>
    </message>
</context>
</TS>
