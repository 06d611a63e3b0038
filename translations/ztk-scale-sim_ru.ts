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
    <name>ztk-scale-sim</name>
    <message>
        <source>serves a real serial device at PATH instead of a new pseudo-terminal</source>
        <translation>работает на настоящем последовательном устройстве PATH вместо нового псевдотерминала</translation>
    </message>
    <message>
        <source>serves the scale over TCP at HOST:PORT as a serial device server does, instead of a pseudo-terminal: one connection at a time, a new one taking the place of the old; port 0 takes a free port</source>
        <translation>отвечает по TCP на HOST:PORT, как сервер последовательных портов, вместо псевдотерминала: одно соединение за раз, новое заменяет старое; порт 0 — любой свободный порт</translation>
    </message>
    <message>
        <source>loads the scale&apos;s memory from DIR at start and saves it there at the end</source>
        <translation>при запуске загружает память весов из DIR и сохраняет её туда при завершении</translation>
    </message>
    <message>
        <source>emulates a line of N bit/s on the pseudo-terminal (10 bits a byte); on a device, its speed</source>
        <translation>на псевдотерминале имитирует линию со скоростью N бит/с (10 бит на байт); на устройстве — его скорость</translation>
    </message>
    <message>
        <source>writes every byte received from the PC into FILE</source>
        <translation>записывает в FILE каждый байт, принятый от ПК</translation>
    </message>
    <message>
        <source>the scale&apos;s number, -128..255 (default 1)</source>
        <translation>номер весов, -128..255 (по умолчанию 1)</translation>
    </message>
    <message>
        <source>takes a kept totals reception (153600 bytes) as the scale&apos;s totals</source>
        <translation>берёт сохранённый приём итогов (153600 байт) как итоги весов</translation>
    </message>
    <message>
        <source>sets product N&apos;s totals: the amount (thousandths of a kilogram, or pieces), the money (hundredths) and the weighings; may be given again</source>
        <translation>задаёт итоги товара N: количество (тысячные доли килограмма или штуки), сумму (в сотых) и число взвешиваний; может повторяться</translation>
    </message>
    <message>
        <source>misbehaves: silent (answers nothing), no-ack=S[@K] (no acknowledgement of stage S of a write, at its K-th time), short (replies cut short), cut=N[@K] (a reply stops after N bytes), noise (every reply is noise of its length, as a line at another speed brings), stray (a stray byte before each reply); may be given again</source>
        <translation>имитирует неисправность: silent (ничего не отвечает), no-ack=S[@K] (нет подтверждения этапа S записи, в K-й раз), short (ответы обрезаны), cut=N[@K] (ответ обрывается после N байт), noise (вместо каждого ответа шум той же длины, как на линии с другой скоростью), stray (лишний байт перед каждым ответом); может повторяться</translation>
    </message>
    <message>
        <source>a label-printing scale on a pseudo-terminal or TCP, for tests, the demo and anyone without a scale</source>
        <translation>весы с печатью этикеток на псевдотерминале или по TCP — для проверок, демонстрации и для тех, у кого нет весов</translation>
    </message>
    <message>
        <source>DESCRIPTION</source>
        <translation>ОПИСАНИЕ</translation>
    </message>
    <message>
        <source>ztk-scale-sim answers every command of the scale&apos;s command set. It opens a pseudo-terminal (or the device given, or listens at the TCP address given) and prints the port the PC opens (a path, or tcp:HOST:PORT) as the first line of standard output. It listens only where it is told. It keeps 5000 product slots, the common-data block, the totals and the clock in memory, and runs until it is stopped (SIGTERM, SIGINT or SIGHUP), saving its state first when --state is given.</source>
        <translation>ztk-scale-sim отвечает на все команды весов. Он открывает псевдотерминал (или заданное устройство, или ждёт соединений по заданному TCP-адресу) и печатает первой строкой стандартного вывода порт, который должен открыть ПК (путь или tcp:HOST:PORT). Соединений он ждёт только там, где указано. В памяти он хранит 5000 ячеек товаров, блок общих данных, итоги и часы и работает до остановки (SIGTERM, SIGINT или SIGHUP), а с --state перед остановкой сохраняет своё состояние.</translation>
    </message>
    <message>
        <source>A new scale holds the factory common data. --totals takes a kept reception as the totals; each --sale then sets one product&apos;s counters.</source>
        <translation>Новые весы содержат заводские общие данные. --totals берёт сохранённый приём как итоги; каждый --sale затем задаёт счётчики одного товара.</translation>
    </message>
    <message>
        <source>OPTIONS</source>
        <translation>ПАРАМЕТРЫ</translation>
    </message>
    <message>
        <source>EXIT STATUS</source>
        <translation>КОД ВОЗВРАТА</translation>
    </message>
    <message>
        <source>Stopped by a signal, the state saved.</source>
        <translation>Остановлен сигналом, состояние сохранено.</translation>
    </message>
    <message>
        <source>The port could not be opened.</source>
        <translation>Не удалось открыть порт.</translation>
    </message>
    <message>
        <source>Bad usage, or a totals file of the wrong size.</source>
        <translation>Неверный вызов или файл итогов неверного размера.</translation>
    </message>
    <message>
        <source>ENVIRONMENT</source>
        <translation>ОКРУЖЕНИЕ</translation>
    </message>
    <message>
        <source>The language of the help and of this page: Russian when the locale names it (ru_RU.UTF-8; in LANGUAGE the first Russian or English entry counts), English otherwise.</source>
        <translation>Язык справки и этой страницы: русский, если его называет локаль (ru_RU.UTF-8; в LANGUAGE решает первый русский или английский элемент списка), иначе английский.</translation>
    </message>
    <message>
        <source>FILES</source>
        <translation>ФАЙЛЫ</translation>
    </message>
    <message>
        <source>In the --state folder: the scale&apos;s memory, kept between runs.</source>
        <translation>В папке --state: память весов, сохраняемая между запусками.</translation>
    </message>
    <message>
        <source>SEE ALSO</source>
        <translation>СМОТРИТЕ ТАКЖЕ</translation>
    </message>
</context>
</TS>
