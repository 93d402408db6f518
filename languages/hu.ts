<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Névjegy</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Bezárás</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Köszönetnyilvánítás</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Fordítva: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Qt-verzió: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>A fájlt nem sikerült írni.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>Az exportálás a befejezés előtt leállt; a fájl változatlan maradt.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>A törlendő elemek megszámlálása...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Törlés</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Törlés...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Törlés... %1 / %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>Biztosan véglegesen törli a(z) „%1” mappát a teljes tartalmával együtt?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Biztosan véglegesen törli ezt: „%1”?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Biztosan véglegesen törli ezt a(z) %n elemet?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln fájl</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln mappa</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>%1 és %2 (%3) van benne, ezek is törlődnek.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>A köztük lévő mappák teljes tartalmukkal törlődnek: összesen %1 és %2 (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Néhány mappát nem sikerült olvasni, így több is lehet.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Semmi sem kerül a kukába: ez nem vonható vissza.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>A törlés leállt.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>Nem sikerült mindent törölni.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Törölve: %Ln fájl</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln mappa.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>Nem törölve:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... és még %n.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Még megvan:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>A kifejezés nem teljes</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>A(z) %1 reguláris kifejezés érvénytelen: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1”</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 követi ezt: %2, köztük nincs „and” vagy „or”</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 követi ezt: %2, köztük nincs szó</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>%1 előtt nincs szó</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>A zárójelek üresek</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 nem zár le „(” jelet</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>%1 után nincs szó</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>Ez a „(” nincs lezárva</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>A „!” semmit sem zár ki: írja utána a kihagyandó szavakat</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>%1 tulajdonságai</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Tulajdonságok</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Név:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Mappa:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Típus:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>A fájl nem létezik.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Szimbolikus link</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Méret:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Link célja:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Módosítva:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Utolsó hozzáférés:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Tulajdonos:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Jogosultságok:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Különböző mappák</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Elemek:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>A fájlok mérete:</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1 (%2 bájt)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n bájt</numerusform>
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
        <translation>A név nem lehet üres.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>„%1” nem lehet név.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>A név nem tartalmazhat „/” jelet.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>„%1” már létezik.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>„%1” átnevezése nem sikerült: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Átnevezés</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>Név</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Útvonal</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Méret</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Létrehozva</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Módosítva</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Utolsó hozzáférés</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Típus</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Találatok</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Rendezés</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>%n elem e szerint az oszlop szerint való rendezéséhez előbb be kell olvasni az adataikat a lemezről. Lassú vagy hálózati lemezen ez eltarthat egy ideig.

Rendezi most?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>A parancsot nem sikerült végrehajtani.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>Mind</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Mappa</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Dokumentum</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Kép</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Zene</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Videó</translation>
    </message>
</context>
<context>
    <name>FilterListModel</name>
    <message>
        <source>Filter for %1</source>
        <translation>Szűrő ehhez: %1</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Office Open XML-szűrő</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>OpenDocument-szűrő</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>HTML- és XML-szűrő</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Word 97-2003- és RTF-szűrő</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Excel 97-2003-szűrő</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>PowerPoint 97-2003-szűrő</translation>
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
        <translation>&amp;Fájl</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Szerkesztés</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Nézet</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Eszközök</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>N&amp;yelv</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Súgó</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Eszköztár</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Azonnali keresés</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Beállítások...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Új keresés</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>Lap &amp;bezárása</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>&amp;Következő lap</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>&amp;Előző lap</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Kilépés</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Névjegy</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Kivágás</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Másolás</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Törlés</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Összes kijelölése</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>&amp;Név másolása</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>&amp;Teljes név másolása</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>Ké&amp;zikönyv</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>Keresési &amp;paraméterek</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>Út&amp;vonal másolása</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>Út&amp;vonal másolása</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Visszaállítás</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Ablak visszaállítása</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Kis méret</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>Eredmények &amp;exportálása...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>&amp;Szűrősáv</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>&amp;Azonnali keresés</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Keresés másolása</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Eszköztár</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Keresési paraméterek</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Index: kikapcsolva</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Index: kész</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Index: frissítés...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>Új keresés</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>A(z) %1 tovább fut.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>A(z) %1 kézikönyvet nem sikerült megnyitni.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Eredmények exportálása</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Vesszővel tagolt</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>Nincs index: a fiókja nem indíthatja a programot root jogokkal.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>Ehhez egy rendszergazda felveheti a fiókját a sudo (vagy wheel, vagy admin) csoportba.</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>Nincs index: a jelszókérést bezárták, vagy a jelszót nem fogadta el a rendszer.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>Ehhez indítsa újra a programot, és adja meg a jelszavát. Egy rendszergazda root-ként a „tallowquist-pro -enable-skip-uac” parancsot is futtathatja, hogy a rendszergazdák jelszó nélkül indíthassák.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>Nincs index: a programot nem sikerült root jogokkal elindítani (az ok a naplóban).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>Ehhez indítsa újra a programot; a jelszókéréshez futó polkit-ügynök kell.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Minden keresés bejárja a megadott mappákat.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Csak az első %n találat látható.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Bezárás</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Beállítások</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Útvonal</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Általános</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Indexelés</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Keresés</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>Fájlszűrők</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Keresés ezzel: %1...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Válassza ki a fájladatbázis mappáját.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>A fájladatbázis útvonalának teljesnek kell lennie, „/” jellel kezdve.</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>Az új adatbázismappa nem lehet a régiben (%1), és nem is tartalmazhatja azt.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>indítás bejelentkezéskor</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>a fájlszűrők</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>Ezeket a beállításokat nem sikerült alkalmazni: %1. Az okot a naplófájl tartalmazza.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>a mappák helyi menüje</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>a régi fájladatbázis eltávolítása</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>az index beállításai</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Keresési előzmények törlése</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>Biztosan törli a keresési előzményeket?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>Fájladatbázis útvonala</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Kötet</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Objektumok száma</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>Az indexelés nem érhető el, ha a(z) %1 root jogok nélkül fut.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>indítás jelszókérés nélkül</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>A mappaparancs nem változott: ehhez root jogok kellenek, és a jelszót nem adták meg, vagy nem fogadta el a rendszer.

A módosításhoz jelölje be újra a négyzetet, és adja meg a jelszót, vagy kérjen meg egy rendszergazdát, hogy root-ként futtassa ezt: „%1”.</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>A mappaparancs nem változott: a programot nem sikerült root jogokkal elindítani (pkexec és jelszókérés szükséges).

Egy rendszergazda root-ként futtathatja ezt: „%1”.</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>A mappaparancsot nem sikerült módosítani; az ok a naplóban.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>A kötetek nem listázhatók; az ok a naplófájlban olvasható.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Állapot</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Beépített</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Segédprogram</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>A programmal telepített dokumentumszűrők.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Indítás bejelentkezéskor</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Futás a háttérben</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Beépülés a mappák helyi menüjébe</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Kilépéskor minden lap keresésének mentése</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Keresési előzmények törlése</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>Indítás jelszókérés nélkül</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>Fájladatbázis útvonala:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Tallózás...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Kihagyott útvonalak:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hozzáadás</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Eltávolítás</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Új fix kötetek automatikus indexelése</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Új cserélhető kötetek automatikus indexelése</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Ezen kötetek indexelése:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Kötetek beolvasása...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>Kiterjesztés</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>Szűrő neve</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Szűrő kikapcsolása</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Szűrők bekapcsolása</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Keresés a tartalomban</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>BOM nélküli fájlok kódolásának felismerése</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Bináris fájlok kihagyása a tartalomkeresésből</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Beépített PDF-átalakító használata</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>Új lap</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Másolat</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Bezárás</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Többi lap bezárása</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Kivágás</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Másolás</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Törlés</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Tulajdonságok</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Megnyitás</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Megnyitás ezzel: %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Fájl helyének megnyitása</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Teljes név másolása</translation>
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
        <translation>Mégse</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Igen</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nem</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Bezárás</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Mentés</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Megnyitás</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Alkalmaz</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Keresési paraméterek</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Fájlnév:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Kifejezés típusa:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Részlet</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Egész szó</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Logikai</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Kis- és nagybetű</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>Mappában</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Almappákkal</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>Tartalomban</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Hatókör:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fájl</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Sor</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Módosítás dátuma</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Mérettartomány</translation>
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
        <translation>Speciális beállítások</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Keresés</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Tartalomszöveg kiválasztása</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Mégse</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Kész</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Fájlnevek kiválasztása</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Keresett fájlnevek:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Kihagyott fájlnevek:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Tartalomszöveg kiválasztása</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Itt adhatja meg, milyen szöveget keressen a fájlok tartalmában.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Minden szöveget külön sorba írjon.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Keresett szöveg:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Kihagyott szöveg:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Itt adhatja meg, milyen fájlneveket keressen.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Minden fájlnevet külön sorba írjon.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Egy fájlnév akkor felel meg, ha legalább egy keresett kifejezésre illeszkedik, és egyik kihagyottra sem.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Egy fájl akkor felel meg, ha egy sora legalább egy keresett kifejezésre illeszkedik, és egyik kihagyottra sem.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Mappák kiválasztása</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Keresett mappák:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Tallózás...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Kihagyott mappák:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Itt adhatja meg, mely mappákban keressen.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Minden mappa útvonalát külön sorba írja.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>Egy fájl akkor felel meg, ha valamelyik keresett mappában van, és egyik kihagyott mappában sem.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Egy alkalmazás sem tudta megnyitni ezt: „%1”.</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>A(z) %1 nem indítható.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>„%1” nem törölhető.</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>„%1” mappája nem nyitható meg.</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Biztosan véglegesen törli ezt: „%1”?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Törlés</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Biztosan véglegesen törli ezt a(z) %n elemet?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[A %2 MiB-os fájlnak csak az első %1 MiB-ja látható.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Sortörés</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Teljes sor</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>Új keresés</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Találatok</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fájl</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Részlet</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Egész szó</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Logikai</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Kis- és nagybetű</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Rendezés... %1%</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Eredmények exportálása</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>Az eredményeket nem sikerült ide írni: „%1”:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Keresés...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Hiba a fájlnévben a(z) %1. karakternél: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Hiba a tartalomszövegben a(z) %1. karakternél: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Hiba a fájlnévben: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Hiba a tartalomszövegben: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>A keresés megszakítva. Találat: %n objektum</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Találat: %n objektum %1 mp alatt</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>A(z) „%1” mappa nem létezik.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>Ezek a mappák nem léteznek: %1.</translation>
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
        <translation>nincs kijelölve indexelésre</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>a fájlrendszer nem figyelhető egészében</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>btrfs alkötet nem figyelhető egészében</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>a(z) %1 nem ad állandó fájlszámokat</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>overlay gyökér nem figyelhető</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>egy másik kötetnek ugyanez a sorozatszáma</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>a sorozatszáma nem olvasható</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Indexelve</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Frissítés...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Betöltés...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Bejárva: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Sikertelen: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Bejárással keresve:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 sikertelen</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n kötet sikertelen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n kötet bejárva</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Index: kész (%1)</translation>
    </message>
</context>
</TS>
