<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Riconoscimenti</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Compilato: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Versione di Qt: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>Impossibile scrivere il file.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>L&apos;esportazione è stata interrotta prima della fine; il file è rimasto invariato.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>Conteggio degli elementi da eliminare...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Elimina</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Eliminazione...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Eliminazione... %1 di %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>Eliminare definitivamente la cartella «%1» e tutto il suo contenuto?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Eliminare definitivamente «%1»?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Eliminare definitivamente questo elemento?</numerusform>
            <numerusform>Eliminare definitivamente questi %n elementi?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln file</numerusform>
            <numerusform>%Ln file</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln cartella</numerusform>
            <numerusform>%Ln cartelle</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>Contiene %1 e %2 (%3), che verranno eliminati con essa.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>Le cartelle vengono eliminate con tutto il loro contenuto: %1 e %2 in tutto (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Alcune cartelle non sono leggibili, quindi potrebbero essercene altri.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Nulla va nel cestino: l&apos;operazione non si può annullare.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>L&apos;eliminazione è stata interrotta.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>Non è stato possibile eliminare tutto.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Eliminato: %Ln file</numerusform>
            <numerusform>Eliminati: %Ln file</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln cartella.</numerusform>
            <numerusform>%Ln cartelle.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>Non eliminati:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... e %n altro.</numerusform>
            <numerusform>... e altri %n.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Ancora presenti:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>L&apos;espressione è incompleta</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>L&apos;espressione regolare %1 non è valida: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>«%1»</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 segue %2 senza «and» o «or» in mezzo</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 segue %2 senza una parola in mezzo</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>Prima di %1 non c&apos;è alcuna parola</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>Le parentesi sono vuote</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 non chiude alcuna «(»</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>Dopo %1 non c&apos;è alcuna parola</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>Questa «(» non viene mai chiusa</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>«!» non esclude nulla: scrivere dopo di esso le parole da escludere</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>Proprietà di %1</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Proprietà</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nome:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Cartella:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Tipo:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Il file non esiste.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Collegamento simbolico</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Dimensione:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Destinazione:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Modificato:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Ultimo accesso:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Proprietario:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Permessi:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Cartelle diverse</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Elementi:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>Dimensione dei file:</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1 (%2 byte)</numerusform>
            <numerusform>%1 (%2 byte)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n byte</numerusform>
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
        <translation>Il nome non può essere vuoto.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>«%1» non può essere usato come nome.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>Un nome non può contenere «/».</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>«%1» esiste già.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>Impossibile rinominare «%1»: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Rinomina</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Percorso</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Dimensione</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Creato</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modificato</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Ultimo accesso</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Corrispondenze</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Ordina</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>Per ordinare %n elemento secondo questa colonna, prima se ne leggono i dati dal disco. Su un disco lento o di rete può richiedere tempo.

Ordinare ora?</numerusform>
            <numerusform>Per ordinare %n elementi secondo questa colonna, prima se ne leggono i dati dal disco. Su un disco lento o di rete può richiedere tempo.

Ordinare ora?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>Impossibile eseguire il comando.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>Tutto</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Cartella</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Documento</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Eseguibile</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Immagine</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Musica</translation>
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
        <translation>Filtro per %1</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Filtro Office Open XML</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>Filtro OpenDocument</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>Filtro HTML e XML</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Filtro Word 97-2003 e RTF</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Filtro Excel 97-2003</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>Filtro PowerPoint 97-2003</translation>
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
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Modifica</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Visualizza</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Strumenti</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Lingua</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aiuto</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barra degli strumenti</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Ricerca immediata</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Opzioni...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Nuova ricerca</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>&amp;Chiudi scheda</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>Scheda &amp;successiva</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>Scheda &amp;precedente</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Esci</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Informazioni</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Taglia</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copia</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Elimina</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Seleziona t&amp;utto</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Copia &amp;nome</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>Copia nome co&amp;mpleto</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Manuale</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>&amp;Parametri di ricerca</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>Copia &amp;percorso</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>Copia &amp;percorso</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Ripristina</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Ripristina la finestra</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Riduci a icona</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>Esp&amp;orta risultati...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>Barra dei &amp;filtri</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>Ricerca &amp;immediata</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Duplica ricerca</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Barra degli strumenti</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Parametri di ricerca</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Indice: disattivato</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Indice: pronto</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Indice: aggiornamento...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>Nuova ricerca</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 è ancora in esecuzione.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>Impossibile aprire il manuale %1.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Esporta risultati</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Separato da virgole</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>Nessun indice: il tuo account non può avviare il programma con i permessi di root.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>Per averlo, un amministratore può aggiungere il tuo account al gruppo sudo (o wheel, o admin).</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>Nessun indice: la richiesta della password è stata chiusa o la password non è stata accettata.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>Per averlo, avvia di nuovo il programma e inserisci la password. Un amministratore può anche eseguire «tallowquist-pro -enable-skip-uac» come root, così che gli amministratori lo avviino senza password.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>Nessun indice: non è stato possibile avviare il programma con i permessi di root (il registro dice perché).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>Per averlo, avvia di nuovo il programma; la richiesta della password richiede un agente polkit in esecuzione.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Ogni ricerca scorre le cartelle indicate.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Viene mostrata solo la prima corrispondenza.</numerusform>
            <numerusform>Vengono mostrate solo le prime %n corrispondenze.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Opzioni</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Percorso</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Generale</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Indicizzazione</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Ricerca</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>Filtri dei file</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Cerca con %1...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Scegliere la cartella del database dei file.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>Il percorso del database dei file deve essere completo e iniziare con «/».</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>La nuova cartella del database non deve trovarsi dentro la vecchia (%1) né contenerla.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>l&apos;avvio all&apos;accesso</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>i filtri dei file</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>Impossibile applicare queste opzioni: %1. Il file di registro ne indica il motivo.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>il menu contestuale delle cartelle</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>la rimozione del vecchio database</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>le impostazioni dell&apos;indice</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Cancella la cronologia</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>Cancellare la cronologia delle ricerche?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>Percorso del database dei file</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Numero di oggetti</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>L&apos;indicizzazione non è disponibile quando %1 è in esecuzione senza i permessi di root.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>l&apos;avvio senza richiesta della password</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>Il comando delle cartelle non è stato modificato: servono i permessi di root e la password non è stata data o non è stata accettata.

Per modificarlo, spuntare di nuovo la casella e inserire la password, oppure chiedere a un amministratore di eseguire «%1» come root.</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>Il comando delle cartelle non è stato modificato: non è stato possibile avviare il programma con i permessi di root (servono pkexec e una richiesta della password).

Un amministratore può eseguire «%1» come root.</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>Impossibile modificare il comando delle cartelle; il registro dice perché.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>Impossibile elencare i volumi; il file di log spiega perché.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Stato</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Integrati</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Programma ausiliario</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>Filtri per documenti installati con questo programma.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Avvia all&apos;accesso</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Esegui in background</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Aggiungi al menu contestuale delle cartelle</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Salva le ricerche di tutte le schede all&apos;uscita</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Cancella la cronologia</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>All&apos;avvio non chiedere la password</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>Percorso del database dei file:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Sfoglia...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Percorsi esclusi:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Aggiungi</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Rimuovi</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Indicizza automaticamente i nuovi volumi fissi</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Indicizza automaticamente i nuovi volumi rimovibili</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Indicizza questi volumi:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Lettura dei volumi...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>Estensione</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>Nome del filtro</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Disattiva filtro</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Attiva filtri</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Ricerca nel contenuto</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>Rileva la codifica dei file senza BOM</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Ignora i file binari nella ricerca nel contenuto</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Usa il convertitore PDF integrato</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>Nuova scheda</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplica</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Chiudi le altre schede</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Taglia</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copia</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Elimina</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Proprietà</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Apri</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Apri con %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Apri percorso file</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Copia nome completo</translation>
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
        <translation>Annulla</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Sì</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Apri</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Applica</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Parametri di ricerca</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Nome del file:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Tipo di espressione:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Sottostringa</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Parola intera</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Booleana</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Maiuscole/minuscole</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>Nella cartella</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Includi sottocartelle</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>Nel contenuto</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Ambito:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Riga</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Modificato tra</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Dimensione tra</translation>
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
        <translation>Opzioni avanzate</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Cerca</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Scegli il testo del contenuto</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fatto</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Scegli i nomi dei file</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Nomi di file da includere:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Nomi di file da escludere:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Scegli il testo del contenuto</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Qui si indica quale testo cercare nel contenuto dei file.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Scrivere ogni testo su una riga a sé.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Testo da includere:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Testo da escludere:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Qui si indicano i nomi di file da cercare.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Scrivere ogni nome di file su una riga a sé.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Un nome di file soddisfa i criteri se corrisponde ad almeno un&apos;espressione dell&apos;elenco di inclusione e a nessuna dell&apos;elenco di esclusione.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Un file è valido se una sua riga corrisponde ad almeno un&apos;espressione da includere e a nessuna da escludere.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Scegli le cartelle</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Cartelle da includere:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Sfoglia...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Cartelle da escludere:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Qui si indica in quali cartelle cercare.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Scrivere ogni percorso di cartella su una riga a sé.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>Un file soddisfa i criteri se si trova in una delle cartelle incluse e in nessuna di quelle escluse.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Nessuna applicazione ha potuto aprire «%1».</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>Impossibile avviare %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>Impossibile eliminare «%1».</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>Impossibile aprire la cartella di «%1».</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Eliminare definitivamente «%1»?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Elimina</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Eliminare definitivamente questo elemento?</numerusform>
            <numerusform>Eliminare definitivamente questi %n elementi?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[Vengono mostrati solo i primi %1 MiB di questo file di %2 MiB.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>A capo automatico</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Riga intera</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>Nuova ricerca</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Corrispondenze</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Sottostringa</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Parola intera</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Booleana</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Maiuscole/minuscole</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Ordinamento... %1%</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Esporta risultati</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>Impossibile scrivere i risultati in «%1»:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Ricerca in corso...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Errore nel nome del file al carattere %1: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Errore nel testo del contenuto al carattere %1: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Errore nel nome del file: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Errore nel testo del contenuto: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>Ricerca annullata. Trovato: %n oggetto</numerusform>
            <numerusform>Ricerca annullata. Trovati: %n oggetti</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Trovato: %n oggetto in %1 s</numerusform>
            <numerusform>Trovati: %n oggetti in %1 s</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>La cartella «%1» non esiste.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>Queste cartelle non esistono: %1.</translation>
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
        <translation>non scelto per l&apos;indicizzazione</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>il file system non può essere sorvegliato per intero</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>un sottovolume btrfs non può essere sorvegliato per intero</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>%1 non ha numeri di file stabili</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>una radice overlay non può essere sorvegliata</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>un altro volume ha lo stesso numero di serie</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>il suo numero di serie non può essere letto</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Indicizzato</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Aggiornamento...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Caricamento...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Percorso: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Non riuscito: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Cercati percorrendoli:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 non riuscito</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n volume non riuscito</numerusform>
            <numerusform>%n volumi non riusciti</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n volume percorso</numerusform>
            <numerusform>%n volumi percorsi</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Indice: pronto (%1)</translation>
    </message>
</context>
</TS>
