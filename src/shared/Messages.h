#pragma once
// Every text the program shows to the operator, defined once. Texts are UTF-8;
// use them through QString::fromUtf8 (the text() helper below).

#include <QString>

namespace ztk::msg {

inline QString text(const char *utf8) { return QString::fromUtf8(utf8); }

// Start-up and shutdown
inline constexpr const char MainCaption[] = "БД для ЗТК-М";
inline constexpr const char VersionSuffix[] = " - Ver ";
inline constexpr const char AlreadyRunning[] = "Приложение уже запущено";
inline constexpr const char CfgMissing[] = "CFG-файл отсутствует, назначен порт COM1";
inline constexpr const char AboutCaption[] = "О программе";
inline constexpr const char AboutProductName[] = "Управление  БД и ЗТК";
inline constexpr const char AboutVersionPrefix[] = "Version ";
inline constexpr const char AboutVersionDesign[] = "Version 1.01";
inline constexpr const char AboutComments[] = "Программа управления БД весов комплекса ЗТК ";
inline constexpr const char WaitDesignText[] = "Подождите. Идёт загрузка данных...";
// The working folder of a start from the desktop menu (%1 the folder, %2 the system's reason).
inline constexpr const char WorkFolderIsFile[] =
    "Рабочая папка %1 не создана: на её месте файл. Переименуйте или удалите его и запустите программу снова.";
inline constexpr const char WorkFolderNotMade[] = "Рабочая папка %1 не создана: %2";

// Serial link
inline constexpr const char PortOpenFailed[] = "ERROR: Opening COM-Port failed!\n";
inline constexpr const char ThreadFailed[] = "Поток не запустился!";
inline constexpr const char ThreadFailedCaption[] = "ERROR";
inline constexpr const char NoLink[] = "Возможно, нет связи с весами";
inline constexpr const char LinkUp[] = "Связь с весами установлена";
inline constexpr const char LinkDown[] = "Связь с весами НЕ установлена";
// The port label when the port did not open: the port's name in %1.
inline constexpr const char PortLabelNoLinkOn[] = "НЕТ связи (%1)";
inline constexpr const char CheckLinkItem[] = "Проверить связь";
// A port typed in the port settings that goes into the scales list: the port in %1.
inline constexpr const char ListPortCaption[] = "Список весов";
inline constexpr const char ListPortAnswered[] = "Весы на порту %1 отвечают. Добавить их в список весов (scales.ini)?";
inline constexpr const char ListPortSilent[] =
    "Весы на порту %1 не отвечают. Всё равно добавить их в список весов (scales.ini)?";
inline constexpr const char ListPortKept[] = "Весы на порту %1 добавлены в список весов";
inline constexpr const char PortLabelNoLink[] = "НЕТ связи";
inline constexpr const char BaudLabelNotSet[] = "Не уст";
inline constexpr const char LinkCheckCaption[] = "Проверка состояния связи с весами";
inline constexpr const char DefaultPortName[] = "COM1";
// %1 the device; %2 the process that holds it, as "1234 (ztk)".
inline constexpr const char PortInUse[] = "Порт %1 занят другой программой";
inline constexpr const char PortInUseBy[] = "Порт %1 занят другой программой: %2";
// %1 the device, %2 the system's reason: the user is not in the group of the serial ports.
inline constexpr const char PortNoPermission[] =
    "%1: %2\nНет прав на порт. Добавьте пользователя в группу dialout (sudo adduser $USER dialout) "
    "и войдите в систему заново.";

// The scales list "scales.ini": a bad line is said as ScalesLine (%1 its number, %2 what is wrong).
inline constexpr const char ScalesLine[] = "scales.ini, строка %1: %2";
inline constexpr const char ScalesBadLine[] = "не группа [имя] и не ключ=значение";
inline constexpr const char ScalesBadName[] = "имя весов «%1» недопустимо (буквы, цифры, - и _)";
inline constexpr const char ScalesDuplicate[] = "весы «%1» уже описаны выше";
inline constexpr const char ScalesUnknownKey[] = "неизвестный ключ «%1» (port, speed, number)";
inline constexpr const char ScalesBadPort[] = "порт «%1» недопустим (не длиннее %2 символов, без пробелов)";
inline constexpr const char ScalesBadValue[] = "%1 должно быть числом, а не «%2»";
inline constexpr const char ScalesNoPort[] = "у весов «%1» не задан port";
inline constexpr const char ScalesUnknownName[] = "Весов «%1» нет в списке весов";
inline constexpr const char ScalesNameTaken[] = "Весы «%1» уже есть в списке весов";
inline constexpr const char ScalesFailed[] = "Не выполнено на весах: %1";
inline constexpr const char ScalesDone[] = "Выполнено на всех весах";
inline constexpr const char WriteAllCaption[] = "Запись БДТ во все весы";

// Product table and editing
inline constexpr const char RecordsPrefix[] = "Записей ";
inline constexpr const char NumberAbove5000[] =
    "Попытка установить номер товара > 5000 -  Устанавливается 0 номер товара";
inline constexpr const char InsertTaken[] = "Запись с номером %1 уже существует\nЗаменить запись?";
inline constexpr const char InsertCaption[] = "Вставка записи";
inline constexpr const char DeleteOne[] = "Удалить запись из БД?";
inline constexpr const char DeleteOneCaption[] = "Удаление записи из БД";
inline constexpr const char DeleteAll[] = "Удалить все записи из окна БД?";
inline constexpr const char DeleteAllCaption[] = "Удаление всех записей из окна БД";
inline constexpr const char ClearRecord[] = "Очистить запись в БД?";
inline constexpr const char ClearRecordCaption[] = "Очистка записи в БД";
inline constexpr const char BadRange[] = "Некорректные данные, принят интервал 1 - 5000";
inline constexpr const char TypeWeight[] = "Вес";
inline constexpr const char TypePiece[] = "Шт";
// Conversion errors of the operator's texts (the bad text in %1) and a record gone from the store.
inline constexpr const char NotAnInteger[] = "'%1' is not a valid integer value";
inline constexpr const char NotAFloat[] = "'%1' is not a valid floating point value";
inline constexpr const char NotADate[] = "'%1' is not a valid date";
// The copy taken before a command that changes many rows (%1 its path, or why there is none).
inline constexpr const char BackupMade[] = "Резервная копия БД: %1";
inline constexpr const char BackupFailed[] = "Резервная копия БД не сделана, команда не выполнена: %1";
inline constexpr const char StoreMissing[] = "Нет файла БД %1";
inline constexpr const char StoreNotOpen[] = "The product store is not open";
inline constexpr const char RowNotFound[] =
    "Row cannot be located for updating. Some values may have been changed since it was last read.";
// The shared store on a PostgreSQL server.
inline constexpr const char RowChangedElsewhere[] =
    "Запись изменена на другом рабочем месте после того, как была прочитана. Изменения не сохранены, "
    "запись показана в её нынешнем виде.";
// %1 the file, %2 what is wrong in it.
inline constexpr const char DatabaseIniBad[] = "Ошибка в файле %1: %2";
// %1 the address given.
inline constexpr const char StoreUrlBad[] =
    "Адрес БД %1 не понят; ожидается postgresql://пользователь@сервер:порт/база";
// %1 the server's database, %2 the column missing.
inline constexpr const char ServerTableShape[] = "Таблица lm_t1 в базе %1 другого вида: нет столбца %2";
// One of the program's own tables of another shape: %1 the table, %2 the column missing.
inline constexpr const char TableShape[] = "Таблица %1 другого вида: нет столбца %2";
// %1 the database, %2 its encoding.
inline constexpr const char ServerNotUtf8[] = "База %1 не в кодировке UTF8 (%2)";
// %1 the store copied into.
inline constexpr const char CopyTargetNotEmpty[] = "В таблице %1 уже есть записи; для замены укажите --replace";
inline constexpr const char CopyDone[] = "Скопировано записей: %1";

// Writing products
inline constexpr const char WriteCaption[] = "Формирование и ПРД БД в весы";
inline constexpr const char WritePreparing[] = "Подождите. Подготовка данных...";
inline constexpr const char WriteLoading[] = "Подождите. Идёт загрузка данных...";
// What an exchange did, in a line of the main window (%1 how many).
inline constexpr const char WriteDone[] = "Записано товаров: %1";
inline constexpr const char ReadDone[] = "Прочитано товаров: %1";
inline constexpr const char ClearDone[] = "Удалено товаров из весов: %1";
inline constexpr const char TotalsDone[] = "Принято итоговых данных товаров: %1";
inline constexpr const char TotalsClearedDone[] = "Очищены итоговые данные товаров: %1";
inline constexpr const char CommonWriteDone[] = "Общие данные записаны в весы";
inline constexpr const char ClockDone[] = "Часы весов установлены";
inline constexpr const char CannotOpenForReading[] = "Не могу открыть файл на чтение";
// %1 the file, %2 the system's reason.
inline constexpr const char CannotWriteFile[] = "Не могу записать файл %1: %2";
inline constexpr const char ProtectedFile[] = "Файл %1 не перезаписывается: это файл БД или настроек";

// Keeping the scales in step with the table (%1.. the counts).
inline constexpr const char SyncDone[] = "Записано: %1, удалено: %2, без изменений: %3, неизвестно: %4";
inline constexpr const char SyncWouldWrite[] = "записать товар %1 %2";
inline constexpr const char SyncWouldClear[] = "удалить товар %1";
// %1 the number the scale gave, %2 the one the list gives it.
inline constexpr const char SyncOtherNumber[] =
    "Весы ответили номером %1, а не %2: известное о них забыто, записываются все товары";
// %1 the number the state is from, %2 the scale's.
inline constexpr const char SyncOtherState[] =
    "Известное о весах относится к весам номер %1, а ответили весы номер %2: записываются все товары";
// %1 the store's reason.
inline constexpr const char StateNotKept[] = "Что хранится в весах, не записано в БД: %1";
inline constexpr const char JournalNotKept[] = "Журнал обмена не записан в БД: %1";
// %1 who holds the scale: "host:pid".
inline constexpr const char SyncHeldBy[] = "Весы синхронизирует другое рабочее место: %1";
inline constexpr const char SyncCaption[] = "Синхронизировать весы";
// The unattended sync: %1 seconds to the next try; %1 the PID of the running one.
inline constexpr const char WatchRetry[] = "нет связи, следующая попытка через %1 с";
inline constexpr const char WatchRunning[] = "Синхронизация этой папки уже запущена (процесс %1)";
inline constexpr const char WatchStarted[] = "Синхронизация запущена: весов %1";
inline constexpr const char WatchStopped[] = "Синхронизация остановлена";
inline constexpr const char WatchStoreBack[] = "Связь с сервером БД восстановлена";
inline constexpr const char WatchTableUnreadable[] = "Таблица товаров не читается, повтор через секунду: %1";
// The scales' window: how a scale stands (%1 to write, %2 to clear, %3 unknown).
inline constexpr const char StandingsCaption[] = "Состояние весов";
inline constexpr const char StandingInStep[] = "в порядке";
inline constexpr const char StandingWaiting[] = "записать: %1, удалить: %2, неизвестно: %3";
// The status bar: the scales of the list (%1 in step, %2 with changes waiting, %3 whose
// last exchange failed), then the last exchange (%1 when, %2 the scale, %3 what, %4 how).
inline constexpr const char ScalesSummary[] = "Весы: в порядке %1, ждут изменений %2, нет связи %3";
inline constexpr const char LastExchange[] = "последний обмен %1: %2, %3 — %4";
inline constexpr const char OutcomeOk[] = "выполнен";
inline constexpr const char OutcomeFailed[] = "не выполнен";
// The journal's window.
inline constexpr const char JournalCaption[] = "Журнал обмена";
inline constexpr const char JournalSince[] = "С даты:";
inline constexpr const char JournalScale[] = "Весы:";
inline constexpr const char JournalAllScales[] = "все";
inline constexpr const char JournalFailedOnly[] = "Только невыполненные";
inline constexpr const char JournalShow[] = "Показать";
inline constexpr const char JournalColumns[] =
    "Начало|Конец|ПК|Пользователь|Весы|Порт|Операция|Записано|Прочитано|Удалено|Итог|Сообщение";
// %1 rows shown.
inline constexpr const char JournalCount[] = "Записей: %1";
inline constexpr const char LinkUpShort[] = "есть";
inline constexpr const char LinkDownShort[] = "нет";
// %1 how many scales were synced.
inline constexpr const char SyncAllDone[] = "Синхронизировано весов: %1";
// compare: %1 the product number.
inline constexpr const char CompareDiffers[] = "товар %1 отличается";
inline constexpr const char CompareOnlyScale[] = "товар %1 есть только в весах";
inline constexpr const char CompareOnlyTable[] = "товар %1 есть только в БД";
// %1 products read, %2 differ, %3 only in the scale, %4 only in the table.
inline constexpr const char CompareDone[] = "Сравнено товаров: %1, отличаются: %2, только в весах: %3, только в БД: %4";

// Product list
inline constexpr const char ListTooMany[] =
    "Количество выбранных товаров для таблицы индексов не может быть больше 280";
inline constexpr const char ListFormed[] = "Список товаров сформирован";
inline constexpr const char ListNotFormed[] = "Список товаров НЕ сформирован";

// Common data
inline constexpr const char CommonCaption[] = "Формирование общих данных";
inline constexpr const char ViewerCaption[] = "Общие данные из весов";
inline constexpr const char IndexCaption[] = "Формирование индексов";
inline constexpr const char IndexWeightCaption[] = "Формирование раскладки клавиатуры для ВЕСОВОГО режима";
inline constexpr const char IndexPieceCaption[] = "Формирование раскладки клавиатуры для ШТУЧНОГО режима";
inline constexpr const char ScaleNumberMismatch[] =
    "Данные не могут быть переданы в весы из-за несоответствия номера весов";
inline constexpr const char KeysTooMany[] =
    "Количество выбранных товаров для таблицы индексов не может быть больше 28";
inline constexpr const char CommonReadCaption[] = "Ввод ОД из весов";
// %1 the scale number of a block read, %2..%3 the numbers settings files exist for.
inline constexpr const char BlockScaleNumberBad[] =
    "В общих данных из весов номер весов %1, а не %2..%3: данные не внесены ни в какие настройки";
inline constexpr const char SettingsSaveCaption[] = "Сохранить";
// The viewer's labels (ztk-cli prints them too).
inline constexpr const char ViewerName[] = "Наименование предприятия";
inline constexpr const char ViewerScaleType[] = "Тип весов ";
inline constexpr const char ViewerPoint[] = "Позиция дес точки";
inline constexpr const char ViewerLabel[] = "Вариант этикетки";
inline constexpr const char ViewerReportLabel[] = "Вариант суммарной этикетки";
inline constexpr const char ViewerScaleNumber[] = "Номер весов";
inline constexpr const char ViewerStamp[] = "Дата и время посл коррекции";
inline constexpr const char AutoLabel[] = "Автовывод этикетки";
inline constexpr const char ViewerWeightKeys[] = "Список индексов ВР";
inline constexpr const char ViewerPieceKeys[] = "Список индексов ШтР";
inline constexpr const char Yes[] = "да";
inline constexpr const char No[] = "нет";
inline constexpr const char FileCreateError[] = "Cannot create file \"%1\"";
inline constexpr const char SettingsFilter[] = "Конфигурационные файлы (*.cfg);;Все файлы (*)";
// The company name the scale can show (%1 the most characters, or the character it cannot show).
inline constexpr const char CompanyNameRule[] = "Не более %1 знаков, которые могут показать весы (кодовая страница 866)";
inline constexpr const char CompanyNameTooLong[] = "Не более %1 знаков";
inline constexpr const char CompanyNameNotShown[] = "Знак «%1» весы показать не могут";
inline constexpr const char CommonUnsavedQuestion[] = "Сохранить изменения общих данных?";

// "1 Возможно, нет связи с весами": the stage digit of a failed product write in front.
inline QString noLinkAtStage(int stage) { return QString::number(stage) + QLatin1Char(' ') + text(NoLink); }

// Sales totals
inline constexpr const char TotalsCaption[] = "Приём итоговых данных из весов";
inline constexpr const char TotalsCountLabel[] = "Кол товаров с итоговыми данными";
inline constexpr const char TotalsHeaderN[] = "Nп/п";
inline constexpr const char TotalsHeaderWeight[] = "Сум вес"; // before the first reception
inline constexpr const char TotalsHeaderAmount[] = "Сум вес/кол";
inline constexpr const char TotalsHeaderMoney[] = "Сумма";
inline constexpr const char TotalsHeaderWeighings[] = "Кол взв.";
inline constexpr const char TotalsHeaderName[] = "Наименование";
inline constexpr const char TotalsSaveItem[] = "Сохр. ИД";
inline constexpr const char TotalsClearAllItem[] = "Очистка всех ИД";
inline constexpr const char TotalsClearOneItem[] = "Очистка ИД товара";
inline constexpr const char TotalsExitItem[] = "Выход";
inline constexpr const char TotalsSaveTitle[] = "Сохранение итоговых данных";
inline constexpr const char TotalsSaveFilter[] =
    "Итоговые данные(txt) (*.txt);;Итоговые данные (id) (*.id);;Все файлы (*.*)";
inline constexpr const char TotalsNothingSelected[] = "Товар для очистки итоговых данных не выбран";
inline constexpr const char TotalsNotKept[] = "Принятые итоговые данные не удалось сохранить в папке %1";
// %1 the file, %2 its size.
inline constexpr const char TotalsWrongSize[] = "Файл %1 не содержит итоговых данных: %2 байт вместо 153600";
// %1 the path given to read a kept reception from.
inline constexpr const char TotalsNotAFile[] = "%1 не обычный файл: принятые итоговые данные хранятся в файлах";
inline constexpr const char TotalsCannotWrite[] = "Не удалось записать файл %1: %2";
inline constexpr const char TotalsChartTop[] = "Товары с наибольшей суммой";
inline constexpr const char TotalsChartShare[] = "Доля весовых и штучных товаров";
inline constexpr const char TotalsWeighed[] = "Весовые";
inline constexpr const char TotalsPieces[] = "Штучные";
// The totals window: units of the amounts, a row cleared since the reception, the "*" of column 0.
inline constexpr const char TotalsUnitKg[] = "кг";
inline constexpr const char TotalsUnitPieces[] = "шт";
inline constexpr const char TotalsClearedMark[] = "очищено";
inline constexpr const char TotalsNotInTable[] = "Товара нет в таблице товаров";
inline constexpr const char TotalsNotInTableNote[] = "* — товара нет в таблице товаров";

// The sales history (%1 the store's reason where not said otherwise)
inline constexpr const char SalesCaption[] = "История продаж";
inline constexpr const char SalesNotStored[] = "Приём не записан в историю продаж: %1";
inline constexpr const char SalesClearNotStored[] = "Очистка итоговых данных не записана в историю продаж: %1";
inline constexpr const char SalesNoReceptionId[] = "номер приёма занят другим рабочим местом";
// %1 the file or folder skipped.
inline constexpr const char SalesNotAMoment[] = "Файл %1 пропущен: его имя не время приёма";
inline constexpr const char SalesNotAScale[] = "Папка %1 пропущена: её имя не имя весов";
inline constexpr const char SalesImported[] = "Записано приёмов: %1, уже были в истории: %2, пропущено файлов: %3";
inline constexpr const char SalesNoFolder[] = "Папка %1 не найдена";
// %1 the text given.
inline constexpr const char SalesBadDate[] = "Дата %1 не в виде ГГГГ-ММ-ДД";
// %1 the first day, %2 the last.
inline constexpr const char SalesBadPeriod[] = "Начало периода %1 позже его конца %2";
inline constexpr const char SalesUnknownScale[] = "Весы %1 не найдены ни в истории продаж, ни в списке весов";
inline constexpr const char SalesFrom[] = "с";
inline constexpr const char SalesTo[] = "по";
inline constexpr const char SalesToday[] = "Сегодня";
inline constexpr const char SalesThisWeek[] = "Эта неделя";
inline constexpr const char SalesThisMonth[] = "Этот месяц";
inline constexpr const char SalesGroupLabel[] = "Группировка";
inline constexpr const char SalesByProduct[] = "по товарам";
inline constexpr const char SalesByDay[] = "по дням";
inline constexpr const char SalesByScale[] = "по весам";
inline constexpr const char SalesScalesLabel[] = "Весы";
inline constexpr const char SalesShow[] = "Показать";
inline constexpr const char SalesExport[] = "Экспорт";
inline constexpr const char SalesPrint[] = "Печать";
inline constexpr const char SalesExit[] = "Выход";
inline constexpr const char SalesHeaderDay[] = "Дата";
inline constexpr const char SalesHeaderScale[] = "Весы";
inline constexpr const char SalesHeaderAmount[] = "Количество";
inline constexpr const char SalesTotal[] = "Итого";
inline constexpr const char SalesChartDays[] = "Сумма по дням";
inline constexpr const char SalesExportTitle[] = "Сохранение истории продаж";
inline constexpr const char SalesExportFilter[] = "Таблицы (*.csv);;Все файлы (*.*)";
// %1 the first day, %2 the last; "всё время" without limits.
inline constexpr const char SalesPeriodLine[] = "Период: %1 — %2";
inline constexpr const char SalesAllTime[] = "…";
inline constexpr const char SalesMenuItem[] = "История продаж";

// Text import and export, the printed report
inline constexpr const char ImportCaption[] = "Импорт БД";
inline constexpr const char ImportWait[] = "Подождите. Импорт данных...";
// After an import in the window: the lines stored in %1 (the incorrect ones listed after it).
inline constexpr const char ImportStored[] = "Импортировано записей: %1";
inline constexpr const char ExportCaption[] = "Экспорт БД";
inline constexpr const char ExportWait[] = "Подождите. Экспорт данных...";
inline constexpr const char ImportDialogTitle[] = "Ввод файла импорта данных";
inline constexpr const char ImportDialogFilter[] = "Файлы импотра БД  (*.txt);;Все файлы (*.*)";
inline constexpr const char ExportDialogTitle[] = "Экспорт данных БД";
inline constexpr const char ExportDialogFilter[] = "Файлы экспорта БД (*.txt);;Все файлы (*.*)";
inline constexpr const char FileDoesNotOpen[] = "Файл не открывается";
inline constexpr const char BadLines[] = "Некорректные записи:";
inline constexpr const char BadLinesCaption[] = "Продолжить?";
// An import into a table that refuses rows: the store's own text in %1.
inline constexpr const char TableNotWritable[] = "Таблица lm_t1 не записывается, импорт не выполнен: %1";
// After the first hundred numbers of a long list: the whole count in %1.
inline constexpr const char BadLinesMore[] = "… всего %1";
// A file not written: its name in %1, the reason in %2.
inline constexpr const char FileNotWritten[] = "Файл %1 не записан: %2";
inline constexpr const char PrintCaption[] = "Печать";
inline constexpr const char PrintJobName[] = "Печать БД";
inline constexpr const char PrintSaveTitle[] = "Сохранение данных БД";
inline constexpr const char PrintSaveFilter[] = "Файлы печати БД (*.txt);;Все файлы (*.*)";
inline constexpr const char PrintExit[] = "Выход";

// Reading products back, saving them, clearing them in the scale
inline constexpr const char ReadCaption[] = "Чтение БДТ из весов";
inline constexpr const char ReadSaveCaption[] = "Сохранение введённых данных из весов в БДТ";
inline constexpr const char BadClearRange[] = "Операция не выполнена. Некорректный диапазон удаления.";
inline constexpr const char ClearRangeCaption[] = "Удаление данных о товарах с... по...";
// %1 the product number: its record is not one a scale can hold.
inline constexpr const char RecordImplausible[] =
    "Товар %1 принят из весов искажённым: такой записи в весах быть не может. Проверьте скорость обмена "
    "с весами (настройки порта). Ничего не сохранено.";
inline constexpr const char CellWeight[] = "ВЕС";
inline constexpr const char CellPiece[] = "ШТУКА";

// The main window's record commands, as the menu and the speed buttons name them
inline constexpr const char UndoItem[] = "Отменить";
inline constexpr const char RedoItem[] = "Повторить";
inline constexpr const char InsertItem[] = "Вставить запись";
inline constexpr const char DeleteItem[] = "Удалить запись";
inline constexpr const char DeleteAllItem[] = "Удалить все";
inline constexpr const char ClearItem[] = "Очистить запись";
inline constexpr const char CopyItem[] = "Копия записи";
inline constexpr const char ReplaceItem[] = "Замена записи";
inline constexpr const char StoreItem[] = "Запись";
inline constexpr const char RefreshItem[] = "Обновить выборку";
inline constexpr const char FindItem[] = "Поиск по наименованию";
inline constexpr const char ReportItem[] = "Печать";
// The status bar after an undo or a redo: the records put back in %1.
inline constexpr const char Undone[] = "Отменено, восстановлено записей: %1";
inline constexpr const char Redone[] = "Повторено, изменено записей: %1";
inline constexpr const char UndoFailed[] = "Изменение не отменено: %1";

} // namespace ztk::msg
