<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="el">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Credits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Properties</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Items:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2 bytes)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Tallowquist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Del</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Search with Tallowquist Pro...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>List of IFilters installed on this computer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Built-in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Substring</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Regex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show advanced options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File satisfies the criteria if it&apos;s line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you really want to delete these %1 items permanently?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
