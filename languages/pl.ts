<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>O programie</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Podziękowania</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Kompilacja: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Wersja Qt: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>Nie udało się zapisać pliku.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>Eksport przerwano przed końcem; plik pozostał bez zmian.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>Liczenie elementów do usunięcia...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Usuwanie...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Usuwanie... %1 z %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>Czy na pewno trwale usunąć folder „%1” wraz z całą zawartością?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Czy na pewno trwale usunąć „%1”?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Czy na pewno trwale usunąć %n element?</numerusform>
            <numerusform>Czy na pewno trwale usunąć te %n elementy?</numerusform>
            <numerusform>Czy na pewno trwale usunąć tych %n elementów?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln plik</numerusform>
            <numerusform>%Ln pliki</numerusform>
            <numerusform>%Ln plików</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln folder</numerusform>
            <numerusform>%Ln foldery</numerusform>
            <numerusform>%Ln folderów</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>Zawiera %1 i %2 (%3), które zostaną usunięte razem z nim.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>Foldery zostaną usunięte z całą zawartością: łącznie %1 i %2 (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Niektórych folderów nie udało się odczytać, więc może być ich więcej.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Nic nie trafia do kosza: tej operacji nie można cofnąć.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>Usuwanie przerwano.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>Nie udało się usunąć wszystkiego.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Usunięto: %Ln plik</numerusform>
            <numerusform>Usunięto: %Ln pliki</numerusform>
            <numerusform>Usunięto: %Ln plików</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln folder.</numerusform>
            <numerusform>%Ln foldery.</numerusform>
            <numerusform>%Ln folderów.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>Nie usunięto:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... i %n więcej.</numerusform>
            <numerusform>... i %n więcej.</numerusform>
            <numerusform>... i %n więcej.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Nadal istnieje:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>Wyrażenie jest niepełne</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>Wyrażenie regularne %1 jest nieprawidłowe: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1”</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 następuje po %2 bez „and” ani „or” pomiędzy</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 następuje po %2 bez słowa pomiędzy</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>Przed %1 nie ma słowa</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>Nawiasy są puste</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 nie zamyka żadnego „(”</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>Po %1 nie ma słowa</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>Ten „(” nie jest nigdzie zamknięty</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>„!” niczego nie wyklucza: wpisz po nim słowa do pominięcia</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>Właściwości: %1</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Właściwości</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nazwa:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Plik nie istnieje.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Dowiązanie symboliczne</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Rozmiar:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Cel dowiązania:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Zmodyfikowano:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Ostatni dostęp:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Właściciel:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Uprawnienia:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Różne foldery</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Elementy:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>Rozmiar plików:</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1 (%2 bajt)</numerusform>
            <numerusform>%1 (%2 bajty)</numerusform>
            <numerusform>%1 (%2 bajtów)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n bajt</numerusform>
            <numerusform>%n bajty</numerusform>
            <numerusform>%n bajtów</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileTable</name>
    <message>
        <source>B</source>
        <comment>Bytes (short)</comment>
        <translation>B</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>The name must not be empty.</source>
        <translation>Nazwa nie może być pusta.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>„%1” nie może być nazwą.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>Nazwa nie może zawierać „/”.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>„%1” już istnieje.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>Nie udało się zmienić nazwy „%1”: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Zmień nazwę</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Ścieżka</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Rozmiar</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Utworzono</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Zmodyfikowano</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Ostatni dostęp</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Trafienia</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Sortowanie</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>Aby posortować %n element według tej kolumny, najpierw trzeba odczytać jego dane z dysku. Na wolnym lub sieciowym dysku może to potrwać.

Sortować teraz?</numerusform>
            <numerusform>Aby posortować %n elementy według tej kolumny, najpierw trzeba odczytać ich dane z dysku. Na wolnym lub sieciowym dysku może to potrwać.

Sortować teraz?</numerusform>
            <numerusform>Aby posortować %n elementów według tej kolumny, najpierw trzeba odczytać ich dane z dysku. Na wolnym lub sieciowym dysku może to potrwać.

Sortować teraz?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>Nie udało się wykonać polecenia.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>Wszystko</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Foldery</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Dokumenty</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Programy</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Obrazy</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Muzyka</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Wideo</translation>
    </message>
</context>
<context>
    <name>FilterListModel</name>
    <message>
        <source>Filter for %1</source>
        <translation>Filtr dla %1</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Filtr Office Open XML</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>Filtr OpenDocument</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>Filtr HTML i XML</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Filtr Word 97-2003 i RTF</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Filtr Excel 97-2003</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>Filtr PowerPoint 97-2003</translation>
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
        <translation>&amp;Plik</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edycja</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Widok</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Narzędzia</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Język</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Pomo&amp;c</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Pasek narzędzi</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Szybkie wyszukiwanie</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Opcje...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Nowe wyszukiwanie</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>&amp;Zamknij kartę</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>&amp;Następna karta</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>&amp;Poprzednia karta</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Zakończ</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;O programie</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Wytnij</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiuj</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Usuń</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Zaznacz &amp;wszystko</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Kopiuj &amp;nazwę</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>Kopiuj pełną n&amp;azwę</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Podręcznik</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>Parametry &amp;wyszukiwania</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>Kopiuj ś&amp;cieżkę</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>Kopiuj ś&amp;cieżkę</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Przywróć</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Przywróć okno</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimalizuj</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>&amp;Eksportuj wyniki...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>Pasek &amp;filtrów</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>&amp;Szybkie wyszukiwanie</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Powiel wyszukiwanie</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Pasek narzędzi</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Parametry wyszukiwania</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Indeks: wyłączony</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Indeks: gotowy</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Indeks: aktualizacja...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>Nowe wyszukiwanie</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 nadal działa.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>Nie udało się otworzyć podręcznika %1.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Eksportuj wyniki</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Rozdzielane przecinkami</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>Brak indeksu: Twoje konto nie może uruchamiać programu z uprawnieniami roota.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>Aby go mieć, administrator może dodać Twoje konto do grupy sudo (albo wheel, albo admin).</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>Brak indeksu: okno pytania o hasło zamknięto lub hasła nie przyjęto.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>Aby go mieć, uruchom program ponownie i wpisz hasło. Administrator może też uruchomić jako root „tallowquist-pro -enable-skip-uac”, aby administratorzy uruchamiali go bez hasła.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>Brak indeksu: nie udało się uruchomić programu z uprawnieniami roota (przyczynę podaje dziennik).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>Aby go mieć, uruchom program ponownie; pytanie o hasło wymaga działającego agenta polkit.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Każde wyszukiwanie przechodzi przez podane foldery.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Pokazano tylko pierwsze trafienie.</numerusform>
            <numerusform>Pokazano tylko pierwsze %n trafienia.</numerusform>
            <numerusform>Pokazano tylko pierwszych %n trafień.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Opcje</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Ścieżka</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Ogólne</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Indeksowanie</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Wyszukiwanie</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>Filtry plików</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Szukaj w %1...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Wybierz folder bazy danych plików.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>Ścieżka bazy danych plików musi być pełna i zaczynać się od „/”.</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>Nowy folder bazy danych nie może leżeć w starym (%1) ani go zawierać.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>uruchamianie po zalogowaniu</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>filtry plików</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>Nie udało się zastosować opcji: %1. Przyczynę podaje plik dziennika.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>menu kontekstowe folderów</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>usuwanie starej bazy danych plików</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>ustawienia indeksu</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Wyczyść historię</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>Czy na pewno wyczyścić historię wyszukiwania?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>Ścieżka bazy danych plików</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Wolumin</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Liczba obiektów</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>Indeksowanie jest niedostępne, gdy %1 działa bez uprawnień roota.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>uruchamianie bez pytania o hasło</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>Polecenie folderów nie zostało zmienione: wymaga uprawnień roota, a hasła nie podano lub nie zostało przyjęte.

Aby je zmienić, zaznacz pole ponownie i wpisz hasło albo poproś administratora o uruchomienie jako root „%1”.</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>Polecenie folderów nie zostało zmienione: nie udało się uruchomić programu z uprawnieniami roota (potrzebne są pkexec i pytanie o hasło).

Administrator może uruchomić jako root „%1”.</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>Nie udało się zmienić polecenia folderów; przyczynę podaje dziennik.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>Nie można wyświetlić woluminów; przyczyna jest w pliku dziennika.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stan</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Wbudowane</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Program pomocniczy</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>Filtry dokumentów zainstalowane z tym programem.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Uruchamiaj po zalogowaniu</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Działaj w tle</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Dodaj do menu kontekstowego folderów</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Przy zamykaniu zapisz wyszukiwania ze wszystkich kart</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Wyczyść historię</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>Uruchamiaj bez pytania o hasło</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>Ścieżka bazy danych plików:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Przeglądaj...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Pomijane ścieżki:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Dodaj</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Automatycznie indeksuj nowe woluminy stałe</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Automatycznie indeksuj nowe woluminy wymienne</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Indeksuj te woluminy:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Odczytywanie woluminów...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>Rozszerzenie</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>Nazwa filtru</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Wyłącz filtr</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Włącz filtry</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Wyszukiwanie w treści</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>Wykrywaj kodowanie plików bez BOM</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Pomijaj pliki binarne przy szukaniu w treści</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Używaj wbudowanego konwertera PDF</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>Nowa karta</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Powiel</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Zamknij pozostałe karty</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Wytnij</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiuj</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Usuń</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Właściwości</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Otwórz</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Otwórz w %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Otwórz lokalizację pliku</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Kopiuj pełną nazwę</translation>
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
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Tak</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nie</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otwórz</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Zastosuj</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Parametry wyszukiwania</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Nazwa pliku:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Rodzaj wyrażenia:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Fragment</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Całe słowo</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Logiczne</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Uwzględniaj wielkość liter</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>W folderze</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Z podfolderami</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>W treści</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Zakres:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Plik</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Wiersz</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Zmodyfikowano między</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Rozmiar od-do</translation>
    </message>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>GB</translation>
    </message>
    <message>
        <source>Show advanced options</source>
        <translation>Opcje zaawansowane</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Szukaj</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Wybierz tekst treści</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Gotowe</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Wybierz nazwy plików</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Uwzględnij nazwy plików:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Pomiń nazwy plików:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Wybierz tekst treści</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Tu określasz, jakiego tekstu szukać w treści plików.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Każdy tekst wpisz w osobnym wierszu.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Uwzględnij tekst:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Pomiń tekst:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Tu określasz, jakich nazw plików szukać.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Każdą nazwę pliku wpisz w osobnym wierszu.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Nazwa pliku spełnia warunki, jeśli pasuje do co najmniej jednego wyrażenia z listy uwzględnianych i do żadnego z listy pomijanych.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Plik spełnia warunki, jeśli jego wiersz pasuje do co najmniej jednego wyrażenia z listy uwzględnianych i do żadnego z listy pomijanych.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Wybierz foldery</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Uwzględnij foldery:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Przeglądaj...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Pomiń foldery:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Tu określasz, w których folderach szukać.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Każdą ścieżkę folderu wpisz w osobnym wierszu.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>Plik spełnia warunki, jeśli leży w jednym z uwzględnianych folderów i w żadnym z pomijanych.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Żaden program nie mógł otworzyć „%1”.</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>Nie udało się uruchomić %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>Nie udało się usunąć „%1”.</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>Nie udało się otworzyć folderu „%1”.</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Czy na pewno trwale usunąć „%1”?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Usuń</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Czy na pewno trwale usunąć %n element?</numerusform>
            <numerusform>Czy na pewno trwale usunąć te %n elementy?</numerusform>
            <numerusform>Czy na pewno trwale usunąć tych %n elementów?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[Pokazano tylko pierwsze %1 MiB z %2 MiB tego pliku.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Zawijanie wierszy</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Cały wiersz</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>Nowe wyszukiwanie</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Trafienia</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Plik</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Fragment</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Całe słowo</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Logiczne</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Uwzględniaj wielkość liter</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Sortowanie... %1%</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Eksportuj wyniki</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>Nie udało się zapisać wyników do „%1”:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Wyszukiwanie...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Błąd w nazwie pliku przy znaku %1: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Błąd w tekście treści przy znaku %1: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Błąd w nazwie pliku: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Błąd w tekście treści: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>Wyszukiwanie anulowane. Znaleziono: %n obiekt</numerusform>
            <numerusform>Wyszukiwanie anulowane. Znaleziono: %n obiekty</numerusform>
            <numerusform>Wyszukiwanie anulowane. Znaleziono: %n obiektów</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Znaleziono: %n obiekt w %1 s</numerusform>
            <numerusform>Znaleziono: %n obiekty w %1 s</numerusform>
            <numerusform>Znaleziono: %n obiektów w %1 s</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>Folder „%1” nie istnieje.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>Te foldery nie istnieją: %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1”</translation>
    </message>
</context>
<context>
    <name>VolumeStateText</name>
    <message>
        <source>not chosen for indexing</source>
        <translation>nie wybrano do indeksowania</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>systemu plików nie można obserwować w całości</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>podwoluminu btrfs nie można obserwować w całości</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>%1 nie ma stałych numerów plików</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>katalogu głównego overlay nie można obserwować</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>inny wolumin ma ten sam numer seryjny</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>nie można odczytać jego numeru seryjnego</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Zindeksowany</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Aktualizowanie...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Wczytywanie...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Przeglądany: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Niepowodzenie: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Przeszukiwane przez przeglądanie:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1: niepowodzenie</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n wolumin: niepowodzenie</numerusform>
            <numerusform>%n woluminy: niepowodzenie</numerusform>
            <numerusform>%n woluminów: niepowodzenie</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n wolumin przeglądany</numerusform>
            <numerusform>%n woluminy przeglądane</numerusform>
            <numerusform>%n woluminów przeglądanych</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Indeks: gotowy (%1)</translation>
    </message>
</context>
</TS>
