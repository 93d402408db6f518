<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Благодарности</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Сборка: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Версия Qt: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>Не удалось записать файл.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>Экспорт остановлен до завершения; файл остался без изменений.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>Подсчёт удаляемых объектов...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Удаление...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Удаление... %1 из %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>Удалить папку «%1» со всем содержимым безвозвратно?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Удалить «%1» безвозвратно?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Удалить %n объект безвозвратно?</numerusform>
            <numerusform>Удалить эти %n объекта безвозвратно?</numerusform>
            <numerusform>Удалить эти %n объектов безвозвратно?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln файл</numerusform>
            <numerusform>%Ln файла</numerusform>
            <numerusform>%Ln файлов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln папка</numerusform>
            <numerusform>%Ln папки</numerusform>
            <numerusform>%Ln папок</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>В ней %1 и %2 (%3); они будут удалены вместе с ней.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>Папки среди них удаляются со всем содержимым: всего %1 и %2 (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Некоторые папки не удалось прочитать, поэтому объектов может быть больше.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Ничего не попадает в корзину: это действие нельзя отменить.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>Удаление остановлено.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>Удалить всё не удалось.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Удалено: %Ln файл</numerusform>
            <numerusform>Удалено: %Ln файла</numerusform>
            <numerusform>Удалено: %Ln файлов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln папка.</numerusform>
            <numerusform>%Ln папки.</numerusform>
            <numerusform>%Ln папок.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>Не удалено:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... и ещё %n.</numerusform>
            <numerusform>... и ещё %n.</numerusform>
            <numerusform>... и ещё %n.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Осталось:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>Выражение не закончено</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>Регулярное выражение %1 неверно: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>«%1»</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 идёт после %2 без «and» или «or» между ними</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 идёт после %2 без слова между ними</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>Перед %1 нет слова</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>Скобки пусты</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 не закрывает ни одной «(»</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>После %1 нет слова</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>Эта «(» не закрыта</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>«!» ничего не исключает: напишите после него исключаемые слова</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>Свойства: %1</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Свойства</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Имя:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Папка:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Тип:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Файл не существует.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Символическая ссылка</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Размер:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Цель ссылки:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Изменён:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Открыт:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Владелец:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Права:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Разные папки</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Объектов:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>Размер файлов:</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1 (%2 байт)</numerusform>
            <numerusform>%1 (%2 байта)</numerusform>
            <numerusform>%1 (%2 байт)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n байт</numerusform>
            <numerusform>%n байта</numerusform>
            <numerusform>%n байт</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileTable</name>
    <message>
        <source>B</source>
        <comment>Bytes (short)</comment>
        <translation>Б</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>КБ</translation>
    </message>
    <message>
        <source>The name must not be empty.</source>
        <translation>Имя не может быть пустым.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>«%1» нельзя использовать как имя.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>Имя не может содержать «/».</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>«%1» уже существует.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>Не удалось переименовать «%1»: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Переименовать</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Путь</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Создан</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Изменён</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Открыт</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Совпадения</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Сортировка</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>Чтобы отсортировать %n объект по этому столбцу, сначала с диска читаются его данные. На медленном или сетевом диске это может занять время.

Сортировать сейчас?</numerusform>
            <numerusform>Чтобы отсортировать %n объекта по этому столбцу, сначала с диска читаются их данные. На медленном или сетевом диске это может занять время.

Сортировать сейчас?</numerusform>
            <numerusform>Чтобы отсортировать %n объектов по этому столбцу, сначала с диска читаются их данные. На медленном или сетевом диске это может занять время.

Сортировать сейчас?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>Не удалось выполнить команду.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>Все</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Папки</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Документы</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Программы</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Изображения</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Музыка</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Видео</translation>
    </message>
</context>
<context>
    <name>FilterListModel</name>
    <message>
        <source>Filter for %1</source>
        <translation>Фильтр для %1</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Фильтр Office Open XML</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>Фильтр OpenDocument</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>Фильтр HTML и XML</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Фильтр Word 97-2003 и RTF</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Фильтр Excel 97-2003</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>Фильтр PowerPoint 97-2003</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Tallowquist</source>
        <translation>Tallowquist</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Вид</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Сервис</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Язык</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Спр&amp;авка</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Панель инструментов</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Быстрый поиск</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Параметры...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Новый поиск</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>&amp;Закрыть вкладку</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>&amp;Следующая вкладка</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>&amp;Предыдущая вкладка</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Выход</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;О программе</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Вырезать</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Удалить</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Выделить &amp;всё</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Копировать &amp;имя</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>Копировать &amp;полное имя</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Руководство</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>Параметры &amp;поиска</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>Копировать п&amp;уть</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>Копировать п&amp;уть</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Восстановить</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Восстановить окно</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Свернуть</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>&amp;Экспорт результатов...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>Панель &amp;фильтров</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>&amp;Быстрый поиск</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Копия поиска</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Панель инструментов</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Параметры поиска</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Индекс: отключён</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Индекс: готов</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Индекс: обновление...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>Новый поиск</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 продолжает работу.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>Не удалось открыть руководство %1.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Экспорт результатов</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Значения через запятую</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>Нет индекса: вашей учётной записи нельзя запускать программу с правами root.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>Чтобы он появился, администратор может добавить вашу учётную запись в группу sudo (или wheel, или admin).</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>Нет индекса: запрос пароля закрыт или пароль не принят.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>Чтобы он появился, запустите программу снова и введите пароль. Администратор может также выполнить «tallowquist-pro -enable-skip-uac» от имени root, чтобы администраторы запускали её без пароля.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>Нет индекса: программу не удалось запустить с правами root (причина в журнале).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>Чтобы он появился, запустите программу снова; для запроса пароля нужен работающий агент polkit.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Каждый поиск обходит заданные папки.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Показано только первое %n совпадение.</numerusform>
            <numerusform>Показаны только первые %n совпадения.</numerusform>
            <numerusform>Показаны только первые %n совпадений.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Путь</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Индекс</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>Фильтры файлов</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Искать в %1...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Выберите папку базы данных файлов.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>Путь к базе данных файлов должен быть полным и начинаться с «/».</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>Новая папка базы данных не должна находиться внутри старой (%1) или содержать её.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>запуск при входе</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>фильтры файлов</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>Не удалось применить параметры: %1. Причина указана в файле журнала.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>контекстное меню папок</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>удаление старой базы данных файлов</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>настройки индекса</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Очистить историю поиска</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>Очистить историю поиска?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>Путь к базе данных файлов</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Том</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Число объектов</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>Индексирование недоступно, когда %1 работает без прав root.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>запуск без запроса пароля</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>Команда для папок не изменена: нужны права root, а пароль не введён или не принят.

Чтобы изменить её, снова отметьте флажок и введите пароль или попросите администратора выполнить «%1» от имени root.</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>Команда для папок не изменена: программу не удалось запустить с правами root (нужны pkexec и запрос пароля).

Администратор может выполнить «%1» от имени root.</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>Не удалось изменить команду для папок; причина в журнале.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>Не удаётся получить список томов; причина указана в журнале.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Встроенные</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Вспомогательная программа</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>Фильтры документов, установленные с программой.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Запускать при входе в систему</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Работать в фоне</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Добавить в контекстное меню папок</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Сохранять поиски всех вкладок при выходе</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Очистить историю поиска</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>Запускать без запроса пароля</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>Путь к базе данных файлов:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Обзор...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Исключённые пути:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Убрать</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Автоматически индексировать новые постоянные тома</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Автоматически индексировать новые съёмные тома</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Индексировать тома:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Чтение томов...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>Расширение</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>Фильтр</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Отключить фильтр</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Включить фильтры</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Поиск по содержимому</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>Определять кодировку файлов без BOM</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Пропускать двоичные файлы при поиске</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Встроенный конвертер PDF</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>Новая вкладка</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Копия</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Закрыть другие вкладки</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Вырезать</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Удалить</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Свойства</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Открыть</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Открыть в %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Открыть папку с файлом</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Копировать полное имя</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Да</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Нет</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Параметры поиска</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Имя файла:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Тип выражения:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Подстрока</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Слово целиком</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Рег. выражение</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Логическое</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Учитывать регистр</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>В папке</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Включая подпапки</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>В содержимом</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Область:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Строка</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Изменён между</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Размер от и до</translation>
    </message>
    <message>
        <source>B</source>
        <translation>Б</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>КБ</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>МБ</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>ГБ</translation>
    </message>
    <message>
        <source>Show advanced options</source>
        <translation>Дополнительные параметры</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Текст для поиска</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Готово</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Имена файлов</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Искать имена:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Исключить имена:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Текст для поиска</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Здесь задаётся текст для поиска в содержимом файлов.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Каждый текст — на отдельной строке.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Искать текст:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Исключить текст:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Здесь задаются имена файлов для поиска.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Каждое имя файла — на отдельной строке.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Имя файла подходит, если соответствует хотя бы одному выражению списка включения и ни одному из списка исключения.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Файл подходит, если его строка соответствует хотя бы одному выражению списка включения и ни одному из списка исключения.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Папки</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Искать в папках:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Обзор...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Исключить папки:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Здесь задаются папки для поиска.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Каждый путь к папке — на отдельной строке.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>Файл подходит, если он находится в одной из включённых папок и ни в одной из исключённых.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Ни одно приложение не смогло открыть «%1».</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>Не удалось запустить %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>Не удалось удалить «%1».</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>Не удалось открыть папку «%1».</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Удалить «%1» безвозвратно?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Удалить %n объект безвозвратно?</numerusform>
            <numerusform>Удалить эти %n объекта безвозвратно?</numerusform>
            <numerusform>Удалить эти %n объектов безвозвратно?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[Показаны только первые %1 МиБ этого файла размером %2 МиБ.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Перенос строк</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Строка целиком</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>Новый поиск</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Совпадения</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Подстрока</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Слово целиком</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Рег. выражение</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Логическое</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Учитывать регистр</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Сортировка... %1%</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Экспорт результатов</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>Не удалось записать результаты в «%1»:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Поиск...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Ошибка в имени файла, символ %1: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Ошибка в тексте для поиска, символ %1: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Ошибка в имени файла: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Ошибка в тексте для поиска: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>Поиск отменён. Найден %n объект</numerusform>
            <numerusform>Поиск отменён. Найдено %n объекта</numerusform>
            <numerusform>Поиск отменён. Найдено %n объектов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Найден %n объект за %1 с</numerusform>
            <numerusform>Найдено %n объекта за %1 с</numerusform>
            <numerusform>Найдено %n объектов за %1 с</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>Папка «%1» не существует.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>Эти папки не существуют: %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>«%1»</translation>
    </message>
</context>
<context>
    <name>VolumeStateText</name>
    <message>
        <source>not chosen for indexing</source>
        <translation>не выбран для индексирования</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>файловую систему нельзя отслеживать целиком</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>подтом btrfs нельзя отслеживать целиком</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>у %1 нет постоянных номеров файлов</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>корень overlay нельзя отслеживать</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>у другого тома тот же серийный номер</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>его серийный номер не читается</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Проиндексирован</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Обновляется...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Загружается...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Обходится: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Сбой: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Поиск обходом:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>сбой %1</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>сбой %n тома</numerusform>
            <numerusform>сбой %n томов</numerusform>
            <numerusform>сбой %n томов</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n том обходится</numerusform>
            <numerusform>%n тома обходятся</numerusform>
            <numerusform>%n томов обходятся</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Индекс: готов (%1)</translation>
    </message>
</context>
</TS>
