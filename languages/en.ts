<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Credits</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Build time: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Qt version: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>The file could not be written.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>The export was stopped before it was complete; the file was left as it was.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>Counting the items to delete...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Deleting...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Deleting... %1 of %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Do you really want to delete &quot;%1&quot; permanently?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Do you really want to delete this item permanently?</numerusform>
            <numerusform>Do you really want to delete these %n items permanently?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln file</numerusform>
            <numerusform>%Ln files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln folder</numerusform>
            <numerusform>%Ln folders</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>It holds %1 and %2 (%3), which are deleted with it.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Some folders could not be read, so there may be more.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Nothing goes to the trash: this cannot be undone.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>The deletion was stopped.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>Not everything could be deleted.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Deleted: %Ln file</numerusform>
            <numerusform>Deleted: %Ln files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln folder.</numerusform>
            <numerusform>%Ln folders.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>Not deleted:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... and %n more.</numerusform>
            <numerusform>... and %n more.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Still there:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>The expression is not complete</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>The regular expression %1 is not valid: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>&quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 follows %2 without a word between them</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>%1 has no word before it</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>The parentheses hold nothing</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 closes no &quot;(&quot;</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>%1 has no word after it</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>This &quot;(&quot; is never closed</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>&quot;!&quot; excludes nothing: write the words to leave out after it</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>Properties of %1</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Symbolic link</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Link target:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Modified:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Accessed:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Owner:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Permissions:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Various folders</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Items:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>Size of the files:</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1 (%2 byte)</numerusform>
            <numerusform>%1 (%2 bytes)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
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
        <translation>The name must not be empty.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>&quot;%1&quot; cannot be used as a name.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>A name must not contain &quot;/&quot;.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>&quot;%1&quot; already exists.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>&quot;%1&quot; could not be renamed: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Rename</translation>
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
        <translation>Path</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Created</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modified</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Last Accessed</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Matches</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Sort</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>To sort %n item by this column, its details are read from the disk first. On a slow or network disk that can take a while.

Sort it now?</numerusform>
            <numerusform>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>The command could not be carried out.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Document</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Executable</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Music</translation>
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
        <translation>Filter for %1</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Office Open XML filter</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>OpenDocument filter</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>HTML and XML filter</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Word 97-2003 and RTF filter</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Excel 97-2003 filter</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>PowerPoint 97-2003 filter</translation>
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
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Instant Search</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;New Search</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>&amp;Close Tab</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>&amp;Next Tab</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>&amp;Previous Tab</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Select &amp;All</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Copy &amp;Name</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>Copy &amp;Full Name</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Manual</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>&amp;Search Parameters</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>Copy &amp;Path</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>Copy &amp;path</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Restore</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Restore window</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>&amp;Export Results...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>&amp;Filter Bar</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>&amp;Instant Search</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Duplicate search</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Search Parameters</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Index: disabled</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Index: ready</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Index: updating...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>New search</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 is still running.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>The manual %1 could not be opened.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Export Results</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Comma separated</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>No index: your account may not start the program with root rights.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>No index: the password prompt was closed, or the password was not accepted.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>No index: the program could not be started with root rights (the log says why).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>To get one, start the program again; the password prompt needs a running polkit agent.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Every search walks the folders it is given.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Only the first match is shown.</numerusform>
            <numerusform>Only the first %n matches are shown.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Close</translation>
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
        <translation>Path</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Indexing</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>File handlers</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Search with %1...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Please choose the folder of the file database.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>The file database path must be a full path, starting with &quot;/&quot;.</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>The new file database folder must neither lie inside the old one (%1) nor hold it.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>start at login</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>the file handlers</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>These options could not be applied: %1. The log file tells why.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>the folder context menu</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>removing the old file database</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>the index settings</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Clear search history</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>Do you really want to clear search history?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>File database path</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Objects count</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>Indexing is unavailable when %1 is running without root permissions.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>the start without the password prompt</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>The folder command could not be changed; the log says why.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>The volumes cannot be listed; the log file tells why.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Built-in</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Helper program</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>Document filters installed with this program.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Launch at system startup</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Run in background</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Integrate in a folder&apos;s context menu</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Save searches in all tabs on exit</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Clear search history</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>Skip the password prompt at start</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>File database path:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Exclude paths:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Automatically index new fixed volumes</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Automatically index new removable volumes</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Index the following volumes:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Reading volumes...</translation>
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
        <translation>Handler name</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Disable filter</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Enable filters</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Content search</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>Auto-detect encoding of files without BOM</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Auto-detect and skip binary files from content searches</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Use built-in PDF converter</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>New tab</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplicate</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Close other tabs</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Properties</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Open with %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Open file location</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Copy full name</translation>
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
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Search Parameters</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Expression type:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Substring</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Whole word</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Boolean</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Case sensitive</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>In directory</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Include subfolders</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>In contents</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Scope:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Modified between</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Size range</translation>
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
        <translation>Show advanced options</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Select contents text</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Done</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Select file names</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Include file names:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Exclude file names:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Select contents text</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Here you can specify what text to search in file contents.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Enter each text string on a separate line.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Include text:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Exclude text:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Here you can specify what file names to search for.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Enter each file name on a separate line.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Select folders</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Include folder list:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Exclude folder list:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Here you can specify in what folders to search.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Enter each folder path on a separate line.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>No application could open &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>%1 could not be started.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>&quot;%1&quot; could not be deleted.</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>The folder of &quot;%1&quot; could not be opened.</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>Do you really want to delete &quot;%1&quot; permanently?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>Do you really want to delete this item permanently?</numerusform>
            <numerusform>Do you really want to delete these %n items permanently?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[Only the first %1 MiB of this file of %2 MiB are shown.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Word Wrap</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Full line</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>New search</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Matches</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Substring</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Whole word</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>Regex</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>Boolean</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>Case sensitive</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Sorting... %1%</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Export Results</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>The results could not be written to &quot;%1&quot;:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Searching...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Error in the file name at character %1: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Error in the contents text at character %1: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Error in the file name: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Error in the contents text: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>Search canceled. Found: %n object</numerusform>
            <numerusform>Search canceled. Found: %n objects</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Found: %n object in %1s</numerusform>
            <numerusform>Found: %n objects in %1s</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>The folder &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>These folders do not exist: %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>&quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>VolumeStateText</name>
    <message>
        <source>not chosen for indexing</source>
        <translation>not chosen for indexing</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>the file system cannot be watched as a whole</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>a btrfs subvolume cannot be watched as a whole</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>%1 has no stable file numbers</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>an overlay root cannot be watched</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>another volume has the same serial number</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>its serial number cannot be read</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Indexed</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Updating...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Loading...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Walked: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Failed: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Searched by walking them:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 failed</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n volume failed</numerusform>
            <numerusform>%n volumes failed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n volume walked</numerusform>
            <numerusform>%n volumes walked</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Index: ready (%1)</translation>
    </message>
</context>
</TS>
