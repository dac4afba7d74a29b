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
    <name>ExchangeProgressWidget</name>
    <message>
        <source>File exchange progress</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>%1 of %2 files, %3 KB</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>File: </source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>FileExchange</name>
    <message>
        <source>Folder name not allowed: </source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Can't read file: </source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Got dir ../</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Got file ../</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Put file ../</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>FileExchangePanel</name>
    <message>
        <source>Get ANY file from key</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Put ANY file to key</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Type folder name in key</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Load Files</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>File (*.*);;All Files (*)</source>
        <translation type="unfinished" />
    </message>
</context>
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
    <name>KeyProtocol</name>
    <message>
        <source>Request too long, not sent: </source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>KeyStatusDisplay</name>
    <message>
        <source>Warning!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Vuyavlena popytka vtorichnoi zanyajki na rezbovom soedinanii!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Moment sensor have errors!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Bad Wi-Fi signal. Data maybe lost!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Low battery charge. Data maybe lost!</source>
        <translation type="unfinished" />
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
        <source>Try to connect device to PC over USB-miniUSB cable...</source>
        <translation type="unfinished" />
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
    <name>PopupA</name>
    <message>
        <source>Value</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Point</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Change sign</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Del</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>out of</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupHost</name>
    <message>
        <source>OK</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>CLOSE</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Waiting</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupMsg</name>
    <message>
        <source>Information!</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupQ</name>
    <message>
        <source>Attention!</source>
        <translation type="unfinished" />
    </message>
</context>
<context>
    <name>PopupWait</name>
    <message>
        <source>Please wait</source>
        <translation type="unfinished" />
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
    <name>UsbLink</name>
    <message>
        <source>COM Opened!</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>COM Open error</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>COM Disconnected</source>
        <translation type="unfinished" />
    </message>
    <message>
        <source>Com_handleError</source>
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
