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
