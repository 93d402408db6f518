<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="el">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Πληροφορίες</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Κλείσιμο</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Ευχαριστίες</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Μεταγλώττιση: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Έκδοση Qt: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>Δεν ήταν δυνατή η εγγραφή του αρχείου.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>Η εξαγωγή σταμάτησε πριν ολοκληρωθεί· το αρχείο έμεινε όπως ήταν.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>Καταμέτρηση των στοιχείων προς διαγραφή...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Διαγραφή</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Διαγραφή...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Διαγραφή... %1 από %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>Να διαγραφεί οριστικά ο φάκελος «%1» με όλο το περιεχόμενό του;</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Να διαγραφεί οριστικά το «%1»;</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Να διαγραφεί οριστικά αυτό το στοιχείο;</numerusform>
            <numerusform>Να διαγραφούν οριστικά αυτά τα %n στοιχεία;</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln αρχείο</numerusform>
            <numerusform>%Ln αρχεία</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln φάκελος</numerusform>
            <numerusform>%Ln φάκελοι</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>Περιέχει %1 και %2 (%3), που διαγράφονται μαζί του.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>Οι φάκελοι διαγράφονται με όλο το περιεχόμενό τους: συνολικά %1 και %2 (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Ορισμένοι φάκελοι δεν διαβάστηκαν, οπότε μπορεί να είναι περισσότερα.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Τίποτα δεν πηγαίνει στα απορρίμματα: η ενέργεια δεν αναιρείται.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>Η διαγραφή σταμάτησε.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>Δεν ήταν δυνατό να διαγραφούν όλα.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Διαγράφηκε: %Ln αρχείο</numerusform>
            <numerusform>Διαγράφηκαν: %Ln αρχεία</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln φάκελος.</numerusform>
            <numerusform>%Ln φάκελοι.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>Δεν διαγράφηκαν:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... και %n ακόμη.</numerusform>
            <numerusform>... και %n ακόμη.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Υπάρχουν ακόμη:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>Η έκφραση δεν είναι πλήρης</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>Η κανονική έκφραση %1 δεν είναι έγκυρη: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>«%1»</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>Το %1 ακολουθεί το %2 χωρίς «and» ή «or» ανάμεσα</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>Το %1 ακολουθεί το %2 χωρίς λέξη ανάμεσα</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>Πριν από το %1 δεν υπάρχει λέξη</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>Οι παρενθέσεις είναι κενές</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>Το %1 δεν κλείνει καμία «(»</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>Μετά το %1 δεν υπάρχει λέξη</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>Αυτή η «(» δεν κλείνει ποτέ</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>Το «!» δεν αποκλείει τίποτα: γράψτε μετά από αυτό τις λέξεις που εξαιρούνται</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>Ιδιότητες του %1</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Ιδιότητες</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Όνομα:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Φάκελος:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Τύπος:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Το αρχείο δεν υπάρχει.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Συμβολικός σύνδεσμος</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Μέγεθος:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Προορισμός:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Τροποποίηση:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Τελευταία πρόσβαση:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Κάτοχος:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Δικαιώματα:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Διάφοροι φάκελοι</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Στοιχεία:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>Μέγεθος αρχείων:</translation>
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
        <translation>Το όνομα δεν μπορεί να είναι κενό.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>Το «%1» δεν μπορεί να είναι όνομα.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>Ένα όνομα δεν μπορεί να περιέχει «/».</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>Το «%1» υπάρχει ήδη.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>Δεν ήταν δυνατή η μετονομασία του «%1»: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Μετονομασία</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>Όνομα</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Διαδρομή</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Μέγεθος</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Δημιουργία</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Τροποποίηση</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Τελευταία πρόσβαση</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Τύπος</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Ευρήματα</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Ταξινόμηση</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>Για να ταξινομηθεί %n στοιχείο με αυτή τη στήλη, διαβάζονται πρώτα τα στοιχεία του από τον δίσκο. Σε αργό ή δικτυακό δίσκο αυτό μπορεί να πάρει χρόνο.

Ταξινόμηση τώρα;</numerusform>
            <numerusform>Για να ταξινομηθούν %n στοιχεία με αυτή τη στήλη, διαβάζονται πρώτα τα στοιχεία τους από τον δίσκο. Σε αργό ή δικτυακό δίσκο αυτό μπορεί να πάρει χρόνο.

Ταξινόμηση τώρα;</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>Δεν ήταν δυνατή η εκτέλεση της εντολής.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>Όλα</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Φάκελοι</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Έγγραφα</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Προγράμματα</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Εικόνες</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Μουσική</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Βίντεο</translation>
    </message>
</context>
<context>
    <name>FilterListModel</name>
    <message>
        <source>Filter for %1</source>
        <translation>Φίλτρο για %1</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Φίλτρο Office Open XML</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>Φίλτρο OpenDocument</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>Φίλτρο HTML και XML</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Φίλτρο Word 97-2003 και RTF</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Φίλτρο Excel 97-2003</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>Φίλτρο PowerPoint 97-2003</translation>
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
        <translation>&amp;Αρχείο</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Επεξεργασία</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Προβολή</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Εργαλεία</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Γλώσσα</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Βοή&amp;θεια</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Γραμμή εργαλείων</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Άμεση αναζήτηση</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Επιλογές...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Νέα αναζήτηση</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>&amp;Κλείσιμο καρτέλας</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>Επόμενη &amp;καρτέλα</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>Προη&amp;γούμενη καρτέλα</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Έ&amp;ξοδος</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Πληροφορίες</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Απο&amp;κοπή</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>Αντι&amp;γραφή</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Διαγραφή</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Επιλογή ό&amp;λων</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Αντιγραφή &amp;ονόματος</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>Αντιγραφή &amp;πλήρους ονόματος</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Εγχειρίδιο</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>&amp;Παράμετροι αναζήτησης</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>Αντιγραφή &amp;διαδρομής</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>Αντιγραφή &amp;διαδρομής</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>Ε&amp;παναφορά</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Επαναφορά παραθύρου</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Ελαχιστοποίηση</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>&amp;Εξαγωγή αποτελεσμάτων...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>Γραμμή &amp;φίλτρων</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>&amp;Άμεση αναζήτηση</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Αντίγραφο αναζήτησης</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Γραμμή εργαλείων</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Παράμετροι αναζήτησης</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Ευρετήριο: ανενεργό</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Ευρετήριο: έτοιμο</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Ευρετήριο: ενημέρωση...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>Νέα αναζήτηση</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>Το %1 εξακολουθεί να εκτελείται.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>Δεν ήταν δυνατό το άνοιγμα του εγχειριδίου %1.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Εξαγωγή αποτελεσμάτων</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Διαχωρισμένα με κόμμα</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>Χωρίς ευρετήριο: ο λογαριασμός σας δεν επιτρέπεται να ξεκινά το πρόγραμμα με δικαιώματα root.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>Για να αποκτήσετε ευρετήριο, ένας διαχειριστής μπορεί να προσθέσει τον λογαριασμό σας στην ομάδα sudo (ή wheel ή admin).</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>Χωρίς ευρετήριο: η ερώτηση κωδικού έκλεισε ή ο κωδικός δεν έγινε δεκτός.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>Για να αποκτήσετε ευρετήριο, ξεκινήστε ξανά το πρόγραμμα και δώστε τον κωδικό σας. Ένας διαχειριστής μπορεί επίσης να εκτελέσει ως root «tallowquist-pro -enable-skip-uac», ώστε οι διαχειριστές να το ξεκινούν χωρίς κωδικό.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>Χωρίς ευρετήριο: το πρόγραμμα δεν ξεκίνησε με δικαιώματα root (η καταγραφή λέει γιατί).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>Για να αποκτήσετε ευρετήριο, ξεκινήστε ξανά το πρόγραμμα· η ερώτηση κωδικού χρειάζεται έναν ενεργό πράκτορα polkit.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Κάθε αναζήτηση διατρέχει τους φακέλους που δίνονται.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Εμφανίζεται μόνο το πρώτο εύρημα.</numerusform>
            <numerusform>Εμφανίζονται μόνο τα πρώτα %n ευρήματα.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Κλείσιμο</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Επιλογές</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Διαδρομή</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Γενικά</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Ευρετήριο</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Αναζήτηση</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>Φίλτρα αρχείων</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Αναζήτηση με το %1...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Επιλέξτε τον φάκελο της βάσης αρχείων.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>Η διαδρομή της βάσης αρχείων πρέπει να είναι πλήρης και να αρχίζει με «/».</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>Ο νέος φάκελος της βάσης αρχείων δεν πρέπει ούτε να βρίσκεται μέσα στον παλιό (%1) ούτε να τον περιέχει.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>η εκκίνηση κατά τη σύνδεση</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>τα φίλτρα αρχείων</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>Δεν ήταν δυνατή η εφαρμογή αυτών των επιλογών: %1. Το αρχείο καταγραφής αναφέρει την αιτία.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>το μενού περιβάλλοντος των φακέλων</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>η αφαίρεση της παλιάς βάσης αρχείων</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>οι ρυθμίσεις του ευρετηρίου</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Διαγραφή ιστορικού</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>Να διαγραφεί το ιστορικό αναζήτησης;</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>Διαδρομή βάσης αρχείων</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Τόμος</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Πλήθος αντικειμένων</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>Το ευρετήριο δεν είναι διαθέσιμο όταν το %1 εκτελείται χωρίς δικαιώματα root.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>η εκκίνηση χωρίς ερώτηση κωδικού</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>Η εντολή των φακέλων δεν άλλαξε: χρειάζονται δικαιώματα root και ο κωδικός δεν δόθηκε ή δεν έγινε δεκτός.

Για να την αλλάξετε, επιλέξτε ξανά το πλαίσιο και δώστε τον κωδικό, ή ζητήστε από έναν διαχειριστή να εκτελέσει ως root «%1».</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>Η εντολή των φακέλων δεν άλλαξε: το πρόγραμμα δεν ξεκίνησε με δικαιώματα root (χρειάζονται το pkexec και μια ερώτηση κωδικού).

Ένας διαχειριστής μπορεί να εκτελέσει ως root «%1».</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>Δεν ήταν δυνατή η αλλαγή της εντολής των φακέλων· η καταγραφή λέει γιατί.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>Δεν είναι δυνατή η εμφάνιση των τόμων· το αρχείο καταγραφής εξηγεί γιατί.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Κατάσταση</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Ενσωματωμένα</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Βοηθητικό πρόγραμμα</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>Φίλτρα εγγράφων εγκατεστημένα με αυτό το πρόγραμμα.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Εκκίνηση κατά τη σύνδεση</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Εκτέλεση στο παρασκήνιο</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Προσθήκη στο μενού περιβάλλοντος φακέλων</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Αποθήκευση των αναζητήσεων όλων των καρτελών στην έξοδο</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Διαγραφή ιστορικού</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>Εκκίνηση χωρίς ερώτηση κωδικού</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>Διαδρομή βάσης αρχείων:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Περιήγηση...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Εξαιρούμενες διαδρομές:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Προσθήκη</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Αφαίρεση</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Αυτόματη ευρετηρίαση νέων σταθερών τόμων</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Αυτόματη ευρετηρίαση νέων αφαιρούμενων τόμων</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Ευρετηρίαση αυτών των τόμων:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Ανάγνωση τόμων...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>Επέκταση</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>Όνομα φίλτρου</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Απενεργοποίηση φίλτρου</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Ενεργοποίηση φίλτρων</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Αναζήτηση στο περιεχόμενο</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>Αναγνώριση κωδικοποίησης αρχείων χωρίς BOM</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Παράλειψη δυαδικών αρχείων στην αναζήτηση περιεχομένου</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Χρήση ενσωματωμένου μετατροπέα PDF</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>Νέα καρτέλα</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Αντίγραφο</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Κλείσιμο</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Κλείσιμο άλλων καρτελών</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>Απο&amp;κοπή</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>Αντι&amp;γραφή</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Διαγραφή</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Ιδιότητες</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Άνοιγμα</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Άνοιγμα με %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Άνοιγμα θέσης αρχείου</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Αντιγραφή πλήρους ονόματος</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>Εντάξει</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Ακύρωση</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ναι</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>Ό&amp;χι</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Κλείσιμο</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Αποθήκευση</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Άνοιγμα</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Εφαρμογή</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Παράμετροι αναζήτησης</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Όνομα αρχείου:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Είδος έκφρασης:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Τμήμα</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Ολόκληρη λέξη</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Λογική</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Διάκριση πεζών-κεφαλαίων</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>Σε φάκελο</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Και υποφάκελοι</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>Στο περιεχόμενο</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Εύρος:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Αρχείο</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Γραμμή</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Τροποποίηση μεταξύ</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Μέγεθος μεταξύ</translation>
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
        <translation>Προχωρημένες επιλογές</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Αναζήτηση</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Επιλογή κειμένου περιεχομένου</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Άκυρο</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Τέλος</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Επιλογή ονομάτων αρχείων</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Ονόματα προς αναζήτηση:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Ονόματα προς εξαίρεση:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Επιλογή κειμένου περιεχομένου</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Εδώ ορίζετε ποιο κείμενο θα αναζητηθεί στο περιεχόμενο των αρχείων.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Γράψτε κάθε κείμενο σε ξεχωριστή γραμμή.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Κείμενο προς αναζήτηση:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Κείμενο προς εξαίρεση:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Εδώ ορίζετε ποια ονόματα αρχείων θα αναζητηθούν.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Γράψτε κάθε όνομα αρχείου σε ξεχωριστή γραμμή.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Ένα όνομα αρχείου ταιριάζει αν αντιστοιχεί σε τουλάχιστον μία έκφραση της λίστας αναζήτησης και σε καμία της λίστας εξαίρεσης.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Ένα αρχείο ταιριάζει αν μια γραμμή του αντιστοιχεί σε τουλάχιστον μία έκφραση της λίστας αναζήτησης και σε καμία της λίστας εξαίρεσης.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Επιλογή φακέλων</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Φάκελοι προς αναζήτηση:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Περιήγηση...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Φάκελοι προς εξαίρεση:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Εδώ ορίζετε σε ποιους φακέλους θα γίνει η αναζήτηση.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Γράψτε κάθε διαδρομή φακέλου σε ξεχωριστή γραμμή.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>Ένα αρχείο ταιριάζει αν βρίσκεται σε έναν από τους φακέλους αναζήτησης και σε κανέναν από τους εξαιρούμενους.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Καμία εφαρμογή δεν μπόρεσε να ανοίξει το «%1».</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>Δεν ήταν δυνατή η εκκίνηση του %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>Δεν ήταν δυνατή η διαγραφή του «%1».</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>Δεν ήταν δυνατό το άνοιγμα του φακέλου του «%1».</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Να διαγραφεί οριστικά το «%1»;</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Διαγραφή</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Να διαγραφεί οριστικά αυτό το στοιχείο;</numerusform>
            <numerusform>Να διαγραφούν οριστικά αυτά τα %n στοιχεία;</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[Εμφανίζονται μόνο τα πρώτα %1 MiB αυτού του αρχείου των %2 MiB.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Αναδίπλωση</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Ολόκληρη γραμμή</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>Νέα αναζήτηση</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Ευρήματα</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Αρχείο</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Τμήμα</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Ολόκληρη λέξη</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Λογική</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Διάκριση πεζών-κεφαλαίων</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Ταξινόμηση... %1%</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Εξαγωγή αποτελεσμάτων</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>Δεν ήταν δυνατή η εγγραφή των αποτελεσμάτων στο «%1»:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Αναζήτηση...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Σφάλμα στο όνομα αρχείου στον χαρακτήρα %1: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Σφάλμα στο κείμενο περιεχομένου στον χαρακτήρα %1: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Σφάλμα στο όνομα αρχείου: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Σφάλμα στο κείμενο περιεχομένου: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>Η αναζήτηση ακυρώθηκε. Βρέθηκε: %n αντικείμενο</numerusform>
            <numerusform>Η αναζήτηση ακυρώθηκε. Βρέθηκαν: %n αντικείμενα</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Βρέθηκε: %n αντικείμενο σε %1 δευτ.</numerusform>
            <numerusform>Βρέθηκαν: %n αντικείμενα σε %1 δευτ.</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>Ο φάκελος «%1» δεν υπάρχει.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>Αυτοί οι φάκελοι δεν υπάρχουν: %1.</translation>
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
        <translation>δεν επιλέχθηκε για ευρετηρίαση</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>το σύστημα αρχείων δεν μπορεί να παρακολουθείται ολόκληρο</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>ένας υποτόμος btrfs δεν μπορεί να παρακολουθείται ολόκληρος</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>το %1 δεν έχει σταθερούς αριθμούς αρχείων</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>μια ρίζα overlay δεν μπορεί να παρακολουθείται</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>άλλος τόμος έχει τον ίδιο σειριακό αριθμό</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>ο σειριακός αριθμός του δεν διαβάζεται</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Ευρετηριασμένος</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Ενημέρωση...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Φόρτωση...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Διασχίζεται: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Απέτυχε: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Αναζητούνται με διάσχιση:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>το %1 απέτυχε</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n τόμος απέτυχε</numerusform>
            <numerusform>%n τόμοι απέτυχαν</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n τόμος διασχίζεται</numerusform>
            <numerusform>%n τόμοι διασχίζονται</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Ευρετήριο: έτοιμο (%1)</translation>
    </message>
</context>
</TS>
