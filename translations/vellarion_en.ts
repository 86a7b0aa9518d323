<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>std</name>
    <message>
        <source>Расширения</source>
        <translation>Extensions</translation>
    </message>
    <message>
        <source>Данные Plugin</source>
        <translation>Plugin data</translation>
    </message>
    <message>
        <source>Закладки</source>
        <translation>Bookmarks</translation>
    </message>
    <message>
        <source>Куки</source>
        <translation>Cookies</translation>
    </message>
    <message>
        <source>Текущая сессия</source>
        <translation>Current session</translation>
    </message>
    <message>
        <source>Текущие вкладки</source>
        <translation>Current tabs</translation>
    </message>
    <message>
        <source>История</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Последняя сессия</source>
        <translation>Last session</translation>
    </message>
    <message>
        <source>Последние вкладки</source>
        <translation>Last tabs</translation>
    </message>
    <message>
        <source>Установки</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>Миниатюры</source>
        <translation>Thumbnails</translation>
    </message>
    <message>
        <source>Посещенные ссылки</source>
        <translation>Visited links</translation>
    </message>
    <message>
        <source>Веб-данные</source>
        <translation>Web data</translation>
    </message>
    <message>
        <source>Топ сайтов</source>
        <translation>Top sites</translation>
    </message>
    <message>
        <source>Кэш</source>
        <translation>Cache</translation>
    </message>
    <message>
        <source>%1 шифрует сохраненные пароли и куки ключом, привязанным к учетной записи и компьютеру, на которых они сохранены: на другом компьютере или под другой учетной записью %1 не сможет их прочитать.</source>
        <translation>%1 encrypts saved passwords and cookies with a key bound to the user account and computer they were saved on: on another computer or under another user account %1 cannot read them.</translation>
    </message>
    <message>
        <source>Поисковые системы</source>
        <translation>Search engines</translation>
    </message>
    <message>
        <source>Пользовательские настройки</source>
        <translation>Customizations</translation>
    </message>
    <message>
        <source>Сессии</source>
        <translation>Sessions</translation>
    </message>
    <message>
        <source>Орфографические словари</source>
        <translation>Spelling dictionaries</translation>
    </message>
    <message>
        <source>Панель инструментов</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>История загрузок</source>
        <translation>Download history</translation>
    </message>
    <message>
        <source>Сохраненные данные форм</source>
        <translation>Saved form data</translation>
    </message>
    <message>
        <source>Сохраненные пароли</source>
        <translation>Saved passwords</translation>
    </message>
    <message>
        <source>Настройки сайта(ов)</source>
        <translation>Site settings</translation>
    </message>
    <message>
        <source>Темы и оформление</source>
        <translation>Themes and appearance</translation>
    </message>
    <message>
        <source>Не найден файл параметров</source>
        <translation>Settings file not found</translation>
    </message>
    <message>
        <source>Расположение резервной копии:</source>
        <translation>Backup location:</translation>
    </message>
    <message>
        <source>Файл параметров не найден. Выберите пользовательский профиль.</source>
        <translation>Settings file not found. Choose a custom profile.</translation>
    </message>
    <message>
        <source>Файл резервной копии &quot;%1&quot; уже существует. Заменить его?</source>
        <translation>Backup file &quot;%1&quot; already exists. Replace it?</translation>
    </message>
    <message>
        <source>Для следующих пунктов не найдено данных, они не сохранены: %1.</source>
        <translation>No data was found for these items; they were not saved: %1.</translation>
    </message>
    <message>
        <source>В архиве нет данных следующих пунктов, они не восстановлены: %1.</source>
        <translation>The archive holds no data for these items; they were not restored: %1.</translation>
    </message>
    <message>
        <source>Реестр Windows недоступен: разделы реестра пропущены.</source>
        <translation>The Windows registry is not available: registry keys were skipped.</translation>
    </message>
    <message>
        <source>Не удалось сохранить разделы реестра:</source>
        <translation>These registry keys could not be saved:</translation>
    </message>
    <message>
        <source>Пароли и куки будут в архиве в открытом виде: их прочтёт любой, у кого окажется файл.</source>
        <translation>Passwords and cookies will be stored in the archive unencrypted: anyone who gets the file can read them.</translation>
    </message>
    <message>
        <source>сохранённые пароли (%1) и куки (%2)</source>
        <translation>saved passwords (%1) and cookies (%2)</translation>
    </message>
    <message>
        <source>сохранённые пароли (%1)</source>
        <translation>saved passwords (%1)</translation>
    </message>
    <message>
        <source>куки (%1)</source>
        <translation>cookies (%1)</translation>
    </message>
    <message>
        <source>%1: %2 в этом архиве откроются только на этом компьютере в этой учётной записи; на другой компьютер или в другую учётную запись они переходят только в зашифрованном архиве (--encrypt).</source>
        <translation>%1: %2 in this archive will open only on this computer in this account; they move to another computer or account only inside an encrypted archive (--encrypt).</translation>
    </message>
    <message>
        <source>Из них %1 привязаны к этой установке браузера (&quot;v20&quot;): их не переносит никакой архив.</source>
        <translation>%1 of them are bound to this installation of the browser (&quot;v20&quot;): no archive moves those.</translation>
    </message>
    <message>
        <source>%1: %2 в архиве прочтёт любой, у кого окажется файл (--encrypt их защищает).</source>
        <translation>%1: %2 in the archive can be read by anyone who gets the file (--encrypt protects them).</translation>
    </message>
    <message>
        <source>Без шифрования пароли и куки откроются только на этом компьютере в этой учётной записи.</source>
        <translation>Without encryption, the passwords and cookies will open only on this computer in this account.</translation>
    </message>
    <message>
        <source>%1 запущен: его базы данных копируются согласованными снимками.</source>
        <translation>%1 is running: its databases are copied as consistent snapshots.</translation>
    </message>
    <message>
        <source>%1: %2 держит его открытым; закройте %2, чтобы сохранить и его</source>
        <translation>%1: %2 keeps it open; close %2 to include it</translation>
    </message>
    <message>
        <source>%1 менялся при каждой попытке скопировать его (%2): он не сохранён</source>
        <translation>%1 changed on every try to copy it (%2): it was not backed up</translation>
    </message>
    <message>
        <source>С папкой %1 работает другое задание программы.</source>
        <translation>Another job of this program is working on the folder %1.</translation>
    </message>
</context>
<context>
    <name>vellarion</name>
    <message>
        <source>Файл резервной копии:</source>
        <translation>Backup file:</translation>
    </message>
    <message>
        <source>Архивация данных %1</source>
        <translation>%1 data backup</translation>
    </message>
    <message>
        <source>Восстановление данных %1</source>
        <translation>%1 data restore</translation>
    </message>
    <message>
        <source>Мастер полного резервного копирования %1</source>
        <translation>%1 full backup wizard</translation>
    </message>
    <message>
        <source>Мастер полного восстановления %1</source>
        <translation>%1 full restore wizard</translation>
    </message>
    <message>
        <source>Мастер резервного копирования %1</source>
        <translation>%1 backup wizard</translation>
    </message>
    <message>
        <source>Добро пожаловать в мастер восстановления %1</source>
        <translation>Welcome to the %1 restore wizard</translation>
    </message>
    <message>
        <source>Особые данные</source>
        <translation>Special data</translation>
    </message>
    <message>
        <source>Поток данных</source>
        <translation>Data stream</translation>
    </message>
    <message>
        <source>Архивация данных Flock</source>
        <translation>Flock data backup</translation>
    </message>
    <message>
        <source>Восстановление данных Flock</source>
        <translation>Flock data restore</translation>
    </message>
    <message>
        <source>Мастер полного резервного копирования Flock</source>
        <translation>Flock full backup wizard</translation>
    </message>
    <message>
        <source>Мастер полного восстановления Flock</source>
        <translation>Flock full restore wizard</translation>
    </message>
    <message>
        <source>Мастер резервного копирования Flock</source>
        <translation>Flock backup wizard</translation>
    </message>
    <message>
        <source>Мастер восстановления Flock</source>
        <translation>Flock restore wizard</translation>
    </message>
    <message>
        <source>Профиль:</source>
        <translation>Profile:</translation>
    </message>
    <message>
        <source>Поисковые системы</source>
        <translation>Search engines</translation>
    </message>
    <message>
        <source>Автозаполнение</source>
        <translation>AutoComplete</translation>
    </message>
    <message>
        <source>Куки</source>
        <translation>Cookies</translation>
    </message>
    <message>
        <source>Избранное</source>
        <translation>Favorites</translation>
    </message>
    <message>
        <source>История</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Сессии</source>
        <translation>Sessions</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Панель инструментов</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>Панель ссылок</source>
        <translation>Links bar</translation>
    </message>
    <message>
        <source>Архивация данных Internet Explorer</source>
        <translation>Internet Explorer data backup</translation>
    </message>
    <message>
        <source>Восстановление данных Internet Explorer</source>
        <translation>Internet Explorer data restore</translation>
    </message>
    <message>
        <source>Мастер полного резервного копирования Internet Explorer</source>
        <translation>Internet Explorer full backup wizard</translation>
    </message>
    <message>
        <source>Мастер полного восстановления Internet Explorer</source>
        <translation>Internet Explorer full restore wizard</translation>
    </message>
    <message>
        <source>Мастер резервного копирования Internet Explorer</source>
        <translation>Internet Explorer backup wizard</translation>
    </message>
    <message>
        <source>Мастер восстановления Internet Explorer</source>
        <translation>Internet Explorer restore wizard</translation>
    </message>
    <message>
        <source>Восстановление следующих профилей:</source>
        <translation>Restore into this profile:</translation>
    </message>
    <message>
        <source>Закладки</source>
        <translation>Bookmarks</translation>
    </message>
    <message>
        <source>Скины</source>
        <translation>Skins</translation>
    </message>
    <message>
        <source>Настройка панели инструментов</source>
        <translation>Toolbar setup</translation>
    </message>
    <message>
        <source>Настройки клавиатуры</source>
        <translation>Keyboard setup</translation>
    </message>
    <message>
        <source>Почта и веб-каналы</source>
        <translation>Mail and feeds</translation>
    </message>
    <message>
        <source>Конфигурация меню</source>
        <translation>Menu setup</translation>
    </message>
    <message>
        <source>Конфигурация мыши</source>
        <translation>Mouse setup</translation>
    </message>
    <message>
        <source>Данные сертификата</source>
        <translation>Certificates</translation>
    </message>
    <message>
        <source>Контакты</source>
        <translation>Contacts</translation>
    </message>
    <message>
        <source>Примечания</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>Установки</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>Посещенные ссылки</source>
        <translation>Visited links</translation>
    </message>
    <message>
        <source>Данные (пароли)</source>
        <translation>Wand data (passwords)</translation>
    </message>
    <message>
        <source>Виджеты и расширения</source>
        <translation>Widgets and extensions</translation>
    </message>
    <message>
        <source>Архивация данных Opera</source>
        <translation>Opera data backup</translation>
    </message>
    <message>
        <source>Восстановление данных Opera</source>
        <translation>Opera data restore</translation>
    </message>
    <message>
        <source>Мастер полного резервного копирования Opera</source>
        <translation>Opera full backup wizard</translation>
    </message>
    <message>
        <source>Мастер полного восстановления Opera</source>
        <translation>Opera full restore wizard</translation>
    </message>
    <message>
        <source>Введите имя каталога установки браузера Opera. Например: Если ваш браузер установлен в C:\Program Files\Opera 10, просто введите «Opera 10» (без кавычек и/или косой черты).</source>
        <translation>Enter the name of the Opera installation folder. For example: if your browser is installed in C:\Program Files\Opera 10, just enter &quot;Opera 10&quot; (without quotes or slashes).</translation>
    </message>
    <message>
        <source>Мастер резервного копирования Opera</source>
        <translation>Opera backup wizard</translation>
    </message>
    <message>
        <source>Мастер восстановления Opera</source>
        <translation>Opera restore wizard</translation>
    </message>
    <message>
        <source>Загрузки</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>Каналы/Ленты</source>
        <translation>Feeds</translation>
    </message>
    <message>
        <source>Данные форм</source>
        <translation>Form data</translation>
    </message>
    <message>
        <source>Последняя сессия</source>
        <translation>Last session</translation>
    </message>
    <message>
        <source>Топ сайтов</source>
        <translation>Top sites</translation>
    </message>
    <message>
        <source>Кэш</source>
        <translation>Cache</translation>
    </message>
    <message>
        <source>Архивация данных Safari</source>
        <translation>Safari data backup</translation>
    </message>
    <message>
        <source>Восстановление данных Safari</source>
        <translation>Safari data restore</translation>
    </message>
    <message>
        <source>Мастер полного резервного копирования Safari</source>
        <translation>Safari full backup wizard</translation>
    </message>
    <message>
        <source>Мастер полного восстановления Safari</source>
        <translation>Safari full restore wizard</translation>
    </message>
    <message>
        <source>Мастер резервного копирования Safari</source>
        <translation>Safari backup wizard</translation>
    </message>
    <message>
        <source>Мастер восстановления Safari</source>
        <translation>Safari restore wizard</translation>
    </message>
    <message>
        <source>Смена буквы диска</source>
        <translation>Change of drive letter</translation>
    </message>
    <message>
        <source>Смена имени пользователя</source>
        <translation>Change of user name</translation>
    </message>
    <message>
        <source>Выберите метод преобразования.</source>
        <translation>Choose a conversion method.</translation>
    </message>
    <message>
        <source>Введите старое имя пользователя.</source>
        <translation>Enter the old user name.</translation>
    </message>
    <message>
        <source>Введите старую букву диска, например: &quot;D:\&quot;.</source>
        <translation>Enter the old drive letter, for example: &quot;D:\&quot;.</translation>
    </message>
    <message>
        <source>Резервное копирование настроек и данных Internet Explorer .</source>
        <translation>Back up the settings and data of Internet Explorer.</translation>
    </message>
    <message>
        <source>Архивация настроек и данных Firefox</source>
        <translation>Back up the settings and data of Firefox</translation>
    </message>
    <message>
        <source>Архивация настроек и данных Chrome</source>
        <translation>Back up the settings and data of Chrome</translation>
    </message>
    <message>
        <source>Архивация настроек и данных Opera.</source>
        <translation>Back up the settings and data of Opera.</translation>
    </message>
    <message>
        <source>Архивация настроек и данных Safari.</source>
        <translation>Back up the settings and data of Safari.</translation>
    </message>
    <message>
        <source>Архивация настроек и данных Flock.</source>
        <translation>Back up the settings and data of Flock.</translation>
    </message>
    <message>
        <source>Восстановление данных Firefox.</source>
        <translation>Restore the data of Firefox.</translation>
    </message>
    <message>
        <source>Восстановление данных Chrome.</source>
        <translation>Restore the data of Chrome.</translation>
    </message>
    <message>
        <source>Восстановление данных Opera.</source>
        <translation>Restore the data of Opera.</translation>
    </message>
    <message>
        <source>Восстановление данных Safari.</source>
        <translation>Restore the data of Safari.</translation>
    </message>
    <message>
        <source>Восстановление данных Flock.</source>
        <translation>Restore the data of Flock.</translation>
    </message>
    <message>
        <source>Полная архивация настроек и данных Internet Explorer .</source>
        <translation>Full backup of the settings and data of Internet Explorer.</translation>
    </message>
    <message>
        <source>Полная архивация настроек и данных Firefox.</source>
        <translation>Full backup of the settings and data of Firefox.</translation>
    </message>
    <message>
        <source>Полная архивация настроек и данных Chrome.</source>
        <translation>Full backup of the settings and data of Chrome.</translation>
    </message>
    <message>
        <source>Полная архивация настроек и данных Opera.</source>
        <translation>Full backup of the settings and data of Opera.</translation>
    </message>
    <message>
        <source>Резервное копирование настроек и данных Safari .</source>
        <translation>Full backup of the settings and data of Safari.</translation>
    </message>
    <message>
        <source>Резервное копирование настроек и данных Flock .</source>
        <translation>Full backup of the settings and data of Flock.</translation>
    </message>
    <message>
        <source>Полное восстановление настроек и данных Internet Explorer.</source>
        <translation>Full restore of the settings and data of Internet Explorer.</translation>
    </message>
    <message>
        <source>Полное восстановление настроек и данных Firefox.</source>
        <translation>Full restore of the settings and data of Firefox.</translation>
    </message>
    <message>
        <source>Полное восстановление настроек и данных Chrome.</source>
        <translation>Full restore of the settings and data of Chrome.</translation>
    </message>
    <message>
        <source>Полное восстановление настроек и данных Opera.</source>
        <translation>Full restore of the settings and data of Opera.</translation>
    </message>
    <message>
        <source>Полное восстановление настроек и данных Safari.</source>
        <translation>Full restore of the settings and data of Safari.</translation>
    </message>
    <message>
        <source>Полное восстановление настроек и данных Flock.</source>
        <translation>Full restore of the settings and data of Flock.</translation>
    </message>
    <message>
        <source>Преобразование профиля Opera.</source>
        <translation>Convert an Opera profile.</translation>
    </message>
    <message>
        <source>&amp;О программе</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>О программе Vellarion</source>
        <translation>About Vellarion</translation>
    </message>
    <message>
        <source>&amp;О софте</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>Проверка &amp; обновлений</source>
        <translation>Check for &amp;updates</translation>
    </message>
    <message>
        <source>Проверить новую версию.</source>
        <translation>Check for a new version.</translation>
    </message>
    <message>
        <source>Проверка наличия обновлений</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>Написать нам по email.</source>
        <translation>Write to us by e-mail.</translation>
    </message>
    <message>
        <source>&amp;Выйти</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Закрыть Vellarion</source>
        <translation>Close Vellarion</translation>
    </message>
    <message>
        <source>&amp;Сайт</source>
        <translation>&amp;Website</translation>
    </message>
    <message>
        <source>Посетить сайт Vellarion .</source>
        <translation>Visit the Vellarion website.</translation>
    </message>
    <message>
        <source>Спасибо</source>
        <translation>Thanks</translation>
    </message>
    <message>
        <source>Пожертвовать на развитие проекта Vellarion.</source>
        <translation>Donate to the Vellarion project.</translation>
    </message>
    <message>
        <source>Архивация настроек и данных %1.</source>
        <translation>Back up the settings and data of %1.</translation>
    </message>
    <message>
        <source>Восстановление данных %1.</source>
        <translation>Restore the data of %1.</translation>
    </message>
    <message>
        <source>Полная архивация настроек и данных %1.</source>
        <translation>Full backup of the settings and data of %1.</translation>
    </message>
    <message>
        <source>Полное восстановление настроек и данных %1.</source>
        <translation>Full restore of the settings and data of %1.</translation>
    </message>
    <message>
        <source>Архивировать</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Архивация</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Браузеры</source>
        <translation>Browsers</translation>
    </message>
    <message>
        <source>Восстановить</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Архивировать все</source>
        <translation>Backup all</translation>
    </message>
    <message>
        <source>Восстановить все</source>
        <translation>Restore all</translation>
    </message>
    <message>
        <source>Конвертировать</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>Конвертер</source>
        <translation>Converter</translation>
    </message>
    <message>
        <source>Цветовая тема</source>
        <translation>Color scheme</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>&amp;Авторы</source>
        <translation>&amp;Authors</translation>
    </message>
    <message>
        <source>&amp;Обновить</source>
        <translation>&amp;Update</translation>
    </message>
    <message>
        <source>С&amp;пасибо</source>
        <translation>&amp;Thanks</translation>
    </message>
    <message>
        <source>Восстановить в другую папку (необязательно):</source>
        <translation>Restore into another folder (optional):</translation>
    </message>
    <message>
        <source>Язык</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>&amp;Расписание</source>
        <translation>&amp;Schedule</translation>
    </message>
    <message>
        <source>Резервные копии по расписанию: добавить, показать, удалить.</source>
        <translation>Backups on a schedule: add, list, remove.</translation>
    </message>
    <message>
        <source>Расписание</source>
        <translation>Schedule</translation>
    </message>
    <message>
        <source>%1: %2 из архива здесь не откроются: они зашифрованы ключом компьютера и учётной записи, где сделана копия, а обычный архив этот ключ не переносит (архив, сделанный с --encrypt, переносит).</source>
        <translation>%1: %2 from the archive will not open here: they are encrypted with the key of the computer and account the backup was made on, which a plain archive does not carry (one made with --encrypt does).</translation>
    </message>
    <message>
        <source>Из них %1 привязаны к установке браузера (&quot;v20&quot;) и открываются только там, где сохранены.</source>
        <translation>%1 of them are bound to the browser&apos;s installation (&quot;v20&quot;) and open only where they were saved.</translation>
    </message>
</context>
<context>
    <name>vellarion::DirectoryEdit</name>
    <message>
        <source>Choose a folder</source>
        <translation>Choose a folder</translation>
    </message>
    <message>
        <source>Папка или папка хранилища rclone: rclone:ХРАНИЛИЩЕ:ПАПКА</source>
        <translation>A folder, or a folder of an rclone remote: rclone:REMOTE:FOLDER</translation>
    </message>
    <message>
        <source>rclone не установлен: без него копии не уходят с этого компьютера. Установите rclone и создайте хранилище командой rclone config.</source>
        <translation>rclone is not installed: without it no backup leaves this computer. Install rclone and make a remote with rclone config.</translation>
    </message>
    <message>
        <source>rclone не знает ни одного хранилища: создайте его командой rclone config.</source>
        <translation>rclone knows no remote: make one with rclone config.</translation>
    </message>
    <message>
        <source>Хранилища rclone: %1. Пишите rclone:ХРАНИЛИЩЕ:ПАПКА</source>
        <translation>rclone remotes: %1. Write rclone:REMOTE:FOLDER</translation>
    </message>
</context>
<context>
    <name>vellarion::DocumentForm</name>
    <message>
        <source>Вперед &gt;</source>
        <translation>Next &gt;</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Готово</source>
        <translation>Finish</translation>
    </message>
</context>
<context>
    <name>vellarion::EncryptionFields</name>
    <message>
        <source>Зашифровать паролем</source>
        <translation>Encrypt with a password</translation>
    </message>
    <message>
        <source>Пароль</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Повтор пароля</source>
        <translation>Repeat password</translation>
    </message>
    <message>
        <source>Введите пароль для шифрования архива.</source>
        <translation>Enter the password to encrypt the archive with.</translation>
    </message>
    <message>
        <source>Пароль и его повтор не совпадают.</source>
        <translation>The password and its repetition differ.</translation>
    </message>
</context>
<context>
    <name>vellarion::FullWizardForm</name>
    <message>
        <source>Расположение резервной копии:</source>
        <translation>Backup location:</translation>
    </message>
    <message>
        <source>Ход работы:</source>
        <translation>Progress:</translation>
    </message>
</context>
<context>
    <name>vellarion::SelectiveJob</name>
    <message>
        <source>Профиль с именем &quot;%1&quot; уже есть: %2. Выберите другое имя.</source>
        <translation>A profile named &quot;%1&quot; exists already: %2. Choose another name.</translation>
    </message>
</context>
<context>
    <name>vellarion::SelectiveWizardForm</name>
    <message>
        <source>Восстанавливает:</source>
        <translation>Restores:</translation>
    </message>
    <message>
        <source>Архивирует следующее:</source>
        <translation>Backs up:</translation>
    </message>
    <message>
        <source>Выбрать все</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Снять все</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <source>Профиль:</source>
        <translation>Profile:</translation>
    </message>
    <message>
        <source>Восстановление следующих профилей:</source>
        <translation>Restore into this profile:</translation>
    </message>
    <message>
        <source>По умолчанию</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Новый профиль:</source>
        <translation>New profile:</translation>
    </message>
    <message>
        <source>Восстановленный</source>
        <translation>Restored</translation>
    </message>
    <message>
        <source>Введите имя нового профиля.</source>
        <translation>Enter the name of the new profile.</translation>
    </message>
</context>
<context>
    <name>vellarion::TFStart</name>
    <message>
        <source>Добро пожаловать:</source>
        <translation>Welcome:</translation>
    </message>
    <message>
        <source>Архивация:</source>
        <translation>Backup:</translation>
    </message>
    <message>
        <source>Архивация данных различных Веб браузеров. Тем, настроек, профилей и дополнений.</source>
        <translation>Back up the data of many web browsers: themes, settings, profiles and add-ons.</translation>
    </message>
    <message>
        <source>Восстановление:</source>
        <translation>Restore:</translation>
    </message>
    <message>
        <source>Восстановление данных различных Веб браузеров. Включая портативные версии.</source>
        <translation>Restore the data of many web browsers, portable versions included.</translation>
    </message>
    <message>
        <source>Обратите внимание: указывайте точное место хранения для портативных версий, во избежание перезаписи данных.</source>
        <translation>Note: give the exact location of portable versions, so that no data is overwritten.</translation>
    </message>
    <message>
        <source>Архивировать все:</source>
        <translation>Backup all:</translation>
    </message>
    <message>
        <source>Резервное копирование всех веб браузеров профилей и их данных.</source>
        <translation>Back up all of a web browser&apos;s profiles and their data.</translation>
    </message>
    <message>
        <source>Восстановить все:</source>
        <translation>Restore all:</translation>
    </message>
    <message>
        <source>Восстановление данных всех веб браузеров.</source>
        <translation>Restore all of a web browser&apos;s data.</translation>
    </message>
    <message>
        <source>Конвертирование:</source>
        <translation>Convert:</translation>
    </message>
    <message>
        <source>Преобразует профиль опера, от XP 7/Vista 32-разрядного до 64 и наоборот.</source>
        <translation>Converts an Opera profile from 32-bit XP, 7 or Vista to 64-bit and back.</translation>
    </message>
    <message>
        <source>Для получения дополнительной информации посетите Vellarion</source>
        <translation>For more information visit Vellarion</translation>
    </message>
    <message>
        <source>страница справки</source>
        <translation>help page</translation>
    </message>
    <message>
        <source>Юридическая информация:</source>
        <translation>Legal information:</translation>
    </message>
    <message>
        <source>Используя это программное обеспечение, вы соглашаетесь использовать его на свой страх и риск. Мы не несем ответственности за любой ущерб. Также мы не несем ответственность за данные, оборудование или финансовые потери из-за ошибки программного обеспечения.</source>
        <translation>By using this software you agree to use it at your own risk. We are not liable for any damage, nor for lost data, hardware or money caused by a fault of the software.</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vellarion::Tf_About</name>
    <message>
        <source>О программе Vellarion</source>
        <translation>About Vellarion</translation>
    </message>
    <message>
        <source>Авторы:</source>
        <translation>Authors:</translation>
    </message>
    <message>
        <source>Все логотипы и товарные знаки являются собственностью их владельцев.</source>
        <translation>All logos and trademarks are the property of their owners.</translation>
    </message>
    <message>
        <source>Ленточный интерфейс, его цветовые темы и значки нарисованы авторами Vellarion и распространяются на тех же условиях, что и сама программа.</source>
        <translation>The ribbon interface, its color schemes and icons were drawn by the Vellarion authors and are distributed on the same terms as the program itself.</translation>
    </message>
</context>
<context>
    <name>vellarion::Tf_Schedule</name>
    <message>
        <source>Расписание</source>
        <translation>Schedule</translation>
    </message>
    <message>
        <source>Архивировать все</source>
        <translation>Backup all</translation>
    </message>
    <message>
        <source>первый</source>
        <translation>the first</translation>
    </message>
    <message>
        <source>Каждый час</source>
        <translation>Hourly</translation>
    </message>
    <message>
        <source>Каждый день</source>
        <translation>Daily</translation>
    </message>
    <message>
        <source>Каждую неделю</source>
        <translation>Weekly</translation>
    </message>
    <message>
        <source>одна копия, заменяется</source>
        <translation>one copy, replaced</translation>
    </message>
    <message>
        <source>Зашифровать паролем из файла</source>
        <translation>Encrypt with the password from a file</translation>
    </message>
    <message>
        <source>Выполнять, даже если вход не выполнен</source>
        <translation>Run even when nobody is logged on</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Браузер:</source>
        <translation>Browser:</translation>
    </message>
    <message>
        <source>Расположение резервной копии:</source>
        <translation>Backup location:</translation>
    </message>
    <message>
        <source>Профиль:</source>
        <translation>Profile:</translation>
    </message>
    <message>
        <source>Элементы:</source>
        <translation>Items:</translation>
    </message>
    <message>
        <source>Как часто:</source>
        <translation>How often:</translation>
    </message>
    <message>
        <source>Хранить версий:</source>
        <translation>Versions kept:</translation>
    </message>
    <message>
        <source>Расписания:</source>
        <translation>Schedules:</translation>
    </message>
    <message>
        <source>Расположение резервной копии</source>
        <translation>Backup location</translation>
    </message>
    <message>
        <source>Удалить расписание %1?</source>
        <translation>Remove schedule %1?</translation>
    </message>
</context>
<context>
    <name>vellarion::Tf_Update</name>
    <message>
        <source>&amp;Отмена</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Обновлений нет!</source>
        <translation>No updates!</translation>
    </message>
</context>
<context>
    <name>vellarion::Tfc_Opera</name>
    <message>
        <source>Преобразование профиля Opera</source>
        <translation>Opera profile conversion</translation>
    </message>
    <message>
        <source>Мастер конвертации Opera 10 </source>
        <translation>Opera 10 conversion wizard </translation>
    </message>
    <message>
        <source>Инструкция:</source>
        <translation>Instructions:</translation>
    </message>
    <message>
        <source>Используйте следующие функции после восстановления параметров (Opera 10 !). Программа будет искать ваш файл профиля и замену данных согласно вашему запросу. Закройте Opera, прежде чем нажать &quot;Вперед&quot;.</source>
        <translation>Use these functions after restoring the settings (Opera 10!). The program will look for your profile file and replace the data as you ask. Close Opera before you press &quot;Next&quot;.</translation>
    </message>
    <message>
        <source>Методы преобразования:</source>
        <translation>Conversion methods:</translation>
    </message>
    <message>
        <source>Опции</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Введите старое имя пользователя (если изменен):</source>
        <translation>Enter the old user name (if it changed):</translation>
    </message>
    <message>
        <source>Введите старую букву диска (Если изменен), Пример: &quot;D:\&quot;:</source>
        <translation>Enter the old drive letter (if it changed), for example: &quot;D:\&quot;:</translation>
    </message>
    <message>
        <source>Информация о системе:</source>
        <translation>System information:</translation>
    </message>
    <message>
        <source>Ось Windows:</source>
        <translation>Windows version:</translation>
    </message>
    <message>
        <source>Тип Windows:</source>
        <translation>Windows type:</translation>
    </message>
    <message>
        <source>Пользователь:</source>
        <translation>User:</translation>
    </message>
</context>
<context>
    <name>vellarion::Tfr_Firefox</name>
    <message>
        <source>Удаление файла резервной копии после завершения</source>
        <translation>Delete the backup file when finished</translation>
    </message>
    <message>
        <source>Добавить папку в профили %1</source>
        <translation>Add the folder to the profiles of %1</translation>
    </message>
</context>
<context>
    <name>vellarion::Tfrm_ShowInfoUpdate</name>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vellarion::WizardForm</name>
    <message>
        <source>Архив &quot;%1&quot; зашифрован. Введите пароль:</source>
        <translation>The archive &quot;%1&quot; is encrypted. Enter its password:</translation>
    </message>
    <message>
        <source>Архив будет содержать пароли и куки в открытом виде и уйдёт в &quot;%1&quot;: их прочтёт любой, кто может читать это хранилище. Отправить его без шифрования?</source>
        <translation>The archive will hold passwords and cookies unencrypted and go to &quot;%1&quot;: anyone who can read that storage can read them. Send it unencrypted?</translation>
    </message>
    <message>
        <source>Архив записан: %1</source>
        <translation>Archive written: %1</translation>
    </message>
    <message>
        <source>Данные восстановлены в: %1</source>
        <translation>Data restored into: %1</translation>
    </message>
</context>
<context>
    <name>vellarion::cli</name>
    <message>
        <source>Остановка пришла, когда работа была уже сделана: она завершена.</source>
        <translation>The stop came when the work was already done: it has been completed.</translation>
    </message>
    <message>
        <source>Готово, но не полностью: названное выше не сохранено.</source>
        <translation>done, but incomplete: what is named above was not backed up</translation>
    </message>
</context>
<context>
    <name>vellarion::cli::JobOutput</name>
    <message>
        <source>%1 держит %2; --wait ждёт, пока он его отпустит.</source>
        <translation>%1 holds %2; --wait waits until it lets go of it.</translation>
    </message>
    <message>
        <source>%1 держит %2: ожидание, пока он его отпустит…</source>
        <translation>%1 holds %2: waiting until it lets go of it…</translation>
    </message>
    <message>
        <source>С папкой %1 работает другое задание программы: ожидание его конца.</source>
        <translation>Another job of this program is working on the folder %1: waiting for it to end.</translation>
    </message>
</context>
</TS>
