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
        <source>Try to connect device to PC over USB-miniUSB cable...</source>
        <translation>Подключите устройство к компьютеру кабелем USB-miniUSB...</translation>
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
        <source>Delete</source>
        <translation>Очистить</translation>
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
        <source>Key is not connected</source>
        <translation>Ключ не подключён</translation>
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
        <source>Changes not saved to key</source>
        <translation>Изменения не сохранены в ключ</translation>
    </message>
    <message>
        <source>Texts too long for the key were shortened:</source>
        <translation>Слишком длинные для ключа тексты сокращены:</translation>
    </message>
    <message>
        <source>Warning! Template was not saved and not sent to key!</source>
        <translation>Внимание! Шаблон не сохранён и не отправлен в ключ!</translation>
    </message>
    <message>
        <source>Warning! Template was saved on the PC but could not be sent to key!</source>
        <translation>Внимание! Шаблон сохранён на ПК, но не отправлен в ключ!</translation>
    </message>
    <message>
        <source>Template sent to key: </source>
        <translation>Шаблон отправлен в ключ: </translation>
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
        <source>Template read from JSON file, press Save to send it to key</source>
        <translation>Шаблон прочитан из JSON-файла, нажмите «Сохранить», чтобы отправить его в ключ</translation>
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
        <source>Warning! Not all templates were sent to key!</source>
        <translation>Внимание! В ключ отправлены не все шаблоны!</translation>
    </message>
    <message>
        <source>Templates sent to key: %1 of 3</source>
        <translation>Шаблонов отправлено в ключ: %1 из 3</translation>
    </message>
    <message>
        <source>All templates in the key will be replaced by default lists.</source>
        <translation>Все шаблоны в ключе будут заменены списками по умолчанию.</translation>
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
        <source>Wi-Fi key</source>
        <translation>Ключ Wi-Fi</translation>
    </message>
    <message>
        <source>Wi-Fi port %1 cannot be opened on %2</source>
        <translation>Порт Wi-Fi %1 не удаётся открыть на %2</translation>
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
