<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>致谢</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>构建时间：%1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Qt 版本：%1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>无法写入文件。</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>导出在完成前被停止；文件保持原样。</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>正在统计要删除的项目...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>正在删除...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>正在删除... %1 / %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>确实要永久删除文件夹“%1”及其中的所有内容吗？</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>确实要永久删除“%1”吗？</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>确实要永久删除这 %n 个项目吗？</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln 个文件</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln 个文件夹</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>其中有 %1 和 %2（%3），将一并删除。</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>其中的文件夹将连同内容一起删除：共 %1 和 %2（%3）。</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>有些文件夹无法读取，实际可能更多。</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>不会移到回收站：此操作无法撤销。</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>删除已停止。</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>未能全部删除。</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>已删除：%Ln 个文件</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln 个文件夹。</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>未删除：</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... 以及另外 %n 个。</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>仍然存在：</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>表达式不完整</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>正则表达式 %1 无效：%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%1 跟在 %2 之后，中间缺少“and”或“or”</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%1 跟在 %2 之后，中间缺少词语</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>%1 之前没有词语</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>括号内为空</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 没有对应的“(”</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>%1 之后没有词语</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>这个“(”没有闭合</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>“!”没有排除任何内容：请在其后写上要排除的词语</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>%1 的属性</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名称：</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>文件夹：</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>类型：</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>文件不存在。</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>符号链接</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>大小：</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>链接目标：</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>修改时间：</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>访问时间：</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>所有者：</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>权限：</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>多个文件夹</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>项目数：</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>文件大小：</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1（%2 字节）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n 字节</numerusform>
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
        <translation>名称不能为空。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>“%1”不能用作名称。</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>名称不能包含“/”。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>“%1”已存在。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>无法重命名“%1”：%2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>重命名</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>路径</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>创建时间</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>修改时间</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>访问时间</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>匹配</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>排序</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>按此列对 %n 个项目排序需要先从磁盘读取它们的信息。在慢速磁盘或网络磁盘上可能需要一些时间。

现在排序吗？</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>无法执行该命令。</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>文档</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>程序</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>音乐</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>视频</translation>
    </message>
</context>
<context>
    <name>FilterListModel</name>
    <message>
        <source>Filter for %1</source>
        <translation>%1 的筛选器</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Office Open XML 筛选器</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>OpenDocument 筛选器</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>HTML 和 XML 筛选器</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Word 97-2003 和 RTF 筛选器</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Excel 97-2003 筛选器</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>PowerPoint 97-2003 筛选器</translation>
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
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>查看(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>工具(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>即时搜索</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>选项(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>新建搜索(&amp;N)</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>关闭标签页(&amp;C)</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>下一个标签页(&amp;N)</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>上一个标签页(&amp;P)</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>全选(&amp;A)</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>复制名称(&amp;N)</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>复制完整名称(&amp;F)</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>手册(&amp;M)</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>搜索条件(&amp;S)</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>复制路径(&amp;P)</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>复制路径(&amp;P)</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>还原(&amp;R)</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>还原窗口</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>&amp;Export Results...</source>
        <translation>导出结果(&amp;E)...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>筛选栏(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>即时搜索(&amp;I)</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>复制搜索</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>工具栏(&amp;T)</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>搜索条件</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>索引：已禁用</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>索引：就绪</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>索引：正在更新...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>新建搜索</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 仍在运行。</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>无法打开手册 %1。</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>导出结果</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>逗号分隔</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>无索引：您的帐户不能以 root 权限启动本程序。</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>如需索引，管理员可以将您的帐户加入 sudo（或 wheel、admin）组。</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>无索引：密码提示已关闭，或密码未被接受。</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>如需索引，请重新启动程序并输入密码。管理员也可以以 root 身份运行“tallowquist-pro -enable-skip-uac”，使管理员无需密码即可启动它。</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>无索引：无法以 root 权限启动程序（原因见日志）。</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>如需索引，请重新启动程序；密码提示需要正在运行的 polkit 代理。</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>每次搜索都会遍历所给的文件夹。</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>只显示前 %n 个匹配。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>路径</translation>
    </message>
    <message>
        <source>General</source>
        <translation>常规</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>索引</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>文件筛选器</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>用 %1 搜索...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>请选择文件数据库所在的文件夹。</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>文件数据库路径必须是以“/”开头的完整路径。</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>新的文件数据库文件夹既不能位于旧文件夹（%1）内，也不能包含它。</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>文件筛选器</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>无法应用以下选项：%1。原因见日志文件。</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>文件夹右键菜单</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>删除旧的文件数据库</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>索引设置</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>清除搜索历史</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>确实要清除搜索历史吗？</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>文件数据库路径</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>卷</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>对象数</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>%1 在没有 root 权限的情况下运行时无法使用索引。</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>启动时不询问密码</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>文件夹命令未更改：这需要 root 权限，而密码未输入或未被接受。

要更改它，请再次勾选该框并输入密码，或请管理员以 root 身份运行“%1”。</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>文件夹命令未更改：无法以 root 权限启动程序（需要 pkexec 和密码提示）。

管理员可以以 root 身份运行“%1”。</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>无法更改文件夹命令；原因见日志。</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>无法列出卷；原因见日志文件。</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>内置</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>辅助程序</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>随本程序安装的文档筛选器。</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>在后台运行</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>添加到文件夹右键菜单</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>退出时保存所有标签页的搜索</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>清除搜索历史</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>启动时不询问密码</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>文件数据库路径：</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>排除的路径：</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>移除</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>自动索引新的固定卷</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>自动索引新的可移动卷</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>索引以下卷：</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>正在读取卷...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>扩展名</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>筛选器名称</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>禁用筛选器</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>启用筛选器</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>内容搜索</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>自动检测无 BOM 文件的编码</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>自动检测二进制文件并在内容搜索中跳过</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>使用内置 PDF 转换器</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>新建标签页</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>关闭其他标签页</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>属性(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>打开(&amp;O)</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>用 %1 打开</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>打开文件所在位置</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>复制完整名称</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>应用</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>搜索条件</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>文件名：</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>表达式类型：</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>子串</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>全词</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>正则</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>布尔</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>区分大小写</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>在文件夹中</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>包括子文件夹</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>在内容中</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>范围：</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>行</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>修改日期介于</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>大小范围</translation>
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
        <translation>显示高级选项</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>选择内容文本</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>选择文件名</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>包括的文件名：</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>排除的文件名：</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>选择内容文本</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>在此指定要在文件内容中搜索的文本。</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>每行输入一段文本。</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>包括的文本：</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>排除的文本：</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>在此指定要搜索的文件名。</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>每行输入一个文件名。</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>文件名与包括列表中至少一个表达式匹配、且不与排除列表中任何表达式匹配时，即符合条件。</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>文件中的某一行与包括列表中至少一个表达式匹配、且不与排除列表中任何表达式匹配时，即符合条件。</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>选择文件夹</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>包括的文件夹：</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>排除的文件夹：</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>在此指定要在哪些文件夹中搜索。</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>每行输入一个文件夹路径。</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>文件位于某个包括的文件夹中、且不在任何排除的文件夹中时，即符合条件。</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>没有应用程序能打开“%1”。</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>无法启动 %1。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>无法删除“%1”。</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>无法打开“%1”所在的文件夹。</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>确实要永久删除“%1”吗？</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>确实要永久删除这 %n 个项目吗？</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[此文件共 %2 MiB，仅显示前 %1 MiB。]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>自动换行</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>整行</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>新建搜索</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>匹配</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>子串</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>全词</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>正则</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>布尔</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>区分大小写</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>正在排序... %1%</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>导出结果</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>无法将结果写入“%1”：
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>正在搜索...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>文件名第 %1 个字符处有错误：%2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>内容文本第 %1 个字符处有错误：%2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>文件名有错误：%1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>内容文本有错误：%1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>搜索已取消。已找到：%n 个对象</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>已找到：%n 个对象，用时 %1 秒</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>文件夹“%1”不存在。</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>以下文件夹不存在：%1。</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>“%1”</translation>
    </message>
</context>
<context>
    <name>VolumeStateText</name>
    <message>
        <source>not chosen for indexing</source>
        <translation>未选择建立索引</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>无法整体监视该文件系统</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>无法整体监视 btrfs 子卷</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>%1 没有稳定的文件编号</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>无法监视 overlay 根目录</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>另一个卷具有相同的序列号</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>无法读取其序列号</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>已索引</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>正在更新...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>正在加载...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>遍历搜索：%1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>失败：%1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>通过遍历搜索：</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 失败</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n 个卷失败</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n 个卷遍历搜索</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>索引：就绪（%1）</translation>
    </message>
</context>
</TS>
