<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Danksagung</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Erstellt: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Qt-Version: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>Die Datei konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>Der Export wurde vor dem Ende angehalten; die Datei blieb unverändert.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>Die zu löschenden Objekte werden gezählt...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Wird gelöscht...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Wird gelöscht... %1 von %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>Soll der Ordner „%1“ mit seinem ganzen Inhalt wirklich endgültig gelöscht werden?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Soll „%1“ wirklich endgültig gelöscht werden?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Soll dieses Objekt wirklich endgültig gelöscht werden?</numerusform>
            <numerusform>Sollen diese %n Objekte wirklich endgültig gelöscht werden?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln Datei</numerusform>
            <numerusform>%Ln Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln Ordner</numerusform>
            <numerusform>%Ln Ordner</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>Er enthält %1 und %2 (%3), die mitgelöscht werden.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>Die Ordner darunter werden mit ihrem ganzen Inhalt gelöscht: insgesamt %1 und %2 (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Einige Ordner konnten nicht gelesen werden; es können also mehr sein.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Nichts kommt in den Papierkorb: Das lässt sich nicht rückgängig machen.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>Das Löschen wurde angehalten.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>Nicht alles konnte gelöscht werden.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Gelöscht: %Ln Datei</numerusform>
            <numerusform>Gelöscht: %Ln Dateien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln Ordner.</numerusform>
            <numerusform>%Ln Ordner.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>Nicht gelöscht:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... und %n weiteres.</numerusform>
            <numerusform>... und %n weitere.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Noch vorhanden:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>Der Ausdruck ist unvollständig</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>Der reguläre Ausdruck %1 ist ungültig: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 folgt auf %2 ohne „and“ oder „or“ dazwischen</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 folgt auf %2 ohne ein Wort dazwischen</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>Vor %1 steht kein Wort</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>Die Klammern sind leer</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 schließt keine „(“</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>Nach %1 steht kein Wort</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>Diese „(“ wird nie geschlossen</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>„!“ schließt nichts aus: Die auszuschließenden Wörter gehören dahinter</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>Eigenschaften von %1</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Ordner:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Die Datei existiert nicht.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Verknüpfungsziel:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Geändert:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Letzter Zugriff:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Besitzer:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Berechtigungen:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Verschiedene Ordner</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Objekte:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>Größe der Dateien:</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1 (%2 Byte)</numerusform>
            <numerusform>%1 (%2 Bytes)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n Byte</numerusform>
            <numerusform>%n Bytes</numerusform>
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
        <translation>Der Name darf nicht leer sein.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>„%1“ kann nicht als Name verwendet werden.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>Ein Name darf kein „/“ enthalten.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>„%1“ existiert bereits.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>„%1“ konnte nicht umbenannt werden: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Erstellt</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Letzter Zugriff</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Treffer</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>Um %n Objekt nach dieser Spalte zu sortieren, werden zuerst seine Angaben vom Datenträger gelesen. Auf einem langsamen oder Netzlaufwerk kann das dauern.

Jetzt sortieren?</numerusform>
            <numerusform>Um %n Objekte nach dieser Spalte zu sortieren, werden zuerst ihre Angaben vom Datenträger gelesen. Auf einem langsamen oder Netzlaufwerk kann das dauern.

Jetzt sortieren?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>Der Befehl konnte nicht ausgeführt werden.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Dokument</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Programm</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Musik</translation>
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
        <translation>Filter für %1</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Office-Open-XML-Filter</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>OpenDocument-Filter</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>HTML- und XML-Filter</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Filter für Word 97-2003 und RTF</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Filter für Excel 97-2003</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>Filter für PowerPoint 97-2003</translation>
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
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>E&amp;xtras</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Sofortsuche</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Einstellungen...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Neue Suche</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>Reiter &amp;schließen</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>&amp;Nächster Reiter</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>&amp;Voriger Reiter</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Über</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>&amp;Namen kopieren</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>&amp;Vollständigen Namen kopieren</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Handbuch</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>&amp;Suchparameter</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>&amp;Pfad kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>&amp;Pfad kopieren</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Fenster wiederherstellen</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>Ergebnisse &amp;exportieren...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>&amp;Filterleiste</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>&amp;Sofortsuche</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Suche duplizieren</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Werkzeugleiste</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Suchparameter</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Index: abgeschaltet</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Index: bereit</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Index: wird aktualisiert...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>Neue Suche</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 läuft weiter.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>Das Handbuch %1 konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Ergebnisse exportieren</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Durch Kommas getrennt</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>Kein Index: Ihr Konto darf das Programm nicht mit root-Rechten starten.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>Um einen zu erhalten, kann ein Administrator Ihr Konto in die Gruppe sudo (oder wheel oder admin) aufnehmen.</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>Kein Index: Die Passwortabfrage wurde geschlossen oder das Passwort nicht angenommen.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>Um einen zu erhalten, starten Sie das Programm erneut und geben Ihr Passwort ein. Ein Administrator kann auch „tallowquist-pro -enable-skip-uac“ als root ausführen, damit Administratoren es ohne Passwort starten.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>Kein Index: Das Programm konnte nicht mit root-Rechten gestartet werden (das Protokoll nennt den Grund).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>Um einen zu erhalten, starten Sie das Programm erneut; die Passwortabfrage braucht einen laufenden polkit-Agenten.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Jede Suche durchläuft die angegebenen Ordner.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Nur der erste Treffer wird angezeigt.</numerusform>
            <numerusform>Nur die ersten %n Treffer werden angezeigt.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Index</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suche</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>Dateifilter</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Mit %1 durchsuchen...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Bitte den Ordner der Dateidatenbank wählen.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>Der Pfad der Dateidatenbank muss vollständig sein und mit „/“ beginnen.</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>Der neue Ordner der Dateidatenbank darf weder im alten (%1) liegen noch ihn enthalten.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>Start bei der Anmeldung</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>die Dateifilter</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>Diese Einstellungen konnten nicht übernommen werden: %1. Die Protokolldatei nennt den Grund.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>das Kontextmenü der Ordner</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>das Entfernen der alten Dateidatenbank</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>die Index-Einstellungen</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Suchverlauf löschen</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>Soll der Suchverlauf wirklich gelöscht werden?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>Pfad der Dateidatenbank</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Datenträger</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Anzahl Objekte</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>Der Index steht nicht zur Verfügung, wenn %1 ohne root-Rechte läuft.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>der Start ohne Passwortabfrage</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>Der Ordnerbefehl wurde nicht geändert: Dafür sind root-Rechte nötig, und das Passwort wurde nicht eingegeben oder nicht angenommen.

Um ihn zu ändern, das Kästchen erneut ankreuzen und das Passwort eingeben, oder einen Administrator bitten, „%1“ als root auszuführen.</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>Der Ordnerbefehl wurde nicht geändert: Das Programm konnte nicht mit root-Rechten gestartet werden (pkexec und eine Passwortabfrage sind nötig).

Ein Administrator kann „%1“ als root ausführen.</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>Der Ordnerbefehl konnte nicht geändert werden; das Protokoll nennt den Grund.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>Die Datenträger können nicht aufgelistet werden; die Protokolldatei nennt den Grund.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Eingebaut</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Hilfsprogramm</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>Mit diesem Programm installierte Dokumentfilter.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Im Hintergrund laufen</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Ins Kontextmenü der Ordner aufnehmen</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Suchen aller Reiter beim Beenden speichern</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Suchverlauf löschen</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>Beim Start ohne Passwortabfrage</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>Pfad der Dateidatenbank:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Ausgeschlossene Pfade:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Neue feste Datenträger automatisch indizieren</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Neue Wechseldatenträger automatisch indizieren</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Diese Datenträger indizieren:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Datenträger werden gelesen...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>Endung</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>Filtername</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Filter abschalten</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Filter einschalten</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Inhaltssuche</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>Kodierung von Dateien ohne BOM selbst erkennen</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Binärdateien bei der Inhaltssuche überspringen</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Eingebauten PDF-Konverter verwenden</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>Neuer Reiter</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplizieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Andere Reiter schließen</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Eigenschaften</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Öffnen mit %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Dateispeicherort öffnen</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Vollständigen Namen kopieren</translation>
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
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Suchparameter</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Ausdruck:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Teilwort</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Ganzes Wort</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Boolesch</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Groß-/Kleinschreibung</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>Im Ordner</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Unterordner einbeziehen</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>Im Inhalt</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Bereich:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Geändert zwischen</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Größenbereich</translation>
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
        <translation>Erweiterte Optionen anzeigen</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Inhaltstext wählen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Dateinamen wählen</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Einzuschließende Dateinamen:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Auszuschließende Dateinamen:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Inhaltstext wählen</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Hier legen Sie fest, welcher Text im Dateiinhalt gesucht wird.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Jeden Text in eine eigene Zeile schreiben.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Einzuschließender Text:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Auszuschließender Text:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Hier legen Sie fest, nach welchen Dateinamen gesucht wird.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Jeden Dateinamen in eine eigene Zeile schreiben.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Ein Dateiname passt, wenn er mindestens einem Ausdruck der Einschlussliste entspricht und keinem der Ausschlussliste.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Eine Datei passt, wenn ihre Zeile mindestens einem Ausdruck der Einschlussliste entspricht und keinem der Ausschlussliste.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Ordner wählen</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Einzuschließende Ordner:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Auszuschließende Ordner:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Hier legen Sie fest, in welchen Ordnern gesucht wird.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Jeden Ordnerpfad in eine eigene Zeile schreiben.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>Eine Datei passt, wenn sie in einem der eingeschlossenen Ordner liegt und in keinem der ausgeschlossenen.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Kein Programm konnte „%1“ öffnen.</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>%1 konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>„%1“ konnte nicht gelöscht werden.</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>Der Ordner von „%1“ konnte nicht geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Soll „%1“ wirklich endgültig gelöscht werden?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Soll dieses Objekt wirklich endgültig gelöscht werden?</numerusform>
            <numerusform>Sollen diese %n Objekte wirklich endgültig gelöscht werden?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[Nur die ersten %1 MiB dieser Datei von %2 MiB werden angezeigt.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Zeilenumbruch</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Ganze Zeile</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>Neue Suche</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Treffer</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Teilwort</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Ganzes Wort</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Boolesch</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Groß-/Kleinschreibung</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Wird sortiert... %1%</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Ergebnisse exportieren</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>Die Ergebnisse konnten nicht nach „%1“ geschrieben werden:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Suche läuft...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Fehler im Dateinamen bei Zeichen %1: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Fehler im Inhaltstext bei Zeichen %1: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Fehler im Dateinamen: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Fehler im Inhaltstext: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>Suche abgebrochen. Gefunden: %n Objekt</numerusform>
            <numerusform>Suche abgebrochen. Gefunden: %n Objekte</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Gefunden: %n Objekt in %1 s</numerusform>
            <numerusform>Gefunden: %n Objekte in %1 s</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>Der Ordner „%1“ existiert nicht.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>Diese Ordner existieren nicht: %1.</translation>
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
        <translation>nicht zur Indizierung gewählt</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>das Dateisystem kann nicht als Ganzes überwacht werden</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>ein btrfs-Subvolume kann nicht als Ganzes überwacht werden</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>%1 hat keine beständigen Dateinummern</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>ein Overlay als Wurzel kann nicht überwacht werden</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>ein anderer Datenträger hat dieselbe Seriennummer</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>seine Seriennummer kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Indiziert</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Wird aktualisiert...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Wird geladen...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Durchlaufen: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Durch Durchlaufen durchsucht:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 fehlgeschlagen</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n Datenträger fehlgeschlagen</numerusform>
            <numerusform>%n Datenträger fehlgeschlagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n Datenträger durchlaufen</numerusform>
            <numerusform>%n Datenträger durchlaufen</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Index: bereit (%1)</translation>
    </message>
</context>
</TS>
