<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Remerciements</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Compilé le : %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Version de Qt : %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>Le fichier n&apos;a pas pu être écrit.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>L&apos;export a été arrêté avant la fin ; le fichier est resté inchangé.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>Comptage des éléments à supprimer...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Suppression...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Suppression... %1 sur %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>Voulez-vous vraiment supprimer définitivement le dossier « %1 » et tout son contenu ?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Voulez-vous vraiment supprimer définitivement « %1 » ?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Voulez-vous vraiment supprimer définitivement cet élément ?</numerusform>
            <numerusform>Voulez-vous vraiment supprimer définitivement ces %n éléments ?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln fichier</numerusform>
            <numerusform>%Ln fichiers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln dossier</numerusform>
            <numerusform>%Ln dossiers</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>Il contient %1 et %2 (%3), qui seront supprimés avec lui.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>Les dossiers sont supprimés avec tout leur contenu : %1 et %2 en tout (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Certains dossiers n&apos;ont pas pu être lus ; il peut donc y en avoir davantage.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Rien ne va dans la corbeille : cette opération est irréversible.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>La suppression a été arrêtée.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>Tout n&apos;a pas pu être supprimé.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Supprimé : %Ln fichier</numerusform>
            <numerusform>Supprimés : %Ln fichiers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln dossier.</numerusform>
            <numerusform>%Ln dossiers.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>Non supprimés :</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... et %n autre.</numerusform>
            <numerusform>... et %n autres.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Toujours présents :</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>L&apos;expression est incomplète</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>L&apos;expression régulière %1 n&apos;est pas valide : %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>« %1 »</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 suit %2 sans « and » ni « or » entre les deux</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 suit %2 sans mot entre les deux</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>%1 n&apos;est précédé d&apos;aucun mot</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>Les parenthèses sont vides</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 ne ferme aucune « ( »</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>%1 n&apos;est suivi d&apos;aucun mot</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>Cette « ( » n&apos;est jamais fermée</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>« ! » n&apos;exclut rien : écrivez après lui les mots à exclure</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>Propriétés de %1</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Propriétés</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nom :</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Dossier :</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Type :</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Le fichier n&apos;existe pas.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Lien symbolique</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Taille :</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Cible du lien :</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Modifié :</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Dernier accès :</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Propriétaire :</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Permissions :</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Dossiers divers</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Éléments :</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>Taille des fichiers :</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1 (%2 octet)</numerusform>
            <numerusform>%1 (%2 octets)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n octet</numerusform>
            <numerusform>%n octets</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileTable</name>
    <message>
        <source>B</source>
        <comment>Bytes (short)</comment>
        <translation>o</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>Ko</translation>
    </message>
    <message>
        <source>The name must not be empty.</source>
        <translation>Le nom ne doit pas être vide.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>« %1 » ne peut pas servir de nom.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>Un nom ne doit pas contenir « / ».</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>« %1 » existe déjà.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>« %1 » n&apos;a pas pu être renommé : %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Chemin</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Créé</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modifié</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Dernier accès</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Occurrences</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Trier</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>Pour trier %n élément selon cette colonne, ses informations sont d&apos;abord lues sur le disque. Sur un disque lent ou réseau, cela peut prendre du temps.

Trier maintenant ?</numerusform>
            <numerusform>Pour trier %n éléments selon cette colonne, leurs informations sont d&apos;abord lues sur le disque. Sur un disque lent ou réseau, cela peut prendre du temps.

Trier maintenant ?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>La commande n&apos;a pas pu être exécutée.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>Tout</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Document</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Exécutable</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Musique</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Vidéo</translation>
    </message>
</context>
<context>
    <name>FilterListModel</name>
    <message>
        <source>Filter for %1</source>
        <translation>Filtre pour %1</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Filtre Office Open XML</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>Filtre OpenDocument</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>Filtre HTML et XML</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Filtre Word 97-2003 et RTF</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Filtre Excel 97-2003</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>Filtre PowerPoint 97-2003</translation>
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
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Édition</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Outils</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Langue</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barre d&apos;outils</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Recherche instantanée</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Nouvelle recherche</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>&amp;Fermer l&apos;onglet</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>Onglet &amp;suivant</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>Onglet &amp;précédent</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;À propos</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Co&amp;uper</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Copier le &amp;nom</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>Copier le nom &amp;complet</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Manuel</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>&amp;Paramètres de recherche</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>Copier le c&amp;hemin</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>Copier le c&amp;hemin</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Restaurer</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Restaurer la fenêtre</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>&amp;Exporter les résultats...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>Barre de &amp;filtres</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>Recherche &amp;instantanée</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Dupliquer la recherche</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Barre d&apos;outils</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Paramètres de recherche</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Index : désactivé</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Index : prêt</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Index : mise à jour...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>Nouvelle recherche</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 fonctionne toujours.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>Le manuel %1 n&apos;a pas pu être ouvert.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Exporter les résultats</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Séparé par des virgules</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>Pas d&apos;index : votre compte ne peut pas lancer le programme avec les droits root.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>Pour en avoir un, un administrateur peut ajouter votre compte au groupe sudo (ou wheel, ou admin).</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>Pas d&apos;index : la demande de mot de passe a été fermée, ou le mot de passe n&apos;a pas été accepté.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>Pour en avoir un, relancez le programme et saisissez votre mot de passe. Un administrateur peut aussi exécuter « tallowquist-pro -enable-skip-uac » en root, afin que les administrateurs le lancent sans mot de passe.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>Pas d&apos;index : le programme n&apos;a pas pu être lancé avec les droits root (le journal dit pourquoi).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>Pour en avoir un, relancez le programme ; la demande de mot de passe a besoin d&apos;un agent polkit en marche.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Chaque recherche parcourt les dossiers indiqués.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Seul le premier résultat est affiché.</numerusform>
            <numerusform>Seuls les %n premiers résultats sont affichés.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Chemin</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Indexation</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Recherche</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>Filtres de fichiers</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Rechercher avec %1...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Veuillez choisir le dossier de la base de fichiers.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>Le chemin de la base de fichiers doit être complet et commencer par « / ».</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>Le nouveau dossier de la base de fichiers ne doit ni se trouver dans l&apos;ancien (%1) ni le contenir.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>le démarrage à la connexion</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>les filtres de fichiers</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>Ces options n&apos;ont pas pu être appliquées : %1. Le fichier journal en donne la raison.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>le menu contextuel des dossiers</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>la suppression de l&apos;ancienne base de fichiers</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>les réglages de l&apos;index</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Effacer l&apos;historique</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>Voulez-vous vraiment effacer l&apos;historique des recherches ?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>Chemin de la base de fichiers</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Nombre d&apos;objets</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>L&apos;indexation n&apos;est pas disponible quand %1 fonctionne sans les droits root.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>le démarrage sans demande de mot de passe</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>La commande des dossiers n&apos;a pas été modifiée : il faut les droits root, et le mot de passe n&apos;a pas été donné ou pas accepté.

Pour la modifier, cochez de nouveau la case et saisissez le mot de passe, ou demandez à un administrateur d&apos;exécuter « %1 » en root.</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>La commande des dossiers n&apos;a pas été modifiée : le programme n&apos;a pas pu être lancé avec les droits root (pkexec et une demande de mot de passe sont nécessaires).

Un administrateur peut exécuter « %1 » en root.</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>La commande des dossiers n&apos;a pas pu être modifiée ; le journal dit pourquoi.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>Les volumes ne peuvent pas être listés ; le fichier journal indique pourquoi.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Intégrés</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Programme auxiliaire</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>Filtres de documents installés avec ce programme.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Lancer à la connexion</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Fonctionner en arrière-plan</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Intégrer au menu contextuel des dossiers</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Enregistrer les recherches de tous les onglets en quittant</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Effacer l&apos;historique</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>Démarrer sans demande de mot de passe</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>Chemin de la base de fichiers :</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Parcourir...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Chemins exclus :</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Indexer automatiquement les nouveaux volumes fixes</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Indexer automatiquement les nouveaux volumes amovibles</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Indexer les volumes suivants :</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Lecture des volumes...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>Extension</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>Nom du filtre</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Désactiver le filtre</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Activer les filtres</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Recherche dans le contenu</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>Détecter l&apos;encodage des fichiers sans BOM</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Ignorer les fichiers binaires dans la recherche</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Utiliser le convertisseur PDF intégré</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>Nouvel onglet</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Dupliquer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Fermer les autres onglets</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>Co&amp;uper</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Propriétés</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Ouvrir</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Ouvrir avec %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Ouvrir l&apos;emplacement</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Copier le nom complet</translation>
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
        <translation>Annuler</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Oui</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Non</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Paramètres de recherche</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Nom de fichier :</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Type d&apos;expression :</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Sous-chaîne</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Mot entier</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Booléen</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Respecter la casse</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>Dans le dossier</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Inclure les sous-dossiers</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>Dans le contenu</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Portée :</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Ligne</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Modifié entre</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Taille entre</translation>
    </message>
    <message>
        <source>B</source>
        <translation>o</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>Ko</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>Mo</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>Go</translation>
    </message>
    <message>
        <source>Show advanced options</source>
        <translation>Options avancées</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Choisir le texte du contenu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Terminé</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Choisir les noms de fichiers</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Noms de fichiers à inclure :</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Noms de fichiers à exclure :</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Choisir le texte du contenu</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Indiquez ici le texte à chercher dans le contenu des fichiers.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Écrivez chaque texte sur une ligne à part.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Texte à inclure :</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Texte à exclure :</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Indiquez ici les noms de fichiers à chercher.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Écrivez chaque nom de fichier sur une ligne à part.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Un nom de fichier convient s&apos;il correspond à au moins une expression de la liste d&apos;inclusion et à aucune de la liste d&apos;exclusion.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Un fichier convient si sa ligne correspond à au moins une expression de la liste d&apos;inclusion et à aucune de la liste d&apos;exclusion.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Choisir les dossiers</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Dossiers à inclure :</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Parcourir...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Dossiers à exclure :</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Indiquez ici dans quels dossiers chercher.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Écrivez chaque chemin de dossier sur une ligne à part.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>Un fichier convient s&apos;il se trouve dans l&apos;un des dossiers inclus et dans aucun des dossiers exclus.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Aucune application n&apos;a pu ouvrir « %1 ».</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>%1 n&apos;a pas pu être lancé.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>« %1 » n&apos;a pas pu être supprimé.</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>Le dossier de « %1 » n&apos;a pas pu être ouvert.</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Voulez-vous vraiment supprimer définitivement « %1 » ?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Voulez-vous vraiment supprimer définitivement cet élément ?</numerusform>
            <numerusform>Voulez-vous vraiment supprimer définitivement ces %n éléments ?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[Seuls les %1 premiers Mio de ce fichier de %2 Mio sont affichés.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Retour à la ligne</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Ligne entière</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>Nouvelle recherche</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Occurrences</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Sous-chaîne</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Mot entier</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Booléen</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Respecter la casse</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Tri... %1 %</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Exporter les résultats</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>Les résultats n&apos;ont pas pu être écrits dans « %1 » :
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Recherche...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Erreur dans le nom de fichier au caractère %1 : %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Erreur dans le texte du contenu au caractère %1 : %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Erreur dans le nom de fichier : %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Erreur dans le texte du contenu : %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>Recherche annulée. Trouvé : %n objet</numerusform>
            <numerusform>Recherche annulée. Trouvés : %n objets</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Trouvé : %n objet en %1 s</numerusform>
            <numerusform>Trouvés : %n objets en %1 s</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>Le dossier « %1 » n&apos;existe pas.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>Ces dossiers n&apos;existent pas : %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>« %1 »</translation>
    </message>
</context>
<context>
    <name>VolumeStateText</name>
    <message>
        <source>not chosen for indexing</source>
        <translation>non choisi pour l&apos;indexation</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>le système de fichiers ne peut pas être surveillé en entier</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>un sous-volume btrfs ne peut pas être surveillé en entier</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>%1 n&apos;a pas de numéros de fichier stables</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>une racine overlay ne peut pas être surveillée</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>un autre volume a le même numéro de série</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>son numéro de série ne peut pas être lu</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Indexé</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Mise à jour...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Chargement...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Parcouru : %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Échec : %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Parcourus lors de la recherche :</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>échec de %1</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>échec de %n volume</numerusform>
            <numerusform>échec de %n volumes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n volume parcouru</numerusform>
            <numerusform>%n volumes parcourus</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Index : prêt (%1)</translation>
    </message>
</context>
</TS>
