<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>CommandLocation</name>
    <message>
        <source>sent %1</source>
        <translation>отправлен %1</translation>
    </message>
</context>
<context>
    <name>Console</name>
    <message>
        <source>warning: %1</source>
        <translation>внимание: %1</translation>
    </message>
</context>
<context>
    <name>JobOutput</name>
    <message>
        <source>&quot;%1&quot; exists already; give --replace to replace it</source>
        <translation>&quot;%1&quot; уже существует; укажите --replace, чтобы заменить его</translation>
    </message>
    <message>
        <source>Not in this profile: %1</source>
        <translation>Нет в этом профиле: %1</translation>
    </message>
    <message>
        <source>Not in this archive: %1</source>
        <translation>Нет в этом архиве: %1</translation>
    </message>
</context>
<context>
    <name>PasswordSource</name>
    <message>
        <source>Cannot read the password file &quot;%1&quot;</source>
        <translation>Не удается прочитать файл пароля &quot;%1&quot;</translation>
    </message>
    <message>
        <source>The password file &quot;%1&quot; holds no password</source>
        <translation>В файле пароля &quot;%1&quot; нет пароля</translation>
    </message>
    <message>
        <source>%1 is empty</source>
        <translation>%1 пуста</translation>
    </message>
    <message>
        <source>Password for the archive: </source>
        <translation>Пароль для архива: </translation>
    </message>
    <message>
        <source>--encrypt needs a password: --password-file FILE, %1, or a terminal to type it on</source>
        <translation>--encrypt нужен пароль: --password-file FILE, %1 или терминал, чтобы его ввести</translation>
    </message>
    <message>
        <source>The password is empty</source>
        <translation>Пароль пуст</translation>
    </message>
    <message>
        <source>The same password again: </source>
        <translation>Тот же пароль еще раз: </translation>
    </message>
    <message>
        <source>Password of &quot;%1&quot;: </source>
        <translation>Пароль &quot;%1&quot;: </translation>
    </message>
    <message>
        <source>&quot;%1&quot; is encrypted: give its password with --password-file FILE or %2, or type it on a terminal</source>
        <translation>&quot;%1&quot; зашифрован: укажите его пароль в --password-file FILE или %2 либо введите его в терминале</translation>
    </message>
    <message>
        <source>The two passwords differ</source>
        <translation>Пароли не совпадают</translation>
    </message>
</context>
<context>
    <name>ScheduleStore</name>
    <message>
        <source>The folder of the user&apos;s application data is unknown</source>
        <translation>Папка данных приложений пользователя неизвестна</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds a schedule that cannot be read</source>
        <translation>в &quot;%1&quot; есть расписание, которое не удается прочитать</translation>
    </message>
</context>
<context>
    <name>std</name>
    <message>
        <source>%1 record</source>
        <translation>%1 запись</translation>
    </message>
    <message>
        <source>%1 records</source>
        <translation>записей: %1</translation>
    </message>
    <message>
        <source>The browser: %1</source>
        <translation>Браузер: %1</translation>
    </message>
    <message>
        <source>%1: the first of %2 whose data is found here (none found: the first this system has a version of)</source>
        <translation>%1: первый из %2, чьи данные найдены здесь (если не найдены ничьи — первый, у которого есть версия для этой системы)</translation>
    </message>
    <message>
        <source>%1 has no version for this machine: its data is reached in a Windows prefix (--prefix) or on a Windows disk (--windows-root).</source>
        <translation>У %1 нет версии для этого компьютера: его данные доступны в префиксе Windows (--prefix) или на диске Windows (--windows-root).</translation>
    </message>
    <message>
        <source>The classic Opera</source>
        <translation>классической Opera</translation>
    </message>
    <message>
        <source>No %1 data was found here; restoring into %2</source>
        <translation>Данные %1 здесь не найдены; восстанавливаю в %2</translation>
    </message>
    <message>
        <source>%1 is required</source>
        <translation>требуется %1</translation>
    </message>
    <message>
        <source>A subcommand</source>
        <translation>команда</translation>
    </message>
    <message>
        <source>%1 requires %2</source>
        <translation>%1 требует %2</translation>
    </message>
    <message>
        <source>%1 excludes %2</source>
        <translation>%1 несовместим с %2</translation>
    </message>
    <message>
        <source>%1: %2 not in %3</source>
        <translation>%1: %2 нет среди %3</translation>
    </message>
    <message>
        <source>The following argument was not expected: %1</source>
        <translation>Лишний аргумент: %1</translation>
    </message>
    <message>
        <source>The following arguments were not expected: %1</source>
        <translation>Лишние аргументы: %1</translation>
    </message>
    <message>
        <source>%1: Value %2 not in range %3 to %4</source>
        <translation>%1: значение %2 вне пределов от %3 до %4</translation>
    </message>
    <message>
        <source>%1: Value %2 could not be converted</source>
        <translation>%1: значение %2 не удается разобрать</translation>
    </message>
    <message>
        <source>%1: must not be empty</source>
        <translation>%1: не может быть пустым</translation>
    </message>
    <message>
        <source>ARCHIVE or --all</source>
        <translation>ARCHIVE или --all</translation>
    </message>
    <message>
        <source>No %1 profile was found.</source>
        <translation>Профиль %1 не найден.</translation>
    </message>
    <message>
        <source>No %1 profile was found (looked in %2).</source>
        <translation>Профиль %1 не найден (искали в %2).</translation>
    </message>
    <message>
        <source>To restore into a new one: restore %1 --new-profile NAME …; to bring back the whole data folder: full-restore %1 --from DIR.</source>
        <translation>Чтобы восстановить в новый профиль: restore %1 --new-profile NAME …; чтобы вернуть всю папку данных: full-restore %1 --from DIR.</translation>
    </message>
    <message>
        <source>versions of %1 lie in %2; name the archive with --archive</source>
        <translation>в %2 лежат версии %1; укажите архив в --archive</translation>
    </message>
    <message>
        <source>%1 holds no backup of %2.</source>
        <translation>В %1 нет резервной копии %2.</translation>
    </message>
    <message>
        <source>%1 holds no backup of this profile (%2).</source>
        <translation>В %1 нет резервной копии этого профиля (%2).</translation>
    </message>
    <message>
        <source>no kept version in %1</source>
        <translation>в %1 нет сохраненной версии</translation>
    </message>
    <message>
        <source>no kept version of &quot;%1&quot; in %2</source>
        <translation>в %2 нет сохраненной версии &quot;%1&quot;</translation>
    </message>
    <message>
        <source>It holds: %1; name one with --archive.</source>
        <translation>В ней лежат: %1; укажите один из них в --archive.</translation>
    </message>
    <message>
        <source>No browser&apos;s data is found here (see vellarion-cli browsers).</source>
        <translation>Здесь не найдены данные ни одного браузера (см. vellarion-cli browsers).</translation>
    </message>
    <message>
        <source>The browsers whose data is found here: %1 (see vellarion-cli browsers).</source>
        <translation>Браузеры, чьи данные здесь найдены: %1 (см. vellarion-cli browsers).</translation>
    </message>
    <message>
        <source>It holds no archive (.dat) at all.</source>
        <translation>Архивов (.dat) в ней нет вовсе.</translation>
    </message>
    <message>
        <source>the archive holds passwords and cookies readable by anyone who gets the file (--encrypt protects them)</source>
        <translation>в архиве пароли и куки, которые прочтет любой, у кого окажется файл (--encrypt их защищает)</translation>
    </message>
    <message>
        <source>cannot read the password file &quot;%1&quot;</source>
        <translation>не удается прочитать файл пароля &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the password file &quot;%1&quot; is no file</source>
        <translation>файл пароля &quot;%1&quot; — не файл</translation>
    </message>
    <message>
        <source>the password file &quot;%1&quot; belongs to another user</source>
        <translation>файл пароля &quot;%1&quot; принадлежит другому пользователю</translation>
    </message>
    <message>
        <source>the password file &quot;%1&quot; may be read by others; make it readable by its owner only (chmod 600)</source>
        <translation>файл пароля &quot;%1&quot; могут прочитать другие; сделайте его доступным для чтения только владельцу (chmod 600)</translation>
    </message>
    <message>
        <source>cannot read who may read the password file &quot;%1&quot;</source>
        <translation>не удается узнать, кто может читать файл пароля &quot;%1&quot;</translation>
    </message>
    <message>
        <source>cannot tell who runs the program</source>
        <translation>не удается узнать, кто запустил программу</translation>
    </message>
    <message>
        <source>this Windows</source>
        <translation>эта Windows</translation>
    </message>
    <message>
        <source>the Windows prefix %1</source>
        <translation>префикс Windows %1</translation>
    </message>
    <message>
        <source>the demo sandbox %1</source>
        <translation>демонстрационная песочница %1</translation>
    </message>
    <message>
        <source>the Windows disk %1</source>
        <translation>диск Windows %1</translation>
    </message>
    <message>
        <source>this machine&apos;s own browsers</source>
        <translation>собственные браузеры этого компьютера</translation>
    </message>
    <message>
        <source>this machine&apos;s own browsers (home %1)</source>
        <translation>собственные браузеры этого компьютера (домашняя папка %1)</translation>
    </message>
    <message>
        <source>never run</source>
        <translation>ещё не запускалось</translation>
    </message>
    <message>
        <source>done</source>
        <translation>готово</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>не полностью</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>прервано</translation>
    </message>
    <message>
        <source>last run %1: %2</source>
        <translation>последний запуск %1: %2</translation>
    </message>
    <message>
        <source>no complete archive yet</source>
        <translation>полного архива ещё нет</translation>
    </message>
    <message>
        <source>last complete archive %1</source>
        <translation>последний полный архив %1</translation>
    </message>
    <message>
        <source>not a folder</source>
        <translation>не папка</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Subcommands</source>
        <translation>Команды</translation>
    </message>
    <message>
        <source>Usage</source>
        <translation>Использование</translation>
    </message>
    <message>
        <source>OPTIONS</source>
        <translation>ПАРАМЕТРЫ</translation>
    </message>
    <message>
        <source>SUBCOMMAND</source>
        <translation>КОМАНДА</translation>
    </message>
    <message>
        <source>SUBCOMMANDS</source>
        <translation>КОМАНДЫ</translation>
    </message>
    <message>
        <source>Positionals</source>
        <translation>Аргументы</translation>
    </message>
    <message>
        <source>REQUIRED</source>
        <translation>ОБЯЗАТЕЛЬНО</translation>
    </message>
    <message>
        <source>Env</source>
        <translation>Переменная</translation>
    </message>
    <message>
        <source>Needs</source>
        <translation>Требует</translation>
    </message>
    <message>
        <source>Excludes</source>
        <translation>Несовместим с</translation>
    </message>
    <message>
        <source>TEXT</source>
        <translation>ТЕКСТ</translation>
    </message>
    <message>
        <source>INT</source>
        <translation>ЧИСЛО</translation>
    </message>
    <message>
        <source>UINT</source>
        <translation>ЧИСЛО</translation>
    </message>
    <message>
        <source>FLOAT</source>
        <translation>ЧИСЛО</translation>
    </message>
    <message>
        <source>POSITIVE</source>
        <translation>ПОЛОЖИТЕЛЬНОЕ</translation>
    </message>
    <message>
        <source>NOT BLANK</source>
        <translation>НЕ ПУСТО</translation>
    </message>
    <message>
        <source>INT in [%1 - %2]</source>
        <translation>ЧИСЛО от %1 до %2</translation>
    </message>
    <message>
        <source>the password file &quot;%1&quot; may be read by others; make it readable by its owner only</source>
        <translation>файл пароля &quot;%1&quot; могут прочитать другие; сделайте его доступным для чтения только владельцу</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;</source>
        <translation>Не удается прочитать &quot;%1&quot;</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot open file &quot;%1&quot;. %2</source>
        <translation>vellarion-cli: Не удается открыть файл &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot create file &quot;%1&quot;. %2</source>
        <translation>vellarion-cli: Не удается создать файл &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot create folder &quot;%1&quot;. %2</source>
        <translation>vellarion-cli: Не удается создать папку &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot read file &quot;%1&quot;. %2</source>
        <translation>vellarion-cli: Не удается прочитать файл &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot write file &quot;%1&quot;. %2</source>
        <translation>vellarion-cli: Не удается записать файл &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>vellarion-cli: System Error.  Code: %1.
%2</source>
        <translation>vellarion-cli: Системная ошибка. Код: %1.
%2</translation>
    </message>
    <message>
        <source>vellarion-cli: A call to an OS function failed</source>
        <translation>vellarion-cli: Вызов функции системы не удался</translation>
    </message>
    <message>
        <source>vellarion-cli: Stream read error</source>
        <translation>vellarion-cli: Ошибка чтения потока</translation>
    </message>
    <message>
        <source>vellarion-cli: zlib returned: data error</source>
        <translation>vellarion-cli: zlib: ошибка в данных</translation>
    </message>
    <message>
        <source>vellarion-cli: zlib returned: Stream error</source>
        <translation>vellarion-cli: zlib: ошибка потока</translation>
    </message>
    <message>
        <source>vellarion-cli: zlib returned: memory error</source>
        <translation>vellarion-cli: zlib: не хватает памяти</translation>
    </message>
    <message>
        <source>vellarion-cli: zlib returned: buffer error</source>
        <translation>vellarion-cli: zlib: ошибка буфера</translation>
    </message>
    <message>
        <source>vellarion-cli: zlib returned: version error</source>
        <translation>vellarion-cli: zlib: несовместимая версия</translation>
    </message>
    <message>
        <source>vellarion-cli: zlib returned: ERRNO</source>
        <translation>vellarion-cli: zlib: системная ошибка</translation>
    </message>
    <message>
        <source>vellarion-cli: zLib returned: unknown error (%1)</source>
        <translation>vellarion-cli: zlib: неизвестная ошибка (%1)</translation>
    </message>
    <message>
        <source>vellarion-cli: Refusing to unpack &quot;%1&quot;: the name points outside the target directory</source>
        <translation>vellarion-cli: Распаковка &quot;%1&quot; отклонена: имя указывает за пределы папки назначения</translation>
    </message>
    <message>
        <source>vellarion-cli: Refusing to unpack &quot;%1&quot;: &quot;%2&quot; is a folder</source>
        <translation>vellarion-cli: Распаковка &quot;%1&quot; отклонена: &quot;%2&quot; — папка</translation>
    </message>
    <message>
        <source>vellarion-cli: Refusing to unpack &quot;%1&quot;: &quot;%2&quot; is not a folder</source>
        <translation>vellarion-cli: Распаковка &quot;%1&quot; отклонена: &quot;%2&quot; — не папка</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot store file &quot;%1&quot;: its compressed data exceeds 4294967295 bytes</source>
        <translation>vellarion-cli: Не удается сохранить файл &quot;%1&quot;: его сжатые данные больше 4294967295 байт</translation>
    </message>
    <message>
        <source>vellarion-cli: a key record, which belongs only in an encrypted archive</source>
        <translation>vellarion-cli: запись ключа, которой место только в зашифрованном архиве</translation>
    </message>
    <message>
        <source>vellarion-cli: a name this program keeps for its own work: never unpacked</source>
        <translation>vellarion-cli: имя, которое программа оставляет для своей работы: не распаковывается</translation>
    </message>
    <message>
        <source>vellarion-cli: &quot;%1&quot;: a key record, which belongs only in an encrypted archive</source>
        <translation>vellarion-cli: &quot;%1&quot;: запись ключа, которой место только в зашифрованном архиве</translation>
    </message>
    <message>
        <source>vellarion-cli: &quot;%1&quot;: a name this program keeps for its own work: never unpacked</source>
        <translation>vellarion-cli: &quot;%1&quot;: имя, которое программа оставляет для своей работы: не распаковывается</translation>
    </message>
    <message>
        <source>vellarion-cli: Wrong password, or the archive is damaged</source>
        <translation>vellarion-cli: Неверный пароль, или архив поврежден</translation>
    </message>
    <message>
        <source>vellarion-cli: &quot;%1&quot; is encrypted; no password was given for it</source>
        <translation>vellarion-cli: &quot;%1&quot; зашифрован; пароль для него не указан</translation>
    </message>
    <message>
        <source>vellarion-cli: rclone knows no remote %1: make it with &quot;rclone config&quot; (&quot;rclone listremotes&quot; names those it knows)</source>
        <translation>vellarion-cli: rclone не знает хранилища %1: создайте его командой &quot;rclone config&quot; (&quot;rclone listremotes&quot; перечисляет известные)</translation>
    </message>
    <message>
        <source>vellarion-cli: rclone&apos;s configuration is encrypted: give its password in the variable RCLONE_CONFIG_PASS (or a command that prints it in RCLONE_PASSWORD_COMMAND)</source>
        <translation>vellarion-cli: настройки rclone зашифрованы: укажите их пароль в переменной RCLONE_CONFIG_PASS (или команду, которая его выводит, в RCLONE_PASSWORD_COMMAND)</translation>
    </message>
    <message>
        <source>vellarion-cli: the remote %1 refused the login (%2): check its user and password (or token) with &quot;rclone config&quot;</source>
        <translation>vellarion-cli: хранилище %1 не принимает вход (ответ rclone: &quot;%2&quot;): проверьте пользователя и пароль (или токен) командой &quot;rclone config&quot;</translation>
    </message>
    <message>
        <source>vellarion-cli: the remote %1 refused access (%2): check that its user may read and write that folder (&quot;rclone config&quot; shows the user)</source>
        <translation>vellarion-cli: хранилище %1 отказывает в доступе (ответ rclone: &quot;%2&quot;): проверьте, может ли его пользователь читать и писать эту папку (&quot;rclone config&quot; показывает пользователя)</translation>
    </message>
    <message>
        <source>vellarion-cli: the remote %1 has no room left (%2): make room there, or keep fewer versions (--keep)</source>
        <translation>vellarion-cli: в хранилище %1 не осталось места (ответ rclone: &quot;%2&quot;): освободите место или храните меньше версий (--keep)</translation>
    </message>
    <message>
        <source>vellarion-cli: cannot reach the remote %1 (%2): check the network and that the server is up, then try again</source>
        <translation>vellarion-cli: хранилище %1 недоступно (ответ rclone: &quot;%2&quot;): проверьте сеть и работу сервера, затем попробуйте еще раз</translation>
    </message>
    <message>
        <source>vellarion-cli: the remote %1 has no such file or folder (%2): check the path after the remote&apos;s name</source>
        <translation>vellarion-cli: в хранилище %1 нет такого файла или папки (ответ rclone: &quot;%2&quot;): проверьте путь после имени хранилища</translation>
    </message>
    <message>
        <source>vellarion-cli: rclone failed on the remote %1: %2 (exit code %3)</source>
        <translation>vellarion-cli: ошибка rclone при работе с хранилищем %1: &quot;%2&quot; (код завершения %3)</translation>
    </message>
    <message>
        <source>vellarion-cli: rclone ended with exit code %1 on the remote %2 without saying why</source>
        <translation>vellarion-cli: rclone завершился с кодом %1 при работе с хранилищем %2, не сообщив причину</translation>
    </message>
    <message>
        <source>vellarion-cli: rclone is not installed: it carries the backups off this machine. Put rclone.exe (rclone.org/downloads, or: winget install Rclone.Rclone) on the PATH or beside this program, make the remote with &quot;rclone config&quot;, then try again</source>
        <translation>vellarion-cli: rclone не установлен: он переносит резервные копии с этого компьютера. Поместите rclone.exe (rclone.org/downloads или: &quot;winget install Rclone.Rclone&quot;) в PATH или рядом с программой, создайте хранилище командой &quot;rclone config&quot; и попробуйте еще раз</translation>
    </message>
    <message>
        <source>vellarion-cli: rclone is not installed (or not on the PATH): it carries the backups off this machine. Install it (Debian, Ubuntu: sudo apt install rclone), make the remote with &quot;rclone config&quot;, then try again</source>
        <translation>vellarion-cli: rclone не установлен (или его нет в PATH): он переносит резервные копии с этого компьютера. Установите его (Debian, Ubuntu: &quot;sudo apt install rclone&quot;), создайте хранилище командой &quot;rclone config&quot; и попробуйте еще раз</translation>
    </message>
    <message>
        <source>vellarion-cli: rclone (%1) could not be started: %2</source>
        <translation>vellarion-cli: не удается запустить rclone (%1): %2</translation>
    </message>
    <message>
        <source>vellarion-cli: rclone was ended by a signal on the remote &quot;%1&quot;</source>
        <translation>vellarion-cli: rclone был прерван сигналом при работе с хранилищем &quot;%1&quot;</translation>
    </message>
    <message>
        <source>vellarion-cli: rclone&apos;s listing could not be read</source>
        <translation>vellarion-cli: не удается прочитать список файлов, выданный rclone</translation>
    </message>
    <message>
        <source>vellarion-cli: &quot;%1&quot; names no remote: write rclone:REMOTE:PATH</source>
        <translation>vellarion-cli: &quot;%1&quot; не указывает хранилище: пишите rclone:REMOTE:PATH</translation>
    </message>
    <message>
        <source>vellarion-cli: &quot;%1&quot;: a remote made on the command line would carry its settings, a password too, where others may read them; make it with &quot;rclone config&quot; and name it: rclone:REMOTE:PATH</source>
        <translation>vellarion-cli: &quot;%1&quot;: хранилище, заданное в командной строке, несет свои настройки, и пароль тоже, туда, где их могут прочитать другие; создайте его командой &quot;rclone config&quot; и укажите по имени: rclone:REMOTE:PATH</translation>
    </message>
    <message>
        <source>vellarion-cli: &quot;%1&quot; names no remote folder: write rclone:REMOTE:PATH (rclone:nas:backups), REMOTE one that &quot;rclone listremotes&quot; names</source>
        <translation>vellarion-cli: &quot;%1&quot; не указывает папку хранилища: пишите rclone:REMOTE:PATH (rclone:nas:backups), где REMOTE — одно из тех, что перечисляет &quot;rclone listremotes&quot;</translation>
    </message>
    <message>
        <source>vellarion-cli: &quot;%1&quot; is no name of an rclone remote (letters, digits and _ - . + @ or spaces within)</source>
        <translation>vellarion-cli: &quot;%1&quot; — не имя хранилища rclone (буквы, цифры и _ - . + @ или пробелы внутри)</translation>
    </message>
    <message>
        <source>vellarion-cli: the remote folder of &quot;%1&quot; holds a control character</source>
        <translation>vellarion-cli: в папке хранилища &quot;%1&quot; есть управляющий символ</translation>
    </message>
    <message>
        <source>vellarion-cli: The folder for temporary files is unknown (%1)</source>
        <translation>vellarion-cli: Папка для временных файлов неизвестна (%1)</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot create folder &quot;%1&quot; (%2)</source>
        <translation>vellarion-cli: Не удается создать папку &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot create &quot;%1&quot; (%2)</source>
        <translation>vellarion-cli: Не удается создать &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>vellarion-cli: no archive &quot;%1&quot; in %2</source>
        <translation>vellarion-cli: в %2 нет архива &quot;%1&quot;</translation>
    </message>
    <message>
        <source>vellarion-cli: the archive &quot;%1&quot; did not arrive whole from %2: try again</source>
        <translation>vellarion-cli: архив &quot;%1&quot; пришел из %2 не целиком: попробуйте еще раз</translation>
    </message>
    <message>
        <source>vellarion-cli: the copy of &quot;%1&quot; on %2 is not whole; nothing there was replaced: try again</source>
        <translation>vellarion-cli: копия &quot;%1&quot; в %2 не целая; там ничего не заменено: попробуйте еще раз</translation>
    </message>
    <message>
        <source>vellarion-cli: the copy of &quot;%1&quot; on %2 differs from the archive (its %3 hash); nothing there was replaced: try again</source>
        <translation>vellarion-cli: копия &quot;%1&quot; в %2 отличается от архива (по хешу %3); там ничего не заменено: попробуйте еще раз</translation>
    </message>
    <message>
        <source>vellarion-cli: the new archive does not read whole: %1: %2; nothing was sent to %3</source>
        <translation>vellarion-cli: новый архив не читается целиком: %1: %2; в %3 ничего не отправлено</translation>
    </message>
    <message>
        <source>vellarion-cli: &quot;%1&quot; names nothing on this machine</source>
        <translation>vellarion-cli: &quot;%1&quot; не указывает ни на что на этом компьютере</translation>
    </message>
    <message>
        <source>no such file or folder</source>
        <translation>нет такого файла или папки</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>доступ запрещен</translation>
    </message>
    <message>
        <source>the operation is not permitted</source>
        <translation>операция не разрешена</translation>
    </message>
    <message>
        <source>no space left on the device</source>
        <translation>на устройстве не осталось места</translation>
    </message>
    <message>
        <source>read-only file system</source>
        <translation>файловая система только для чтения</translation>
    </message>
    <message>
        <source>the file exists</source>
        <translation>файл уже существует</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>это папка</translation>
    </message>
    <message>
        <source>the name is too long</source>
        <translation>слишком длинное имя</translation>
    </message>
    <message>
        <source>the disk quota is exceeded</source>
        <translation>превышена дисковая квота</translation>
    </message>
    <message>
        <source>the device or resource is busy</source>
        <translation>устройство или ресурс заняты</translation>
    </message>
    <message>
        <source>too many open files</source>
        <translation>слишком много открытых файлов</translation>
    </message>
    <message>
        <source>input/output error</source>
        <translation>ошибка ввода-вывода</translation>
    </message>
    <message>
        <source>the folder is not empty</source>
        <translation>папка не пуста</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot write &quot;%1&quot; (%2)</source>
        <translation>vellarion-cli: Не удается записать &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>vellarion-cli: Cannot delete &quot;%1&quot; (%2)</source>
        <translation>vellarion-cli: Не удается удалить &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>none for 3 of its periods: see the log</source>
        <translation>нет ни одного за 3 периода: см. журнал</translation>
    </message>
</context>
<context>
    <name>vellarion</name>
    <message>
        <source>Cannot write &quot;%1&quot; (%2)</source>
        <translation>Не удается записать &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>Cannot create folder &quot;%1&quot; (%2)</source>
        <translation>Не удается создать папку &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>no systemd user manager answers; to start the schedule, run: %1</source>
        <translation>менеджер пользователя systemd не отвечает; чтобы запустить расписание, выполните: %1</translation>
    </message>
    <message>
        <source>systemd did not enable %1; run: %2</source>
        <translation>systemd не включил %1; выполните: %2</translation>
    </message>
    <message>
        <source>Cannot delete &quot;%1&quot; (%2)</source>
        <translation>Не удается удалить &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>The folder for temporary files is unknown</source>
        <translation>Папка для временных файлов неизвестна</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;</source>
        <translation>Не удается записать &quot;%1&quot;</translation>
    </message>
    <message>
        <source>The Task Scheduler did not take the schedule (schtasks.exe ended with %1)</source>
        <translation>Планировщик заданий не принял расписание (schtasks.exe завершился с кодом %1)</translation>
    </message>
    <message>
        <source>the schedule &quot;%1&quot; says &quot;every&quot;: &quot;%2&quot;; it must be hourly, daily or weekly</source>
        <translation>в расписании &quot;%1&quot; указано &quot;every&quot;: &quot;%2&quot;; должно быть hourly, daily или weekly</translation>
    </message>
    <message>
        <source>the schedule &quot;%1&quot; says &quot;keep&quot;: %2; it must be a number from 1 to 1000, or 0 for no kept versions</source>
        <translation>в расписании &quot;%1&quot; указано &quot;keep&quot;: %2; должно быть число от 1 до 1000 или 0, чтобы не хранить версии</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds no list of schedules</source>
        <translation>в &quot;%1&quot; нет списка расписаний</translation>
    </message>
</context>
<context>
    <name>vellarion::T</name>
    <message>
        <source>a schedule says &quot;%1&quot;: %2, which is not what it takes</source>
        <translation>в расписании указано &quot;%1&quot;: %2, а так нельзя</translation>
    </message>
    <message>
        <source>a schedule has no &quot;%1&quot;</source>
        <translation>в расписании нет &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>vellarion::cli</name>
    <message>
        <source>&quot;%1&quot; is not a folder</source>
        <translation>&quot;%1&quot; — не папка</translation>
    </message>
    <message>
        <source>damaged: %1: %2</source>
        <translation>поврежден: %1: %2</translation>
    </message>
    <message>
        <source>%1 breaks off after %2 (%3)</source>
        <translation>%1 обрывается после записей: %2 (%3)</translation>
    </message>
    <message>
        <source>%1 breaks off after %2 (%3); %4 damaged before</source>
        <translation>%1 обрывается после записей: %2 (%3); до того повреждено: %4</translation>
    </message>
    <message>
        <source>%1: %2 of %3 damaged</source>
        <translation>%1: повреждено %2 из %3</translation>
    </message>
    <message>
        <source>%1: %2, all sound</source>
        <translation>%1: %2, все целы</translation>
    </message>
    <message>
        <source>Cannot read the folder &quot;%1&quot; (%2)</source>
        <translation>Не удается прочитать папку &quot;%1&quot; (%2)</translation>
    </message>
    <message>
        <source>%1: FAILED: %2</source>
        <translation>%1: ОШИБКА: %2</translation>
    </message>
    <message>
        <source>no archive (.dat) in &quot;%1&quot;</source>
        <translation>в &quot;%1&quot; нет архивов (.dat)</translation>
    </message>
    <message>
        <source>%1 of %2 archives do not read whole</source>
        <translation>не читаются целиком архивов: %1 из %2</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>не найден</translation>
    </message>
    <message>
        <source>found</source>
        <translation>найден</translation>
    </message>
    <message>
        <source>using %1</source>
        <translation>работаю с: %1</translation>
    </message>
    <message>
        <source>Run with --help for more information.</source>
        <translation>Подробнее: --help.</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>прервано</translation>
    </message>
    <message>
        <source>N (the conversion; see --list)</source>
        <translation>N (преобразование; см. --list)</translation>
    </message>
    <message>
        <source>Nothing to change; the file is left as it was.</source>
        <translation>Менять нечего; файл оставлен как был.</translation>
    </message>
    <message>
        <source>Dry run; nothing written.</source>
        <translation>Пробный запуск; ничего не записано.</translation>
    </message>
    <message>
        <source>no kept version of &quot;%1&quot; in %2</source>
        <translation>в %2 нет сохраненной версии &quot;%1&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no archive of %2 (&quot;%3&quot; or a kept version of it)</source>
        <translation>&quot;%1&quot; — не архив %2 (это &quot;%3&quot; или его сохраненная версия)</translation>
    </message>
    <message>
        <source>%1 has no installation folder to name</source>
        <translation>у %1 нет папки установки, которую можно указать</translation>
    </message>
    <message>
        <source>the %1 items</source>
        <translation>элементы %1</translation>
    </message>
    <message>
        <source>Packed %1 into %2 (%3 bytes)</source>
        <translation>Упаковано: %1 в %2 (байт: %3)</translation>
    </message>
    <message>
        <source>Unpacked %1 (%2 bytes) into %3</source>
        <translation>Распаковано: %1 (байт: %2) в %3</translation>
    </message>
    <message>
        <source>the job did not finish</source>
        <translation>работа не завершилась</translation>
    </message>
    <message>
        <source>the new archive does not read whole: %1; no older version was deleted</source>
        <translation>новый архив не читается целиком: %1; старые версии не удалены</translation>
    </message>
    <message>
        <source>deleted the older version %1</source>
        <translation>удалена старая версия %1</translation>
    </message>
    <message>
        <source>kept &quot;%1&quot; beyond --keep: no newer version reads whole</source>
        <translation>&quot;%1&quot; сохранен сверх --keep: ни одна более новая версия не читается целиком</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is stamped later than now: the clock was wrong when it was written; the new version is stamped with the time it was made</source>
        <translation>у &quot;%1&quot; отметка времени позже текущей: часы шли неверно, когда он был записан; новая версия отмечена временем своего создания</translation>
    </message>
    <message>
        <source>could not delete the older version &quot;%1&quot;</source>
        <translation>не удалось удалить старую версию &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the archive would hold passwords and cookies readable by anyone who gets the file, and it would leave this machine for %1; give --encrypt (the password from --password-file or VELLARION_PASSWORD), or --allow-plain to send it as it is</source>
        <translation>архив содержал бы пароли и куки, доступные любому, кто получит файл, и покинул бы этот компьютер ради %1; укажите --encrypt (пароль из --password-file или VELLARION_PASSWORD) или --allow-plain, чтобы отправить его как есть</translation>
    </message>
    <message>
        <source>no schedule &quot;%1&quot; (see schedule list)</source>
        <translation>нет расписания &quot;%1&quot; (см. schedule list)</translation>
    </message>
    <message>
        <source>a full backup takes the whole data folder: no --profile or --items</source>
        <translation>полная резервная копия берет всю папку данных: без --profile и --items</translation>
    </message>
    <message>
        <source>Added schedule %1</source>
        <translation>Добавлено расписание %1</translation>
    </message>
    <message>
        <source>Wrote %1</source>
        <translation>Записан %1</translation>
    </message>
    <message>
        <source>Removed schedule %1</source>
        <translation>Удалено расписание %1</translation>
    </message>
    <message>
        <source>to %1</source>
        <translation>в %1</translation>
    </message>
    <message>
        <source>cannot write the log &quot;%1&quot;</source>
        <translation>не удается записать журнал &quot;%1&quot;</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>ошибка: %1</translation>
    </message>
    <message>
        <source>done: %1</source>
        <translation>готово: %1</translation>
    </message>
    <message>
        <source>no item &quot;%1&quot;; the items are %2</source>
        <translation>нет элемента &quot;%1&quot;; элементы: %2</translation>
    </message>
    <message>
        <source>To restore it into a new profile: restore %1 --from %2 --archive %3 --new-profile NAME</source>
        <translation>Чтобы восстановить ее в новый профиль: restore %1 --from %2 --archive %3 --new-profile NAME</translation>
    </message>
    <message>
        <source>Cannot make the folder %1: %2</source>
        <translation>Не удается создать папку %1: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no backup archive (or one cut off within its first record)</source>
        <translation>&quot;%1&quot; — не архив резервной копии (или архив, оборванный внутри первой записи)</translation>
    </message>
    <message>
        <source>incomplete: %1</source>
        <translation>не полностью: %1</translation>
    </message>
    <message>
        <source>interrupted: %1</source>
        <translation>прервано: %1</translation>
    </message>
    <message>
        <source>Backup %1: no complete archive since %2</source>
        <translation>Резервная копия %1: нет полного архива с %2</translation>
    </message>
    <message>
        <source>Backup %1 is incomplete</source>
        <translation>Резервная копия %1 сохранена не полностью</translation>
    </message>
    <message>
        <source>Backup %1 failed</source>
        <translation>Резервная копия %1 не создана</translation>
    </message>
    <message>
        <source>the backup was killed</source>
        <translation>архивирование было принудительно завершено</translation>
    </message>
    <message>
        <source>the backup failed</source>
        <translation>архивирование не удалось</translation>
    </message>
    <message>
        <source>exit status %1</source>
        <translation>код завершения %1</translation>
    </message>
    <message>
        <source>Pack the tree below DIR into the backup archive ARCHIVE (replacing it only when packing succeeds)</source>
        <translation>Упаковать все содержимое DIR в архив резервной копии ARCHIVE (заменяя его, только если упаковка удалась)</translation>
    </message>
    <message>
        <source>Folder to pack</source>
        <translation>Папка, которую упаковать</translation>
    </message>
    <message>
        <source>Archive to write</source>
        <translation>Архив, который записать</translation>
    </message>
    <message>
        <source>Unpack ARCHIVE into DIR, replacing files of the same names</source>
        <translation>Распаковать ARCHIVE в DIR, заменяя файлы с теми же именами</translation>
    </message>
    <message>
        <source>Archive to read</source>
        <translation>Архив, который прочитать</translation>
    </message>
    <message>
        <source>Folder to unpack into</source>
        <translation>Папка, в которую распаковать</translation>
    </message>
    <message>
        <source>List the files stored in ARCHIVE, in archive order</source>
        <translation>Перечислить файлы, сохраненные в ARCHIVE, в порядке архива</translation>
    </message>
    <message>
        <source>Show each file&apos;s size and its compressed size first</source>
        <translation>Показывать в начале строки размер каждого файла и его сжатый размер</translation>
    </message>
    <message>
        <source>Read every record of ARCHIVE and check it, writing nothing; lists the damaged records and fails when there is one. With --all DIR, every archive in DIR, one line each</source>
        <translation>Прочитать и проверить каждую запись ARCHIVE, ничего не записывая; перечисляет поврежденные записи и завершается ошибкой, если такая есть. С --all DIR — каждый архив в DIR, по строке на архив</translation>
    </message>
    <message>
        <source>Archive to check</source>
        <translation>Архив, который проверить</translation>
    </message>
    <message>
        <source>Check every archive in DIR (a folder, or rclone:REMOTE:PATH, whose archives are fetched one at a time)</source>
        <translation>Проверить каждый архив в DIR (папка или rclone:REMOTE:PATH, архивы которой загружаются по одному)</translation>
    </message>
    <message>
        <source>List every browser the program knows: its name on the command line, whether its data is found here, its number of profiles and its data root</source>
        <translation>Перечислить все браузеры, которые знает программа: имя в командной строке, найдены ли здесь его данные, число профилей и корневая папка данных</translation>
    </message>
    <message>
        <source>Print the list as JSON</source>
        <translation>Вывести список в виде JSON</translation>
    </message>
    <message>
        <source>Work on the browsers of this machine itself (the default when no Windows prefix is named or found)</source>
        <translation>Работать с браузерами самого этого компьютера (по умолчанию, если префикс Windows не указан и не найден)</translation>
    </message>
    <message>
        <source>Work on the demo sandbox: sample data of every browser</source>
        <translation>Работать с демонстрационной песочницей: образцами данных каждого браузера</translation>
    </message>
    <message>
        <source>Work on the Windows prefix in DIR</source>
        <translation>Работать с префиксом Windows в DIR</translation>
    </message>
    <message>
        <source>Work on the Windows disk mounted at DIR (its drive C:)</source>
        <translation>Работать с диском Windows, смонтированным в DIR (его диском C:)</translation>
    </message>
    <message>
        <source>The Windows user whose data to use</source>
        <translation>Пользователь Windows, чьи данные использовать</translation>
    </message>
    <message>
        <source>The Windows major version to assume (5: 2000/XP, 6: Vista and later)</source>
        <translation>Основная версия Windows, которую подразумевать (5: 2000/XP, 6: Vista и новее)</translation>
    </message>
    <message>
        <source>Replace an archive of the same name in the backup location (without it, such an archive is left as it is and the command fails)</source>
        <translation>Заменить архив с тем же именем в месте резервных копий (без этого такой архив остается как есть, а команда завершается ошибкой)</translation>
    </message>
    <message>
        <source>When the browser holds its data, wait until it lets go (at most DURATION, as in 90s, 10m, 2h, when one is given as --wait=DURATION) instead of refusing</source>
        <translation>Когда браузер держит свои данные, ждать, пока он их отпустит (не дольше DURATION, например 90s, 10m, 2h, если срок указан как --wait=DURATION), а не отказываться</translation>
    </message>
    <message>
        <source>When another job of this program works on the same data folder, refuse at once instead of waiting for it to end</source>
        <translation>Когда другое задание этой программы работает с той же папкой данных, сразу отказаться, а не ждать его окончания</translation>
    </message>
    <message>
        <source>Rewrite the paths in Opera&apos;s operaprefs.ini for another Windows, program folder, drive or user name (conversion N, see --list); prints the file and how many places each replacement changed</source>
        <translation>Переписать пути в operaprefs.ini браузера Opera под другую Windows, папку программы, диск или имя пользователя (преобразование N, см. --list); выводит файл и сколько мест изменила каждая замена</translation>
    </message>
    <message>
        <source>The conversion (0 to 11, see --list)</source>
        <translation>Преобразование (от 0 до 11, см. --list)</translation>
    </message>
    <message>
        <source>List the conversions and their numbers</source>
        <translation>Перечислить преобразования и их номера</translation>
    </message>
    <message>
        <source>Conversion 11: the user name the paths hold now (the folder below &quot;Users\&quot; or &quot;Documents and Settings\&quot;)</source>
        <translation>Преобразование 11: имя пользователя, которое сейчас в путях (папка внутри &quot;Users\&quot; или &quot;Documents and Settings\&quot;)</translation>
    </message>
    <message>
        <source>Conversion 10: the drive the paths hold now, such as D:\</source>
        <translation>Преобразование 10: диск, который сейчас в путях, например D:\</translation>
    </message>
    <message>
        <source>Count the changes but write nothing</source>
        <translation>Подсчитать изменения, но ничего не записывать</translation>
    </message>
    <message>
        <source>Pack the browser&apos;s whole data folder into its archive in DIR (fbackup_firefox.dat and its sisters)</source>
        <translation>Упаковать всю папку данных браузера в его архив в DIR (fbackup_firefox.dat и подобные)</translation>
    </message>
    <message>
        <source>Unpack the browser&apos;s archive in DIR over its data folder, replacing files of the same names and keeping the others</source>
        <translation>Распаковать архив браузера из DIR поверх его папки данных, заменяя файлы с теми же именами и сохраняя остальные</translation>
    </message>
    <message>
        <source>The backup location: the folder to write the archive to, or rclone:REMOTE:PATH, a folder of a remote rclone knows</source>
        <translation>Место резервных копий: папка, в которую записать архив, или rclone:REMOTE:PATH — папка хранилища, известного rclone</translation>
    </message>
    <message>
        <source>The backup location: the folder holding the archive, or rclone:REMOTE:PATH</source>
        <translation>Место резервных копий: папка с архивом или rclone:REMOTE:PATH</translation>
    </message>
    <message>
        <source>Opera: the installation folder to find the data through (&quot;Opera 10&quot; for C:\Program Files\Opera 10), where the window asks for it</source>
        <translation>Opera: папка установки, по которой искать данные (&quot;Opera 10&quot; для C:\Program Files\Opera 10), там, где окно спрашивает ее</translation>
    </message>
    <message>
        <source>The version to restore: &quot;latest&quot; (the newest kept one) or a kept version&apos;s name (default: the archive of the plain name, else the newest kept version)</source>
        <translation>Версия, которую восстановить: &quot;latest&quot; (самая новая из сохраненных) или имя сохраненной версии (по умолчанию — архив с простым именем, иначе самая новая сохраненная версия)</translation>
    </message>
    <message>
        <source>Restore into DIR instead of the data folder found (made when missing). Without it, where no data folder is found, the one the browser itself would make here is used and named</source>
        <translation>Восстановить в DIR вместо найденной папки данных (создается, если ее нет). Без этого, когда папка данных не найдена, используется и называется та, которую создал бы здесь сам браузер</translation>
    </message>
    <message>
        <source>Keep versions: the archive&apos;s name gets the time (&quot;default 2026-12-09 221700.dat&quot;), and once it reads whole only the newest N versions of it stay</source>
        <translation>Хранить версии: в имя архива добавляется время (&quot;default 2026-12-09 221700.dat&quot;), и когда он читается целиком, остаются только N самых новых его версий</translation>
    </message>
    <message>
        <source>Back up and restore web browsers&apos; settings and data.</source>
        <translation>Резервное копирование и восстановление настроек и данных браузеров.</translation>
    </message>
    <message>
        <source>Print this help message and exit</source>
        <translation>Показать эту справку и выйти</translation>
    </message>
    <message>
        <source>Display program version information and exit</source>
        <translation>Показать версию программы и выйти</translation>
    </message>
    <message>
        <source>Show messages in LANG (ru or en) instead of the environment&apos;s</source>
        <translation>Показывать сообщения на языке LANG (ru или en) вместо языка окружения</translation>
    </message>
    <message>
        <source>With --encrypt: take the password from FILE (its first line) instead of VELLARION_PASSWORD or the terminal</source>
        <translation>С --encrypt: взять пароль из FILE (его первую строку) вместо VELLARION_PASSWORD или терминала</translation>
    </message>
    <message>
        <source>Take the password of an encrypted archive from FILE (its first line) instead of VELLARION_PASSWORD or the terminal</source>
        <translation>Взять пароль зашифрованного архива из FILE (его первую строку) вместо VELLARION_PASSWORD или терминала</translation>
    </message>
    <message>
        <source>Encrypt the archive with a password (AES-256): from --password-file, else VELLARION_PASSWORD, else typed twice on the terminal, not shown</source>
        <translation>Зашифровать архив паролем (AES-256): из --password-file, иначе из VELLARION_PASSWORD, иначе введенным дважды в терминале без показа</translation>
    </message>
    <message>
        <source>Send a backup that holds passwords or cookies to an rclone remote without --encrypt</source>
        <translation>Отправить резервную копию с паролями или куками в хранилище rclone без --encrypt</translation>
    </message>
    <message>
        <source>%1 has no data here: its runs will fail until it has</source>
        <translation>данных %1 здесь нет: его запуски будут завершаться ошибкой, пока они не появятся</translation>
    </message>
    <message>
        <source>%1 does not exist: the runs will fail until it does (a drive to connect?)</source>
        <translation>%1 не существует: запуски будут завершаться ошибкой, пока она не появится (нужно подключить диск?)</translation>
    </message>
    <message>
        <source>cannot write &quot;%1&quot;</source>
        <translation>не удается записать &quot;%1&quot;</translation>
    </message>
    <message>
        <source>the backup location %1 is not there: %2 does not exist (a drive not connected?)</source>
        <translation>места резервных копий %1 нет: %2 не существует (диск не подключен?)</translation>
    </message>
    <message>
        <source>the backup could not be started: %1</source>
        <translation>не удается запустить резервное копирование: %1</translation>
    </message>
    <message>
        <source>Backups that run themselves: a systemd user timer (Linux) or a Task Scheduler task (Windows) that runs &quot;schedule run ID&quot;</source>
        <translation>Резервные копии, которые делаются сами: пользовательский таймер systemd (Linux) или задание Планировщика заданий (Windows), которое выполняет &quot;schedule run ID&quot;</translation>
    </message>
    <message>
        <source>Add a schedule: a backup of BROWSER into DIR, hourly, daily or weekly</source>
        <translation>Добавить расписание: резервное копирование BROWSER в DIR ежечасно, ежедневно или еженедельно</translation>
    </message>
    <message>
        <source>The backup location: a folder, or rclone:REMOTE:PATH (the runs&apos; log is then kept beside the schedules)</source>
        <translation>Место резервных копий: папка или rclone:REMOTE:PATH (тогда журнал запусков хранится рядом с расписаниями)</translation>
    </message>
    <message>
        <source>A full backup (full-backup) instead of the items</source>
        <translation>Полная резервная копия (full-backup) вместо элементов</translation>
    </message>
    <message>
        <source>The profile (default: the first)</source>
        <translation>Профиль (по умолчанию первый)</translation>
    </message>
    <message>
        <source>The items, separated by commas (default: those the window starts with ticked)</source>
        <translation>Элементы через запятую (по умолчанию те, что отмечены в окне при запуске)</translation>
    </message>
    <message>
        <source>How often (default: daily)</source>
        <translation>Как часто (по умолчанию daily)</translation>
    </message>
    <message>
        <source>Keep the newest N versions, each with the time in its name (default: one archive, replaced)</source>
        <translation>Хранить N самых новых версий, каждую со временем в имени (по умолчанию один архив, который заменяется)</translation>
    </message>
    <message>
        <source>The file the password is read from at each run (readable by its owner only; the schedule keeps its name, never the password)</source>
        <translation>Файл, из которого пароль читается при каждом запуске (доступный для чтения только владельцу; расписание хранит его имя, но не пароль)</translation>
    </message>
    <message>
        <source>Encrypt the archives</source>
        <translation>Шифровать архивы</translation>
    </message>
    <message>
        <source>When the browser holds its data, each run waits until it lets go (at most DURATION, as in 30m or 2h, given as --wait=DURATION) instead of failing</source>
        <translation>Когда браузер держит свои данные, каждый запуск ждет, пока он их отпустит (не дольше DURATION, например 30m или 2h, если срок указан как --wait=DURATION), а не завершается ошибкой</translation>
    </message>
    <message>
        <source>Run whether the user is logged on or not (no password is stored; only local resources)</source>
        <translation>Запускать независимо от того, вошел ли пользователь в систему (пароль не хранится; только локальные ресурсы)</translation>
    </message>
    <message>
        <source>List the schedules: id, how often, the backup each runs, its last run with its result, and its last complete archive</source>
        <translation>Перечислить расписания: идентификатор, как часто, какое резервное копирование выполняет каждое, его последний запуск с результатом и последний полный архив</translation>
    </message>
    <message>
        <source>Remove the schedule ID and its timer or task</source>
        <translation>Удалить расписание ID и его таймер или задание</translation>
    </message>
    <message>
        <source>The schedule</source>
        <translation>Расписание</translation>
    </message>
    <message>
        <source>Run the schedule ID now, as the scheduler does (the log: %1 beside the archives)</source>
        <translation>Выполнить расписание ID сейчас, как это делает планировщик (журнал: %1 рядом с архивами)</translation>
    </message>
    <message>
        <source>The profile to use, by its folder or as the profiles command shows it (default: the first)</source>
        <translation>Профиль: по его папке или как его показывает команда profiles (по умолчанию первый)</translation>
    </message>
    <message>
        <source>Use the profile in DIR instead of a listed one</source>
        <translation>Использовать профиль в DIR вместо одного из перечисленных</translation>
    </message>
    <message>
        <source>The items, separated by commas (default: those the window starts with ticked; see the items command)</source>
        <translation>Элементы через запятую (по умолчанию те, что отмечены в окне при запуске; см. команду items)</translation>
    </message>
    <message>
        <source>List the profiles of BROWSER, the first being the default</source>
        <translation>Перечислить профили BROWSER; первый — профиль по умолчанию</translation>
    </message>
    <message>
        <source>List the items a backup or restore of BROWSER can take, with their captions</source>
        <translation>Перечислить элементы, которые может взять резервное копирование или восстановление BROWSER, с их подписями</translation>
    </message>
    <message>
        <source>Back up the ticked items of a profile of BROWSER into an archive in DIR, named after the profile; prints the archive&apos;s path</source>
        <translation>Сохранить отмеченные элементы профиля BROWSER в архив в DIR, названный по профилю; выводит путь архива</translation>
    </message>
    <message>
        <source>The backup location: a folder, or rclone:REMOTE:PATH, a folder of a remote rclone knows</source>
        <translation>Место резервных копий: папка или rclone:REMOTE:PATH — папка хранилища, известного rclone</translation>
    </message>
    <message>
        <source>Restore the ticked items from the archive NAME in DIR into a profile of BROWSER; prints the profile&apos;s folder</source>
        <translation>Восстановить отмеченные элементы из архива NAME в DIR в профиль BROWSER; выводит папку профиля</translation>
    </message>
    <message>
        <source>The backup location: a folder, or rclone:REMOTE:PATH</source>
        <translation>Место резервных копий: папка или rclone:REMOTE:PATH</translation>
    </message>
    <message>
        <source>The archive in DIR to restore, or &quot;latest&quot;: the newest kept version of the profile&apos;s archive (default: the profile&apos;s archive, else its newest kept version; Internet Explorer restores backup_ie.dat)</source>
        <translation>Архив в DIR, который восстановить, или &quot;latest&quot;: самая новая сохраненная версия архива профиля (по умолчанию — архив профиля, иначе самая новая его сохраненная версия; Internet Explorer восстанавливает backup_ie.dat)</translation>
    </message>
    <message>
        <source>Make the --custom-profile folder one of the browser&apos;s profiles (the Firefox family of this machine: a new entry of its profiles.ini)</source>
        <translation>Сделать папку --custom-profile одним из профилей браузера (семейство Firefox этого компьютера: новая запись в его profiles.ini)</translation>
    </message>
    <message>
        <source>Restore into a new profile of this name, made where the browser keeps its profiles (and its data folder, when there is none yet) and added to the browser&apos;s list of profiles</source>
        <translation>Восстановить в новый профиль с этим именем, созданный там, где браузер хранит свои профили (и его папку данных, если ее еще нет), и добавленный в список профилей браузера</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no duration (as in 90s, 10m, 2h, 1d)</source>
        <translation>&quot;%1&quot; — не срок (пишите как 90s, 10m, 2h, 1d)</translation>
    </message>
    <message>
        <source>%1 opens it once it is chosen: start %1 with -P (its profile manager) and choose &quot;%2&quot;, or choose it in about:profiles</source>
        <translation>%1 откроет его, когда его выберут: запустите %1 с -P (менеджер профилей) и выберите &quot;%2&quot; или выберите его на странице about:profiles</translation>
    </message>
</context>
<context>
    <name>vellarion::cli::CommandJob</name>
    <message>
        <source>%1 has no profiles to choose from</source>
        <translation>у %1 нет профилей на выбор</translation>
    </message>
    <message>
        <source>no profile &quot;%1&quot;; the profiles are %2</source>
        <translation>нет профиля &quot;%1&quot;; профили: %2</translation>
    </message>
    <message>
        <source>no kept version of &quot;%1&quot; in %2</source>
        <translation>в %2 нет сохраненной версии &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 restores only &quot;%2&quot;</source>
        <translation>%1 восстанавливает только &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 holds no archive &quot;%2&quot;.</source>
        <translation>В %1 нет архива &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Папки %1 не существует.</translation>
    </message>
</context>
<context>
    <name>vellarion::cli::RemoteProgress</name>
    <message>
        <source>sending %1</source>
        <translation>отправка %1</translation>
    </message>
    <message>
        <source>fetching %1</source>
        <translation>загрузка %1</translation>
    </message>
    <message>
        <source>(%1 of %2 MiB)</source>
        <translation>(%1 из %2 МиБ)</translation>
    </message>
</context>
</TS>
