<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Créditos</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>Compilado: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Versión de Qt: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>No se pudo escribir el archivo.</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>La exportación se detuvo antes de terminar; el archivo quedó como estaba.</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>Contando los elementos que se eliminarán...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>Eliminando...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>Eliminando... %1 de %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>¿Seguro que quiere eliminar para siempre la carpeta «%1» y todo su contenido?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>¿Seguro que quiere eliminar «%1» para siempre?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>¿Seguro que quiere eliminar este elemento para siempre?</numerusform>
            <numerusform>¿Seguro que quiere eliminar estos %n elementos para siempre?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln archivo</numerusform>
            <numerusform>%Ln archivos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln carpeta</numerusform>
            <numerusform>%Ln carpetas</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>Contiene %1 y %2 (%3), que se eliminarán con ella.</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>Las carpetas se eliminan con todo su contenido: %1 y %2 en total (%3).</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>Algunas carpetas no se pudieron leer, así que puede haber más.</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>Nada va a la papelera: no se puede deshacer.</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>La eliminación se detuvo.</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>No se pudo eliminar todo.</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>Eliminado: %Ln archivo</numerusform>
            <numerusform>Eliminados: %Ln archivos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln carpeta.</numerusform>
            <numerusform>%Ln carpetas.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>No eliminados:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... y %n más.</numerusform>
            <numerusform>... y %n más.</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>Siguen ahí:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>La expresión está incompleta</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>La expresión regular %1 no es válida: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>«%1»</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 sigue a %2 sin «and» ni «or» entre ellos</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 sigue a %2 sin ninguna palabra entre ellos</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>%1 no tiene ninguna palabra delante</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>Los paréntesis están vacíos</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 no cierra ningún «(»</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>%1 no tiene ninguna palabra detrás</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>Este «(» nunca se cierra</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>«!» no excluye nada: escriba detrás las palabras que se deben excluir</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>Propiedades de %1</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Propiedades</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Nombre:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Carpeta:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Tipo:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>El archivo no existe.</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>Enlace simbólico</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Tamaño:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>Destino del enlace:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>Modificado:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>Último acceso:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Propietario:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>Permisos:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>Varias carpetas</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>Elementos:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>Tamaño de los archivos:</translation>
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
        <translation>El nombre no puede estar vacío.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>«%1» no se puede usar como nombre.</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>Un nombre no puede contener «/».</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>«%1» ya existe.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>No se pudo cambiar el nombre de «%1»: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Cambiar nombre</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Ruta</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Creado</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>Modificado</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>Último acceso</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Coincidencias</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>Ordenar</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>Para ordenar %n elemento por esta columna, primero se leen sus datos del disco. En un disco lento o de red puede tardar.

¿Ordenar ahora?</numerusform>
            <numerusform>Para ordenar %n elementos por esta columna, primero se leen sus datos del disco. En un disco lento o de red puede tardar.

¿Ordenar ahora?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>No se pudo ejecutar la orden.</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>Todo</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Carpeta</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Documento</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>Ejecutable</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Imagen</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>Música</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>Vídeo</translation>
    </message>
</context>
<context>
    <name>FilterListModel</name>
    <message>
        <source>Filter for %1</source>
        <translation>Filtro para %1</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Filtro de Office Open XML</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>Filtro de OpenDocument</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>Filtro de HTML y XML</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Filtro de Word 97-2003 y RTF</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Filtro de Excel 97-2003</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>Filtro de PowerPoint 97-2003</translation>
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
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ver</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Herramientas</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Idioma</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barra de herramientas</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>Búsqueda instantánea</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>&amp;Opciones...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>&amp;Nueva búsqueda</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>&amp;Cerrar pestaña</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>Pestaña &amp;siguiente</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>Pestaña &amp;anterior</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cor&amp;tar</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Eliminar</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Seleccionar &amp;todo</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Copiar &amp;nombre</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>Copiar nombre &amp;completo</translation>
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
        <translation>&amp;Parámetros de búsqueda</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>Copiar &amp;ruta</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>Copiar &amp;ruta</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Restaurar</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>Restaurar la ventana</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimizar</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>&amp;Exportar resultados...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>Barra de &amp;filtros</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>Búsqueda &amp;instantánea</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>Duplicar búsqueda</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Barra de herramientas</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>Parámetros de búsqueda</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>Índice: desactivado</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>Índice: listo</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>Índice: actualizando...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>Nueva búsqueda</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 sigue en ejecución.</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>No se pudo abrir el manual %1.</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Exportar resultados</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>Separado por comas</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>Sin índice: su cuenta no puede iniciar el programa con permisos de root.</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>Para tenerlo, un administrador puede añadir su cuenta al grupo sudo (o wheel, o admin).</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>Sin índice: se cerró la petición de contraseña o la contraseña no fue aceptada.</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>Para tenerlo, vuelva a iniciar el programa y escriba su contraseña. Un administrador también puede ejecutar «tallowquist-pro -enable-skip-uac» como root, para que los administradores lo inicien sin contraseña.</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>Sin índice: no se pudo iniciar el programa con permisos de root (el registro indica el motivo).</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>Para tenerlo, vuelva a iniciar el programa; la petición de contraseña necesita un agente de polkit en marcha.</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>Cada búsqueda recorre las carpetas indicadas.</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>Solo se muestra la primera coincidencia.</numerusform>
            <numerusform>Solo se muestran las primeras %n coincidencias.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Opciones</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Ruta</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>Indexación</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Búsqueda</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>Filtros de archivos</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>Buscar con %1...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>Elija la carpeta de la base de datos de archivos.</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>La ruta de la base de datos de archivos debe ser completa y empezar por «/».</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>La nueva carpeta de la base de datos no puede estar dentro de la anterior (%1) ni contenerla.</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>el inicio al iniciar sesión</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>los filtros de archivos</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>No se pudieron aplicar estas opciones: %1. El archivo de registro indica el motivo.</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>el menú contextual de las carpetas</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>la eliminación de la base de datos anterior</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>los ajustes del índice</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Borrar historial de búsqueda</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>¿Seguro que quiere borrar el historial de búsqueda?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>Ruta de la base de datos de archivos</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volumen</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>Número de objetos</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>La indexación no está disponible si %1 se ejecuta sin permisos de root.</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>el inicio sin pedir la contraseña</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>La orden de las carpetas no se cambió: necesita permisos de root y la contraseña no se dio o no fue aceptada.

Para cambiarla, vuelva a marcar la casilla y escriba la contraseña, o pida a un administrador que ejecute «%1» como root.</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>La orden de las carpetas no se cambió: no se pudo iniciar el programa con permisos de root (hacen falta pkexec y una petición de contraseña).

Un administrador puede ejecutar «%1» como root.</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>No se pudo cambiar la orden de las carpetas; el registro indica el motivo.</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>No se pueden listar los volúmenes; el archivo de registro indica el motivo.</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Estado</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>Integrados</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>Programa auxiliar</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>Filtros de documentos instalados con este programa.</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>Iniciar al iniciar sesión</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>Ejecutar en segundo plano</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>Añadir al menú contextual de las carpetas</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>Guardar las búsquedas de todas las pestañas al salir</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>Borrar historial de búsqueda</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>Iniciar sin pedir la contraseña</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>Ruta de la base de datos de archivos:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Examinar...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>Rutas excluidas:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>Indexar automáticamente los nuevos volúmenes fijos</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>Indexar automáticamente los nuevos volúmenes extraíbles</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>Indexar estos volúmenes:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>Leyendo volúmenes...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>Extensión</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>Nombre del filtro</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>Desactivar filtro</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>Activar filtros</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>Búsqueda en el contenido</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>Detectar la codificación de los archivos sin BOM</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>Omitir los archivos binarios al buscar</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>Usar el conversor de PDF integrado</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>Nueva pestaña</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplicar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>Cerrar las demás pestañas</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cor&amp;tar</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Eliminar</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>&amp;Propiedades</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Abrir</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>Abrir con %1</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>Abrir ubicación del archivo</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>Copiar nombre completo</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Sí</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Aplicar</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>Parámetros de búsqueda</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Nombre de archivo:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>Tipo de expresión:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Subcadena</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Palabra completa</translation>
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
        <translation>Distinguir mayúsculas</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>En la carpeta</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>Incluir subcarpetas</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>En el contenido</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>Ámbito:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Línea</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>Modificado entre</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>Tamaño entre</translation>
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
        <translation>Opciones avanzadas</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Buscar</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Elegir el texto del contenido</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Hecho</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>Elegir nombres de archivo</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>Nombres de archivo que incluir:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>Nombres de archivo que excluir:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>Elegir el texto del contenido</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>Indique aquí qué texto buscar en el contenido de los archivos.</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>Escriba cada texto en una línea aparte.</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>Texto que incluir:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>Texto que excluir:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>Indique aquí qué nombres de archivo buscar.</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>Escriba cada nombre de archivo en una línea aparte.</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Un nombre de archivo cumple los criterios si coincide con al menos una expresión de la lista de inclusión y con ninguna de la lista de exclusión.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>Un archivo cumple los criterios si su línea coincide con al menos una expresión de la lista de inclusión y con ninguna de la lista de exclusión.</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>Elegir carpetas</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>Carpetas que incluir:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Examinar...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>Carpetas que excluir:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>Indique aquí en qué carpetas buscar.</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>Escriba cada ruta de carpeta en una línea aparte.</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>Un archivo cumple los criterios si está en una de las carpetas incluidas y en ninguna de las excluidas.</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>Ninguna aplicación pudo abrir «%1».</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>No se pudo iniciar %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>No se pudo eliminar «%1».</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>No se pudo abrir la carpeta de «%1».</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>¿Seguro que quiere eliminar «%1» para siempre?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>¿Seguro que quiere eliminar este elemento para siempre?</numerusform>
            <numerusform>¿Seguro que quiere eliminar estos %n elementos para siempre?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[Solo se muestran los primeros %1 MiB de este archivo de %2 MiB.]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>Ajuste de línea</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>Línea completa</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>Nueva búsqueda</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>Coincidencias</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>Subcadena</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>Palabra completa</translation>
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
        <translation>Distinguir mayúsculas</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>Ordenando... %1 %</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>Exportar resultados</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>No se pudieron escribir los resultados en «%1»:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Buscando...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>Error en el nombre de archivo en el carácter %1: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>Error en el texto del contenido en el carácter %1: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>Error en el nombre de archivo: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>Error en el texto del contenido: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>Búsqueda cancelada. Encontrado: %n objeto</numerusform>
            <numerusform>Búsqueda cancelada. Encontrados: %n objetos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>Encontrado: %n objeto en %1 s</numerusform>
            <numerusform>Encontrados: %n objetos en %1 s</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>La carpeta «%1» no existe.</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>Estas carpetas no existen: %1.</translation>
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
        <translation>no elegido para indexar</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>el sistema de archivos no se puede vigilar entero</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>un subvolumen btrfs no se puede vigilar entero</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>%1 no tiene números de archivo estables</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>una raíz overlay no se puede vigilar</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>otro volumen tiene el mismo número de serie</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>no se puede leer su número de serie</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>Indexado</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>Actualizando...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Cargando...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>Recorrido: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>Se buscan recorriéndolos:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 falló</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n volumen falló</numerusform>
            <numerusform>%n volúmenes fallaron</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n volumen recorrido</numerusform>
            <numerusform>%n volúmenes recorridos</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>Índice: listo (%1)</translation>
    </message>
</context>
</TS>
