<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>KeyModel</name>
    <message>
        <source>kgsm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Nm</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dynamometric key</source>
        <translation>Динамометрический ключ</translation>
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
        <translation>Выберите элементы для отчёта</translation>
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
        <translation>Выберите элементы для отчёта</translation>
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
</context>
<context>
    <name>MeasureAlgorithms</name>
    <message>
        <source>Maximum moment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Screwing up to the moment without angle control</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Screwing up to the moment with angle control</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Method moving off place</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Screwing combined method</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Method increment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Method Unscrew-Screwing</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Method axial force</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Method rotation to angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Dependence on the angle of the moment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Screwing up to the moment</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>RecordParameters</name>
    <message>
        <source>Low Moment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Low moment range</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Limit Moment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Stop measure moment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>High Moment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>High moment range</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Start Angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Start angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Low Angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Low angle range</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Limit Angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Stop measure angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>High Angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>High angle range</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Start Moment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Moment of start angle measure</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pitch Step</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Pitch Step of connection</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Angle Increment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Step angle increment</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Angle</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Nessenary angle of rotation</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Head Size</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Tolal number of bolts</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Full cells count</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Number of finished bolts</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>TemplateTextCut</name>
    <message>
        <source>F.I.O.</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Wheel</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Uzel</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 template %2, field %3: text longer than %4 bytes was shortened</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>TorqueDesk, the desktop companion of the dynamometric key.</source>
        <translation>TorqueDesk — настольная программа динамометрического ключа.</translation>
    </message>
    <message>
        <source>Keep settings, mirrors and reports in DIR instead of the program's folder.</source>
        <translation>Хранить настройки, копии и отчёты в папке DIR вместо папки программы.</translation>
    </message>
    <message>
        <source>Open DEVICE as the key's serial port instead of searching for the key.</source>
        <translation>Открыть DEVICE как последовательный порт ключа вместо поиска ключа.</translation>
    </message>
    <message>
        <source>Base address of the firmware download server.</source>
        <translation>Базовый адрес сервера загрузки прошивки.</translation>
    </message>
</context>
</TS>
