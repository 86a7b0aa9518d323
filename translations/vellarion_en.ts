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
</context>
<context>
    <name>vellarion::DirectoryEdit</name>
    <message>
        <source>Choose a folder</source>
        <translation>Choose a folder</translation>
    </message>
</context>
</TS>
