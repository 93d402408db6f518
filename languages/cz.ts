<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="cs">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>O programu</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zavřít</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Poděkování</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Sestaveno: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Verze Qt: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>Soubor nelze zapsat.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>Export byl zastaven před dokončením; soubor zůstal beze změny.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>Počítají se položky ke smazání...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Smazat</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Mazání...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Mazání... %1 z %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>Opravdu chcete trvale smazat složku „%1“ i s celým obsahem?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Opravdu chcete trvale smazat „%1“?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Opravdu chcete trvale smazat tuto položku?</numerusform>
            <numerusform>Opravdu chcete trvale smazat tyto %n položky?</numerusform>
            <numerusform>Opravdu chcete trvale smazat těchto %n položek?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln soubor</numerusform>
            <numerusform>%Ln soubory</numerusform>
            <numerusform>%Ln souborů</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln složka</numerusform>
            <numerusform>%Ln složky</numerusform>
            <numerusform>%Ln složek</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>Obsahuje %1 a %2 (%3), které budou smazány s ní.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>Složky mezi nimi budou smazány i s obsahem: celkem %1 a %2 (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Některé složky nelze přečíst, takže jich může být víc.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Nic nejde do koše: tuto akci nelze vrátit.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>Mazání bylo zastaveno.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>Vše se smazat nepodařilo.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Smazáno: %Ln soubor</numerusform>
            <numerusform>Smazáno: %Ln soubory</numerusform>
            <numerusform>Smazáno: %Ln souborů</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln složka.</numerusform>
            <numerusform>%Ln složky.</numerusform>
            <numerusform>%Ln složek.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>Nesmazáno:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... a %n další.</numerusform>
            <numerusform>... a %n další.</numerusform>
            <numerusform>... a %n dalších.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Stále existuje:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>Výraz není úplný</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>Regulární výraz %1 není platný: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 následuje po %2 bez „and“ nebo „or“ mezi nimi</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 následuje po %2 bez slova mezi nimi</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>Před %1 není žádné slovo</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>Závorky jsou prázdné</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 neuzavírá žádnou „(“</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>Za %1 není žádné slovo</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>Tato „(“ není nikdy uzavřena</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>„!“ nic nevylučuje: slova k vynechání napište za něj</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>Vlastnosti %1</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Vlastnosti</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Název:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Složka:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Soubor neexistuje.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Symbolický odkaz</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Velikost:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Cíl odkazu:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Změněno:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Poslední přístup:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Vlastník:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Oprávnění:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Různé složky</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Položky:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>Velikost souborů:</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1 (%2 bajt)</numerusform>
            <numerusform>%1 (%2 bajty)</numerusform>
            <numerusform>%1 (%2 bajtů)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n bajt</numerusform>
            <numerusform>%n bajty</numerusform>
            <numerusform>%n bajtů</numerusform>
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
        <translation>kB</translation>
    </message>
    <message>
        <source>The name must not be empty.</source>
        <translation>Název nesmí být prázdný.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>„%1“ nelze použít jako název.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>Název nesmí obsahovat „/“.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>„%1“ již existuje.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>„%1“ nelze přejmenovat: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Přejmenovat</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>Název</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Cesta</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Velikost</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Vytvořeno</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Změněno</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Poslední přístup</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Shody</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Seřadit</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>K seřazení %n položky podle tohoto sloupce se nejprve z disku načtou její údaje. Na pomalém nebo síťovém disku to může chvíli trvat.

Seřadit nyní?</numerusform>
            <numerusform>K seřazení %n položek podle tohoto sloupce se nejprve z disku načtou jejich údaje. Na pomalém nebo síťovém disku to může chvíli trvat.

Seřadit nyní?</numerusform>
            <numerusform>K seřazení %n položek podle tohoto sloupce se nejprve z disku načtou jejich údaje. Na pomalém nebo síťovém disku to může chvíli trvat.

Seřadit nyní?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>Příkaz nelze provést.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>Vše</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Složka</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Dokument</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Spustitelný</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Obrázek</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Hudba</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Video</translation>
    </message>
</context>
<context>
    <name>FilterListModel</name>
    <message>
        <source>Filter for %1</source>
        <translation>Filtr pro %1</translation>
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
        <translation>Filtr HTML a XML</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Filtr Word 97-2003 a RTF</translation>
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
        <translation>&amp;Soubor</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>Úpr&amp;avy</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Zobrazit</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Nástroje</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Jazyk</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Nápo&amp;věda</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Panel nástrojů</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Okamžité hledání</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Možnosti...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Nové hledání</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>&amp;Zavřít kartu</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>&amp;Další karta</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>&amp;Předchozí karta</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Konec</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;O programu</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Vyj&amp;mout</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopírovat</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Smazat</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Vybrat &amp;vše</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Kopírovat &amp;název</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>Kopírovat &amp;celý název</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Příručka</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>Parametry &amp;hledání</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>Kopírovat &amp;cestu</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>Kopírovat &amp;cestu</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Obnovit</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Obnovit okno</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimalizovat</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>&amp;Exportovat výsledky...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>Panel &amp;filtrů</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>&amp;Okamžité hledání</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Zdvojit hledání</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Panel nástrojů</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Parametry hledání</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Index: vypnut</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Index: připraven</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Index: aktualizace...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>Nové hledání</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 stále běží.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>Příručku %1 nelze otevřít.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Exportovat výsledky</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Odděleno čárkami</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>Bez indexu: váš účet nesmí spustit program s právy root.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>Chcete-li ho mít, může správce přidat váš účet do skupiny sudo (nebo wheel či admin).</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>Bez indexu: dotaz na heslo byl zavřen nebo heslo nebylo přijato.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>Chcete-li ho mít, spusťte program znovu a zadejte heslo. Správce může také jako root spustit „tallowquist-pro -enable-skip-uac“, aby ho správci spouštěli bez hesla.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>Bez indexu: program nelze spustit s právy root (důvod je v protokolu).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>Chcete-li ho mít, spusťte program znovu; dotaz na heslo potřebuje běžícího agenta polkit.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Každé hledání prochází zadané složky.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Zobrazena je jen první shoda.</numerusform>
            <numerusform>Zobrazeny jsou jen první %n shody.</numerusform>
            <numerusform>Zobrazeno je jen prvních %n shod.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Zavřít</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Možnosti</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Cesta</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Obecné</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Indexování</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Hledání</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>Filtry souborů</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Hledat pomocí %1...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Zvolte složku databáze souborů.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>Cesta k databázi souborů musí být úplná a začínat „/“.</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>Nová složka databáze souborů nesmí ležet uvnitř staré (%1) ani ji obsahovat.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>spuštění po přihlášení</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>filtry souborů</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>Tyto možnosti nelze použít: %1. Důvod je v souboru protokolu.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>místní nabídka složek</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>odstranění staré databáze souborů</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>nastavení indexu</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Vymazat historii hledání</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>Opravdu chcete vymazat historii hledání?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>Cesta k databázi souborů</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Svazek</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Počet objektů</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>Indexování není k dispozici, když %1 běží bez práv root.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>spuštění bez dotazu na heslo</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>Příkaz pro složky nebyl změněn: vyžaduje práva root a heslo nebylo zadáno nebo přijato.

Chcete-li ho změnit, zaškrtněte políčko znovu a zadejte heslo, nebo požádejte správce, aby jako root spustil „%1“.</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>Příkaz pro složky nebyl změněn: program nelze spustit s právy root (je potřeba pkexec a dotaz na heslo).

Správce může jako root spustit „%1“.</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>Příkaz pro složky nelze změnit; důvod je v protokolu.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>Svazky nelze vypsat; důvod je v souboru protokolu.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stav</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Vestavěné</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Pomocný program</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>Filtry dokumentů nainstalované s tímto programem.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Spustit po přihlášení</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Běžet na pozadí</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Přidat do místní nabídky složek</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Při ukončení uložit hledání ve všech kartách</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Vymazat historii hledání</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>Spouštět bez dotazu na heslo</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>Cesta k databázi souborů:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Procházet...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Vynechané cesty:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Přidat</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Odebrat</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Automaticky indexovat nové pevné svazky</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Automaticky indexovat nové vyměnitelné svazky</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Indexovat tyto svazky:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Načítají se svazky...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>Přípona</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>Název filtru</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Vypnout filtr</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Zapnout filtry</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Hledání v obsahu</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>Rozpoznat kódování souborů bez BOM</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Při hledání v obsahu vynechat binární soubory</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Použít vestavěný převodník PDF</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>Nová karta</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Zdvojit</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zavřít</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Zavřít ostatní karty</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>Vyj&amp;mout</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopírovat</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Smazat</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Vlastnosti</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Otevřít</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Otevřít pomocí %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Otevřít umístění souboru</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Kopírovat celý název</translation>
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
        <translation>Zrušit</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ano</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Ne</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zavřít</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Uložit</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otevřít</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Použít</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Parametry hledání</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Název souboru:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Druh výrazu:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Podřetězec</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Celé slovo</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Logický</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Rozlišovat velikost písmen</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>Ve složce</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Včetně podsložek</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>V obsahu</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Rozsah:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Soubor</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Řádek</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Změněno mezi</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Velikost mezi</translation>
    </message>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>kB</translation>
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
        <translation>Zobrazit pokročilé možnosti</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Hledat</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Vybrat text obsahu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Zrušit</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Hotovo</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Vybrat názvy souborů</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Zahrnout názvy souborů:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Vynechat názvy souborů:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Vybrat text obsahu</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Zde určíte, jaký text hledat v obsahu souborů.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Každý text napište na samostatný řádek.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Zahrnout text:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Vynechat text:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Zde určíte, jaké názvy souborů hledat.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Každý název souboru napište na samostatný řádek.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Název souboru vyhovuje, když odpovídá alespoň jednomu výrazu ze seznamu zahrnutých a žádnému ze seznamu vynechaných.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Soubor vyhovuje, když jeho řádek odpovídá alespoň jednomu výrazu ze seznamu zahrnutých a žádnému ze seznamu vynechaných.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Vybrat složky</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Zahrnout složky:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Procházet...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Vynechat složky:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Zde určíte, ve kterých složkách hledat.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Každou cestu ke složce napište na samostatný řádek.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>Soubor vyhovuje, když leží v některé ze zahrnutých složek a v žádné z vynechaných.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Žádná aplikace nemohla otevřít „%1“.</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>%1 nelze spustit.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>„%1“ nelze smazat.</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>Složku „%1“ nelze otevřít.</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Opravdu chcete trvale smazat „%1“?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Smazat</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Opravdu chcete trvale smazat tuto položku?</numerusform>
            <numerusform>Opravdu chcete trvale smazat tyto %n položky?</numerusform>
            <numerusform>Opravdu chcete trvale smazat těchto %n položek?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[Zobrazeno je jen prvních %1 MiB z %2 MiB tohoto souboru.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Zalamovat řádky</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Celý řádek</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>Nové hledání</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Shody</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Soubor</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Podřetězec</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Celé slovo</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Logický</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Rozlišovat velikost písmen</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Řazení... %1 %</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Exportovat výsledky</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>Výsledky nelze zapsat do „%1“:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Hledání...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Chyba v názvu souboru na znaku %1: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Chyba v textu obsahu na znaku %1: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Chyba v názvu souboru: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Chyba v textu obsahu: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>Hledání zrušeno. Nalezen %n objekt</numerusform>
            <numerusform>Hledání zrušeno. Nalezeny %n objekty</numerusform>
            <numerusform>Hledání zrušeno. Nalezeno %n objektů</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Nalezen %n objekt za %1 s</numerusform>
            <numerusform>Nalezeny %n objekty za %1 s</numerusform>
            <numerusform>Nalezeno %n objektů za %1 s</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>Složka „%1“ neexistuje.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>Tyto složky neexistují: %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1“</translation>
    </message>
</context>
<context>
    <name>VolumeStateText</name>
    <message>
        <source>not chosen for indexing</source>
        <translation>nevybráno k indexování</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>souborový systém nelze sledovat jako celek</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>podsvazek btrfs nelze sledovat jako celek</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>%1 nemá stálá čísla souborů</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>kořen overlay nelze sledovat</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>jiný svazek má stejné sériové číslo</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>jeho sériové číslo nelze přečíst</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Indexováno</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Aktualizuje se...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Načítá se...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Procházeno: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Selhalo: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Prohledávány procházením:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 selhalo</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n svazek selhal</numerusform>
            <numerusform>%n svazky selhaly</numerusform>
            <numerusform>%n svazků selhalo</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n svazek procházen</numerusform>
            <numerusform>%n svazky procházeny</numerusform>
            <numerusform>%n svazků procházeno</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Index: připraven (%1)</translation>
    </message>
</context>
</TS>
