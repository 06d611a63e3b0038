<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>ManualText</name>
    <message>
        <source>Shows this text and stops.</source>
        <translation>Показывает этот текст и завершает работу.</translation>
    </message>
    <message>
        <source>Shows the version and stops.</source>
        <translation>Показывает версию и завершает работу.</translation>
    </message>
    <message>
        <source>usage: %1</source>
        <translation>использование: %1</translation>
    </message>
    <message>
        <source>User Commands</source>
        <translation>Команды пользователя</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>ИМЯ</translation>
    </message>
    <message>
        <source>SYNOPSIS</source>
        <translation>ОБЗОР</translation>
    </message>
</context>
<context>
    <name>ztk-cli</name>
    <message>
        <source>usage: ztk-cli [OPTIONS] %1</source>
        <translation>использование: ztk-cli [OPTIONS] %1</translation>
    </message>
    <message>
        <source>the product table and the scale exchanges of ztk from the command line</source>
        <translation>таблица товаров и обмен с весами программы ztk из командной строки</translation>
    </message>
    <message>
        <source>DESCRIPTION</source>
        <translation>ОПИСАНИЕ</translation>
    </message>
    <message>
        <source>ztk-cli runs the logic of the ztk program on the files of a working folder: it lists, exports, imports and reports products, and writes products, common data and the clock into a label-printing scale, reads them back and receives its sales totals over a serial line. Every file it writes is the file the program&apos;s windows write for the same data.</source>
        <translation>ztk-cli выполняет действия программы ztk над файлами рабочей папки: показывает, экспортирует, импортирует товары и составляет отчёт о них, записывает в весы с печатью этикеток товары, общие данные и время часов, читает их обратно и принимает из весов итоги продаж по последовательной линии. Каждый файл, который записывает ztk-cli, совпадает с файлом, который для тех же данных записывают окна программы.</translation>
    </message>
    <message>
        <source>Messages go to standard error in the program&apos;s own words; what a command prints goes to standard output in UTF-8. The port settings file fbdves.cfg is read, never rewritten.</source>
        <translation>Сообщения выводятся в стандартный поток ошибок теми же словами, что и в окнах программы; то, что печатает команда, выводится в стандартный вывод в кодировке UTF-8. Файл настроек порта fbdves.cfg только читается и никогда не перезаписывается.</translation>
    </message>
    <message>
        <source>OPTIONS</source>
        <translation>ПАРАМЕТРЫ</translation>
    </message>
    <message>
        <source>COMMANDS</source>
        <translation>КОМАНДЫ</translation>
    </message>
    <message>
        <source>help [COMMAND]: shows this text, or the help of one command.</source>
        <translation>help [COMMAND]: показывает этот текст или справку по одной команде.</translation>
    </message>
    <message>
        <source>EXIT STATUS</source>
        <translation>КОД ВОЗВРАТА</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Выполнено.</translation>
    </message>
    <message>
        <source>The scale did not answer, or a command it does not answer could not be sent (a network port not connected).</source>
        <translation>Весы не ответили, или не удалось передать команду, на которую весы не отвечают (сетевой порт не подключён).</translation>
    </message>
    <message>
        <source>Bad usage or bad input (a file, a value, the product table, a serial port that does not open); nothing was sent to the scale.</source>
        <translation>Неверный вызов или неверные данные (файл, значение, таблица товаров, последовательный порт, который не открывается); в весы ничего не передано.</translation>
    </message>
    <message>
        <source>ENVIRONMENT</source>
        <translation>ОКРУЖЕНИЕ</translation>
    </message>
    <message>
        <source>Runs the program&apos;s clock that many times faster (%1 to %2), so that waits for a silent scale end sooner; for tests.</source>
        <translation>Ускоряет часы программы во столько раз (от %1 до %2), чтобы ожидание ответа молчащих весов кончалось раньше; для проверок.</translation>
    </message>
    <message>
        <source>The report lays out its text without a display: offscreen unless set.</source>
        <translation>Отчёт раскладывается без дисплея: если переменная не задана, используется offscreen.</translation>
    </message>
    <message>
        <source>The password of the PostgreSQL server, as libpq takes it (or ~/.pgpass); the program never stores one.</source>
        <translation>Пароль сервера PostgreSQL в том виде, как его принимает libpq (или ~/.pgpass); сама программа пароли не хранит.</translation>
    </message>
    <message>
        <source>The language of the help and of this page: Russian when the locale names it (ru_RU.UTF-8; in LANGUAGE the first Russian or English entry counts), English otherwise. The messages are the same in any locale.</source>
        <translation>Язык справки и этой страницы: русский, если его называет локаль (ru_RU.UTF-8; в LANGUAGE решает первый русский или английский элемент списка), иначе английский. Сообщения программы одинаковы при любой локали.</translation>
    </message>
    <message>
        <source>FILES</source>
        <translation>ФАЙЛЫ</translation>
    </message>
    <message>
        <source>In the working folder:</source>
        <translation>В рабочей папке:</translation>
    </message>
    <message>
        <source>The port, its speed and the last scale number.</source>
        <translation>Порт, скорость линии и последний использованный номер весов.</translation>
    </message>
    <message>
        <source>The product table (SQLite), made empty when missing.</source>
        <translation>Таблица товаров (SQLite); если её нет, создаётся пустой.</translation>
    </message>
    <message>
        <source>When present: the PostgreSQL server (host, port, database, user) whose table is used instead of LM_T.db.</source>
        <translation>Если есть: сервер PostgreSQL (узел, порт, база данных, пользователь), таблица которого используется вместо LM_T.db.</translation>
    </message>
    <message>
        <source>The product image last built, as it is sent to the scale.</source>
        <translation>Последний сформированный образ базы товаров в том виде, в каком он передаётся в весы.</translation>
    </message>
    <message>
        <source>The common-data block last written or read.</source>
        <translation>Блок общих данных, последним записанный в весы или прочитанный из них.</translation>
    </message>
    <message>
        <source>The common-data settings of scale N.</source>
        <translation>Настройки общих данных весов номер N.</translation>
    </message>
    <message>
        <source>The scales of the shop, a group each: port, speed, number. Without it, the one scale of fbdves.cfg.</source>
        <translation>Весы магазина, по группе на каждые: порт, скорость, номер. Без этого файла — одни весы из fbdves.cfg.</translation>
    </message>
    <message>
        <source>Every totals reception kept, by date and time; with --scales under totals/NAME/.</source>
        <translation>Все сохранённые приёмы итогов, каждый в файле с датой и временем приёма в имени; с --scales — в totals/NAME/.</translation>
    </message>
    <message>
        <source>SEE ALSO</source>
        <translation>СМОТРИТЕ ТАКЖЕ</translation>
    </message>
    <message>
        <source>the working folder, whose files the command uses (default: the current folder)</source>
        <translation>рабочая папка, с файлами которой работает команда (по умолчанию текущая папка)</translation>
    </message>
    <message>
        <source>the serial port: COMn, a name under /dev (ttyUSB0), a path, or a serial device server&apos;s TCP address (default: from fbdves.cfg)</source>
        <translation>последовательный порт: COMn, имя в /dev (ttyUSB0), путь или TCP-адрес сервера последовательных портов (по умолчанию из fbdves.cfg)</translation>
    </message>
    <message>
        <source>the line speed in bit/s (default: from fbdves.cfg)</source>
        <translation>скорость линии в бит/с (по умолчанию из fbdves.cfg)</translation>
    </message>
    <message>
        <source>the product table on a PostgreSQL server, postgresql://user@host:port/name, instead of the working folder&apos;s database.ini or LM_T.db</source>
        <translation>таблица товаров на сервере PostgreSQL, postgresql://user@host:port/name, вместо database.ini или LM_T.db рабочей папки</translation>
    </message>
    <message>
        <source>the products of a selection, in the words of the products command (default all)</source>
        <translation>товары выборки, заданной словами команды products (по умолчанию all)</translation>
    </message>
    <message>
        <source>only the products of these numbers, as the list window forms them</source>
        <translation>только товары с этими номерами, как их отбирает окно «Формирование списка товаров для весов»</translation>
    </message>
    <message>
        <source>the scale&apos;s number, 1..99 (default: the last one used, from fbdves.cfg)</source>
        <translation>номер весов, 1..99 (по умолчанию последний использованный, из fbdves.cfg)</translation>
    </message>
    <message>
        <source>the shop&apos;s name printed on the labels</source>
        <translation>название магазина, печатаемое на этикетках</translation>
    </message>
    <message>
        <source>the label format number</source>
        <translation>номер варианта этикетки</translation>
    </message>
    <message>
        <source>the label format number of the reports</source>
        <translation>номер варианта этикетки для отчётов</translation>
    </message>
    <message>
        <source>the products of the 28 keys of the weighed goods</source>
        <translation>товары на 28 клавишах весовых товаров</translation>
    </message>
    <message>
        <source>the products of the 28 keys of the piece goods</source>
        <translation>товары на 28 клавишах штучных товаров</translation>
    </message>
    <message>
        <source>the block&apos;s automatic-label flag, as the window&apos;s check box sets it (default off)</source>
        <translation>признак автоматической печати этикетки в блоке, как его ставит флажок «Автовывод этикетки» (по умолчанию off)</translation>
    </message>
    <message>
        <source>keeps the 512 bytes received in FILE</source>
        <translation>сохраняет принятые 512 байт в FILE</translation>
    </message>
    <message>
        <source>carries the fields into the settings of the block&apos;s scale number and saves them</source>
        <translation>переносит поля в настройки весов с номером из блока и сохраняет их</translation>
    </message>
    <message>
        <source>the moment to set (default: now)</source>
        <translation>устанавливаемые дата и время (по умолчанию текущие)</translation>
    </message>
    <message>
        <source>shows the settings VL&lt;N&gt;.cfg; given values are saved into it</source>
        <translation>показывает настройки VL&lt;N&gt;.cfg; заданные значения сохраняются в него</translation>
    </message>
    <message>
        <source>Loads VL&lt;N&gt;.cfg as the common-data window does, applies the values given (a key list shorter than 28 repeats its first product on the other keys), saves the file when something was given, and prints the settings.</source>
        <translation>Загружает VL&lt;N&gt;.cfg так же, как окно «Формирование общих данных», применяет заданные значения (если в списке клавиш меньше 28 товаров, на остальные клавиши ставится его первый товар), сохраняет файл, если что-то было задано, и печатает настройки.</translation>
    </message>
    <message>
        <source>writes the common data of scale N&apos;s settings into the scale</source>
        <translation>записывает в весы общие данные из настроек весов номер N</translation>
    </message>
    <message>
        <source>Asks the scale&apos;s number and refuses (exit 2) when it is not N; builds the block from scale N&apos;s settings, writes BDpost.pd and sends it (about 9 s, progress on standard error).</source>
        <translation>Запрашивает номер весов и отказывается (код 2), если он не N; формирует блок из настроек весов N, записывает BDpost.pd и передаёт его (около 9 с, ход передачи — в стандартном потоке ошибок).</translation>
    </message>
    <message>
        <source>reads the scale&apos;s common data (35 s) and shows it</source>
        <translation>читает общие данные из весов (35 с) и показывает их</translation>
    </message>
    <message>
        <source>Prints the fields as the common-data viewer shows them.</source>
        <translation>Печатает поля так, как их показывает окно «Общие данные из весов».</translation>
    </message>
    <message>
        <source>sets the scale&apos;s clock</source>
        <translation>устанавливает часы весов</translation>
    </message>
    <message>
        <source>writes the report into FILE instead of standard output</source>
        <translation>записывает отчёт в FILE вместо стандартного вывода</translation>
    </message>
    <message>
        <source>writes a selection into a product text file</source>
        <translation>записывает выборку в текстовый файл товаров</translation>
    </message>
    <message>
        <source>The file is written as the window&apos;s export writes it: code page 1251, CR LF, a decimal comma. Prints the number of products written.</source>
        <translation>Файл записывается так же, как его записывает «Экспорт БД»: кодовая страница 1251, концы строк CR LF, десятичная запятая. Печатает число записанных товаров.</translation>
    </message>
    <message>
        <source>stores the records of a product text file</source>
        <translation>записывает в таблицу товары из текстового файла</translation>
    </message>
    <message>
        <source>Each line is stored under the table&apos;s rules; lines that cannot be read or stored are named on standard error (0 for a line without a readable product number); exit 2 when the file does not open or the table cannot be written. Prints the number of lines stored.</source>
        <translation>Каждая строка записывается по правилам таблицы; строки, которые не удалось прочитать или записать, называются в стандартном потоке ошибок (0 — строка без читаемого номера товара); код 2, если файл не открывается или в таблицу нельзя записать. Печатает число записанных строк.</translation>
    </message>
    <message>
        <source>the printed report: as text, or into FILE (.pdf: as printed, landscape; any other name: RTF)</source>
        <translation>отчёт для печати: текстом или в FILE (.pdf — как при печати, альбомная ориентация; любое другое имя — RTF)</translation>
    </message>
    <message>
        <source>the exchanges begun on that day (YYYY-MM-DD) or later</source>
        <translation>обмены, начатые в этот день (ГГГГ-ММ-ДД) или позже</translation>
    </message>
    <message>
        <source>the exchanges with that scale only</source>
        <translation>только обмены с этими весами</translation>
    </message>
    <message>
        <source>the exchanges that failed only</source>
        <translation>только невыполненные обмены</translation>
    </message>
    <message>
        <source>lists the exchanges with the scales, newest last</source>
        <translation>показывает журнал обмена с весами, последние обмены в конце</translation>
    </message>
    <message>
        <source>Every exchange with a scale, from the windows, ztk-cli or the watch of any PC sharing the store, is journalled in the product store. One line per exchange, tab-separated: started, ended, host, user, scale, port, operation, products written, read, cleared, outcome (ok or failed), the message shown. Rows older than a year are removed.</source>
        <translation>Каждый обмен с весами — из окон, из ztk-cli или из наблюдения любого ПК, работающего с той же базой, — записывается в журнал обмена в базе товаров. По строке на обмен, поля через табуляцию: начало, конец, ПК, пользователь, весы, порт, операция, записано, прочитано и удалено товаров, итог (ok или failed), показанное сообщение. Строки старше года удаляются.</translation>
    </message>
    <message>
        <source>probes the scale (3 s)</source>
        <translation>проверяет связь с весами (3 с)</translation>
    </message>
    <message>
        <source>Sends the link probe and waits up to 3 seconds for the answer. Exit 1 when the scale does not answer.</source>
        <translation>Передаёт запрос проверки связи и ждёт ответа до 3 секунд. Код 1, если весы не ответили.</translation>
    </message>
    <message>
        <source>asks the scale&apos;s number (15 s)</source>
        <translation>запрашивает номер весов (15 с)</translation>
    </message>
    <message>
        <source>Prints the number the scale answers with, waiting up to 15 seconds.</source>
        <translation>Печатает номер, которым ответили весы; ждёт ответа до 15 секунд.</translation>
    </message>
    <message>
        <source>the first product number to read (default 1)</source>
        <translation>номер первого читаемого товара (по умолчанию 1)</translation>
    </message>
    <message>
        <source>the last product number to read (default 5000)</source>
        <translation>номер последнего читаемого товара (по умолчанию 5000)</translation>
    </message>
    <message>
        <source>keeps the records received (256 bytes each) in FILE</source>
        <translation>сохраняет принятые записи (по 256 байт) в FILE</translation>
    </message>
    <message>
        <source>stores the products read into the product table, as the read-back window&apos;s save does</source>
        <translation>записывает прочитанные товары в таблицу товаров, как кнопка «Сохранить в БДТ» окна «Чтение БДТ из весов»</translation>
    </message>
    <message>
        <source>reads products A..B (1..5000) from the scale and lists them; --save stores them</source>
        <translation>читает из весов товары A..B (1..5000) и показывает их; --save записывает их в таблицу</translation>
    </message>
    <message>
        <source>Prints a header line, then the twelve cells of each product read, tab-separated.</source>
        <translation>Печатает строку заголовка, затем по двенадцать полей каждого прочитанного товара через табуляцию.</translation>
    </message>
    <message>
        <source>clears products A..B in the scale, 150 ms apart</source>
        <translation>удаляет в весах товары A..B с паузой 150 мс между товарами</translation>
    </message>
    <message>
        <source>A single number clears one product. Numbers lie within 1..5000.</source>
        <translation>Одно число удаляет один товар. Номера — в пределах 1..5000.</translation>
    </message>
    <message>
        <source>the first day, YYYY-MM-DD (default: the first reception)</source>
        <translation>первый день, ГГГГ-ММ-ДД (по умолчанию день первого приёма)</translation>
    </message>
    <message>
        <source>the last day, YYYY-MM-DD, included (default: the last reception)</source>
        <translation>последний день включительно, ГГГГ-ММ-ДД (по умолчанию день последнего приёма)</translation>
    </message>
    <message>
        <source>one line per product (default), per day and product, or per scale and product</source>
        <translation>по строке на товар (по умолчанию), на день и товар или на весы и товар</translation>
    </message>
    <message>
        <source>only these scales of the history (default all)</source>
        <translation>только эти весы из истории продаж (по умолчанию все)</translation>
    </message>
    <message>
        <source>writes a spreadsheet file instead: UTF-8 with a byte order mark, &quot;;&quot; between fields, a decimal comma, CR LF</source>
        <translation>вместо этого записывает файл для электронной таблицы: UTF-8 с меткой порядка байтов, поля через «;», десятичная запятая, концы строк CR LF</translation>
    </message>
    <message>
        <source>Each sale is counted once. A scale&apos;s counters grow until they are cleared: between two receptions of a scale only the increase counts; after a clear made by this program (the totals window, totals --clear, totals-clear), which the history records, the next reception counts whole; a counter that went down without such a clear (cleared on the scale&apos;s own keyboard) counts whole from that reception on.</source>
        <translation>Каждая продажа учитывается один раз. Счётчики весов растут, пока их не очистят: между двумя приёмами с одних весов учитывается только прирост; после очистки, сделанной этой программой (окно «Приём итоговых данных из весов», totals --clear, totals-clear), которую история продаж записывает, следующий приём учитывается целиком; счётчик, уменьшившийся без такой очистки (итоги очищены с клавиатуры весов), учитывается целиком начиная с этого приёма.</translation>
    </message>
    <message>
        <source>takes the receptions kept under totals/ into the sales history</source>
        <translation>заносит в историю продаж приёмы итогов, сохранённые в totals/</translation>
    </message>
    <message>
        <source>Reads FOLDER (default totals/ of the working folder): its images are the one scale&apos;s of fbdves.cfg, those of FOLDER/NAME/ the scale NAME&apos;s, each dated by its file name (YYYY-MM-DD_HH-MM-SS.bin). An image already in the history is not taken again. A file of another size or whose name is not a moment is named and skipped, the others taken; the exit code is then 2.</source>
        <translation>Читает FOLDER (по умолчанию totals/ рабочей папки): образы в нём относятся к одним весам из fbdves.cfg, образы в FOLDER/NAME/ — к весам NAME; время приёма берётся из имени файла (ГГГГ-ММ-ДД_ЧЧ-ММ-СС.bin). Образ, уже занесённый в историю, повторно не заносится. Файл другого размера или с именем, которое не является временем, называется и пропускается, остальные заносятся; код возврата тогда 2.</translation>
    </message>
    <message>
        <source>the sales of a period by product, day or scale, from the sales history</source>
        <translation>продажи за период по товарам, дням или весам из истории продаж</translation>
    </message>
    <message>
        <source>Every complete reception (the totals window, totals, the nightly timer) is kept in the product store. Prints tab-separated UTF-8 lines: the product&apos;s number, name, amount (kilograms with three decimals for weighed goods, pieces for piece goods), money and weighings; with --by day or --by scale the day or the scale first; then a total line. A day&apos;s sales are those of the receptions made that day. A period without receptions gives only a total line of zero.</source>
        <translation>Каждый полный приём итогов (окно «Приём итоговых данных из весов», команда totals, ночной таймер) сохраняется в базе товаров. Печатает строки UTF-8 с полями через табуляцию: номер товара, наименование, количество (килограммы с тремя знаками после запятой для весовых товаров, штуки для штучных), сумма и число взвешиваний; с --by day или --by scale первым полем идёт день или весы; в конце — строка итога. Продажи дня — это продажи приёмов, сделанных в этот день. За период без приёмов печатается только нулевая строка итога.</translation>
    </message>
    <message>
        <source>add: the scale&apos;s port, a serial name, a path or tcp:HOST:PORT (needed)</source>
        <translation>add: порт весов — имя последовательного порта, путь или tcp:HOST:PORT (обязательно)</translation>
    </message>
    <message>
        <source>add: the line speed in bit/s (default 9600)</source>
        <translation>add: скорость линии в бит/с (по умолчанию 9600)</translation>
    </message>
    <message>
        <source>add: the scale&apos;s number, 0..255 (default 1)</source>
        <translation>add: номер весов, 0..255 (по умолчанию 1)</translation>
    </message>
    <message>
        <source>the scales list scales.ini (port: a serial name, a path or tcp:HOST:PORT)</source>
        <translation>список весов scales.ini (порт — имя последовательного порта, путь или tcp:HOST:PORT)</translation>
    </message>
    <message>
        <source>list prints the scales, one a line; a broken line of the file is named with its line number and its scale left out. add and remove rewrite the file, and refuse while it has broken lines.</source>
        <translation>list печатает весы, по строке на каждые; неверная строка файла называется с её номером, а её весы пропускаются. add и remove перезаписывают файл и отказываются, пока в нём есть неверные строки.</translation>
    </message>
    <message>
        <source>runs link-check, scale-number, write-products, common-write, set-clock, totals, sync or compare on these scales of scales.ini at once, one link and one thread each; exit 0 only when every scale succeeded</source>
        <translation>выполняет link-check, scale-number, write-products, common-write, set-clock, totals, sync или compare сразу на этих весах из scales.ini, для каждых весов своя линия и свой поток; код возврата 0, только если на всех весах выполнено</translation>
    </message>
    <message>
        <source>lists a selection of the product table, as the grid shows it</source>
        <translation>показывает выборку из таблицы товаров так, как её показывает таблица главного окна</translation>
    </message>
    <message>
        <source>SELECTION is one of: all (the default), weight, piece, prefix=P, name=F (a name beginning, letter case ignored), range=A-B, corr-on=yy.mm.dd, corr-before=yy.mm.dd, corr-after=yy.mm.dd (by the correction date), best-on=yy.mm.dd, best-before=yy.mm.dd, best-after=yy.mm.dd (by the best-before date). The other commands take the same words in --selection. The last line gives the number of records.</source>
        <translation>SELECTION — одно из: all (по умолчанию), weight, piece, prefix=P, name=F (начало наименования, без учёта регистра букв), range=A-B, corr-on=гг.мм.дд, corr-before=гг.мм.дд, corr-after=гг.мм.дд (по дате корректировки), best-on=гг.мм.дд, best-before=гг.мм.дд, best-after=гг.мм.дд (по сроку годности). Остальные команды принимают те же слова в --selection. Последняя строка — число записей.</translation>
    </message>
    <message>
        <source>copies LM_T.db of the working folder into the table at URL (postgresql://user@host:port/name)</source>
        <translation>копирует LM_T.db рабочей папки в таблицу по адресу URL (postgresql://user@host:port/name)</translation>
    </message>
    <message>
        <source>copies the table at URL into LM_T.db of the working folder</source>
        <translation>копирует таблицу по адресу URL в LM_T.db рабочей папки</translation>
    </message>
    <message>
        <source>replaces the rows the table copied into holds; without it a table that is not empty is refused</source>
        <translation>заменяет строки, которые уже есть в таблице, куда идёт копия; без этого параметра непустая таблица не принимается</translation>
    </message>
    <message>
        <source>copies the products of LM_T.db into a server&apos;s table (--to), or back (--from)</source>
        <translation>копирует товары из LM_T.db в таблицу на сервере (--to) или обратно (--from)</translation>
    </message>
    <message>
        <source>Exactly one of --to and --from. The copy is one transaction: all rows or none. database.ini is not consulted.</source>
        <translation>Задаётся ровно одно из --to и --from. Копия делается одной транзакцией: все строки или ни одной. database.ini не используется.</translation>
    </message>
    <message>
        <source>forgets what the scale is known to hold and writes every product</source>
        <translation>забывает, что известно о содержимом весов, и записывает все товары</translation>
    </message>
    <message>
        <source>prints what would be written and cleared, and sends nothing</source>
        <translation>печатает, что было бы записано и удалено, и ничего не передаёт</translation>
    </message>
    <message>
        <source>keeps the scales in step until stopped (SIGTERM, SIGINT): a sync whenever the table changes, a scale that does not answer tried again after 2 s up to once a minute</source>
        <translation>поддерживает весы в соответствии с таблицей до остановки (SIGTERM, SIGINT): синхронизация при каждом изменении таблицы, к неответившим весам — повтор через 2 с, далее всё реже, до раза в минуту</translation>
    </message>
    <message>
        <source>brings each scale in step with the product table, sending only what changed</source>
        <translation>приводит каждые весы в соответствие с таблицей товаров, передавая только изменённое</translation>
    </message>
    <message>
        <source>Asks the scale&apos;s number, writes the products whose record differs from what the scale is known to hold (or whose slot is unknown), then clears the products it holds that the table no longer has. What each scale holds is kept in the product store. A scale whose number is not the list&apos;s is forgotten and written whole. Prints one line per scale: written, cleared, unchanged, unknown slots. With --watch it runs until stopped, one line per sync on standard error; one watch per working folder. The user unit ztk-sync.service of the package runs it in ~/ztk (systemctl --user enable --now ztk-sync.service).</source>
        <translation>Запрашивает номер весов, записывает товары, запись которых отличается от известного содержимого весов (или ячейка которых неизвестна), затем удаляет из весов товары, которых в таблице больше нет. Что хранят каждые весы, запоминается в базе товаров. Если весы ответили не тем номером, что в списке, известное о них забывается и они записываются целиком. Печатает по строке на весы: записано, удалено, без изменений, неизвестных ячеек. С --watch работает до остановки и выводит по строке на каждую синхронизацию в стандартный поток ошибок; для одной рабочей папки — не больше одного наблюдения. Пользовательская служба пакета ztk-sync.service запускает такую синхронизацию в ~/ztk (systemctl --user enable --now ztk-sync.service).</translation>
    </message>
    <message>
        <source>reads products A..B back and lists those that differ from the product table</source>
        <translation>читает из весов товары A..B и показывает те, что отличаются от таблицы товаров</translation>
    </message>
    <message>
        <source>One line per product that differs, is only in the scale or only in the table, then a summary line; what was read is kept as what the scale holds. Exit 0 whether they differ or not.</source>
        <translation>По строке на каждый товар, который отличается, есть только в весах или только в таблице, затем итоговая строка; прочитанное запоминается как содержимое весов. Код возврата 0, есть отличия или нет.</translation>
    </message>
    <message>
        <source>reads a kept reception instead of asking the scale</source>
        <translation>читает сохранённый приём вместо запроса к весам</translation>
    </message>
    <message>
        <source>writes the totals file (code page 1251, CR LF) as the totals window saves it</source>
        <translation>записывает файл итогов (кодовая страница 1251, CR LF) так же, как его сохраняет окно «Приём итоговых данных из весов»</translation>
    </message>
    <message>
        <source>then clears the totals of every listed product in the scale</source>
        <translation>затем очищает в весах итоги всех товаров, попавших в список</translation>
    </message>
    <message>
        <source>receives the totals (or reads a kept image) and prints the totals text</source>
        <translation>принимает итоги из весов (или читает сохранённый образ) и печатает их текст</translation>
    </message>
    <message>
        <source>Every complete reception is kept as its raw bytes in totals/YYYY-MM-DD_HH-MM-SS.bin of the working folder, so that totals cleared in the scale without being saved can still be shown and saved with --image. The package&apos;s user timer ztk-totals.timer receives and keeps the totals of every listed scale each night at 23:30 (cleared after, with ZTK_TOTALS_OPTIONS=--clear in ~/.config/ztk/totals.env).</source>
        <translation>Каждый полный приём сохраняется байт в байт в totals/ГГГГ-ММ-ДД_ЧЧ-ММ-СС.bin рабочей папки, так что итоги, очищенные в весах без сохранения, всё ещё можно показать и сохранить с --image. Пользовательский таймер пакета ztk-totals.timer каждую ночь в 23:30 принимает и сохраняет итоги всех весов списка (и затем очищает их, если в ~/.config/ztk/totals.env задано ZTK_TOTALS_OPTIONS=--clear).</translation>
    </message>
    <message>
        <source>clears the totals of the products in the scale</source>
        <translation>очищает в весах итоги заданных товаров</translation>
    </message>
    <message>
        <source>the image file (default BDforVes.bd in the working folder)</source>
        <translation>файл образа (по умолчанию BDforVes.bd в рабочей папке)</translation>
    </message>
    <message>
        <source>writes the product image of a selection (default BDforVes.bd)</source>
        <translation>записывает образ базы товаров выборки (по умолчанию в BDforVes.bd)</translation>
    </message>
    <message>
        <source>Prints the number of products in the image.</source>
        <translation>Печатает число товаров в образе.</translation>
    </message>
    <message>
        <source>builds the product image and writes it to the scale</source>
        <translation>формирует образ базы товаров и записывает его в весы</translation>
    </message>
    <message>
        <source>The image is stored as BDforVes.bd first, then sent in its three stages; a stage the scale does not acknowledge ends the write with exit 1.</source>
        <translation>Образ сначала сохраняется в BDforVes.bd, затем передаётся в три этапа; если весы не подтвердили этап, запись прекращается с кодом 1.</translation>
    </message>
</context>
</TS>
