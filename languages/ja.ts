<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>クレジット</translation>
    </message>
    <message>
        <source>Build time: %1</source>
        <translation>ビルド日時: %1</translation>
    </message>
    <message>
        <source>Qt version: %1</source>
        <translation>Qt バージョン: %1</translation>
    </message>
</context>
<context>
    <name>CsvExporter</name>
    <message>
        <source>The file could not be written.</source>
        <translation>ファイルに書き込めませんでした。</translation>
    </message>
    <message>
        <source>The export was stopped before it was complete; the file was left as it was.</source>
        <translation>エクスポートは完了前に中止されました。ファイルは元のままです。</translation>
    </message>
</context>
<context>
    <name>DeleteJob</name>
    <message>
        <source>Counting the items to delete...</source>
        <translation>削除する項目を数えています...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Deleting...</source>
        <translation>削除しています...</translation>
    </message>
    <message>
        <source>Deleting... %1 of %2</source>
        <translation>削除しています... %1 / %2</translation>
    </message>
    <message>
        <source>Do you really want to delete the folder &quot;%1&quot; and everything in it permanently?</source>
        <translation>フォルダー「%1」とその中身をすべて完全に削除しますか?</translation>
    </message>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>「%1」を完全に削除しますか?</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>これら %n 個の項目を完全に削除しますか?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln files</source>
        <translation>
            <numerusform>%Ln 個のファイル</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders</source>
        <translation>
            <numerusform>%Ln 個のフォルダー</numerusform>
        </translation>
    </message>
    <message>
        <source>It holds %1 and %2 (%3), which are deleted with it.</source>
        <translation>中には %1 と %2 (%3) があり、一緒に削除されます。</translation>
    </message>
    <message>
        <source>The folders among them are deleted with everything in them: %1 and %2 in all (%3).</source>
        <translation>フォルダーは中身ごと削除されます: 合計 %1 と %2 (%3)。</translation>
    </message>
    <message>
        <source>Some folders could not be read, so there may be more.</source>
        <translation>読めないフォルダーがあったため、実際はもっと多い可能性があります。</translation>
    </message>
    <message>
        <source>Nothing goes to the trash: this cannot be undone.</source>
        <translation>ゴミ箱には移されません。元に戻せません。</translation>
    </message>
    <message>
        <source>The deletion was stopped.</source>
        <translation>削除は中止されました。</translation>
    </message>
    <message>
        <source>Not everything could be deleted.</source>
        <translation>一部を削除できませんでした。</translation>
    </message>
    <message numerus="yes">
        <source>Deleted: %Ln files</source>
        <translation>
            <numerusform>削除済み: %Ln 個のファイル</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln folders.</source>
        <translation>
            <numerusform>%Ln 個のフォルダー。</numerusform>
        </translation>
    </message>
    <message>
        <source>Not deleted:</source>
        <translation>削除されなかった項目:</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more.</source>
        <translation>
            <numerusform>... ほか %n 件。</numerusform>
        </translation>
    </message>
    <message>
        <source>Still there:</source>
        <translation>残っている項目:</translation>
    </message>
</context>
<context>
    <name>ExpressionCheck</name>
    <message>
        <source>The expression is not complete</source>
        <translation>式が完結していません</translation>
    </message>
    <message>
        <source>The regular expression %1 is not valid: %2</source>
        <translation>正規表現 %1 は無効です: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>「%1」</translation>
    </message>
    <message>
        <source>%1 follows %2 without &quot;and&quot; or &quot;or&quot; between them</source>
        <translation>%2 の後に「and」も「or」もなく %1 が続いています</translation>
    </message>
    <message>
        <source>%1 follows %2 without a word between them</source>
        <translation>%2 の後に語がないまま %1 が続いています</translation>
    </message>
    <message>
        <source>%1 has no word before it</source>
        <translation>%1 の前に語がありません</translation>
    </message>
    <message>
        <source>The parentheses hold nothing</source>
        <translation>括弧の中が空です</translation>
    </message>
    <message>
        <source>%1 closes no &quot;(&quot;</source>
        <translation>%1 に対応する「(」がありません</translation>
    </message>
    <message>
        <source>%1 has no word after it</source>
        <translation>%1 の後に語がありません</translation>
    </message>
    <message>
        <source>This &quot;(&quot; is never closed</source>
        <translation>この「(」が閉じられていません</translation>
    </message>
    <message>
        <source>&quot;!&quot; excludes nothing: write the words to leave out after it</source>
        <translation>「!」の後に除外する語がありません。除外する語を続けて書いてください</translation>
    </message>
</context>
<context>
    <name>FilePropertiesDialog</name>
    <message>
        <source>Properties of %1</source>
        <translation>%1 のプロパティ</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>プロパティ</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名前:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>フォルダー:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>種類:</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>ファイルが存在しません。</translation>
    </message>
    <message>
        <source>Symbolic link</source>
        <translation>シンボリックリンク</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>サイズ:</translation>
    </message>
    <message>
        <source>Link target:</source>
        <translation>リンク先:</translation>
    </message>
    <message>
        <source>Modified:</source>
        <translation>更新日時:</translation>
    </message>
    <message>
        <source>Accessed:</source>
        <translation>アクセス日時:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>所有者:</translation>
    </message>
    <message>
        <source>Permissions:</source>
        <translation>アクセス権:</translation>
    </message>
    <message>
        <source>Various folders</source>
        <translation>複数のフォルダー</translation>
    </message>
    <message>
        <source>Items:</source>
        <translation>項目数:</translation>
    </message>
    <message>
        <source>Size of the files:</source>
        <translation>ファイルのサイズ:</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2 bytes)</source>
        <translation>
            <numerusform>%1 (%2 バイト)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n バイト</numerusform>
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
        <translation>名前を空にすることはできません。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be used as a name.</source>
        <translation>「%1」は名前に使えません。</translation>
    </message>
    <message>
        <source>A name must not contain &quot;/&quot;.</source>
        <translation>名前に「/」は使えません。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; already exists.</source>
        <translation>「%1」は既に存在します。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be renamed: %2</source>
        <translation>「%1」の名前を変更できませんでした: %2</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>名前の変更</translation>
    </message>
</context>
<context>
    <name>FileTableColumns</name>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>パス</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>サイズ</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>作成日時</translation>
    </message>
    <message>
        <source>Modified</source>
        <translation>更新日時</translation>
    </message>
    <message>
        <source>Last Accessed</source>
        <translation>アクセス日時</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>種類</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>一致</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Sort</source>
        <translation>並べ替え</translation>
    </message>
    <message numerus="yes">
        <source>To sort %n items by this column, their details are read from the disk first. On a slow or network disk that can take a while.

Sort them now?</source>
        <translation>
            <numerusform>この列で %n 個の項目を並べ替えるには、まずディスクから各項目の情報を読み込みます。低速なディスクやネットワークディスクでは時間がかかることがあります。

今すぐ並べ替えますか?</numerusform>
        </translation>
    </message>
    <message>
        <source>The command could not be carried out.</source>
        <translation>コマンドを実行できませんでした。</translation>
    </message>
</context>
<context>
    <name>FilterBar</name>
    <message>
        <source>All</source>
        <translation>すべて</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>フォルダー</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>文書</translation>
    </message>
    <message>
        <source>Executable</source>
        <translation>プログラム</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>画像</translation>
    </message>
    <message>
        <source>Music</source>
        <translation>音楽</translation>
    </message>
    <message>
        <source>Video</source>
        <translation>動画</translation>
    </message>
</context>
<context>
    <name>FilterListModel</name>
    <message>
        <source>Filter for %1</source>
        <translation>%1 用フィルター</translation>
    </message>
    <message>
        <source>Office Open XML filter</source>
        <translation>Office Open XML フィルター</translation>
    </message>
    <message>
        <source>OpenDocument filter</source>
        <translation>OpenDocument フィルター</translation>
    </message>
    <message>
        <source>HTML and XML filter</source>
        <translation>HTML/XML フィルター</translation>
    </message>
    <message>
        <source>Word 97-2003 and RTF filter</source>
        <translation>Word 97-2003/RTF フィルター</translation>
    </message>
    <message>
        <source>Excel 97-2003 filter</source>
        <translation>Excel 97-2003 フィルター</translation>
    </message>
    <message>
        <source>PowerPoint 97-2003 filter</source>
        <translation>PowerPoint 97-2003 フィルター</translation>
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
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>ツール(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>言語(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>ツールバー</translation>
    </message>
    <message>
        <source>Instant Search</source>
        <translation>クイック検索</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <translation>オプション(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;New Search</source>
        <translation>新しい検索(&amp;N)</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>&amp;Close Tab</source>
        <translation>タブを閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>Ctrl+W</source>
        <translation>Ctrl+W</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>次のタブ(&amp;N)</translation>
    </message>
    <message>
        <source>Ctrl+Tab</source>
        <translation>Ctrl+Tab</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>前のタブ(&amp;P)</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Tab</source>
        <translation>Ctrl+Shift+Tab</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>バージョン情報(&amp;A)</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>切り取り(&amp;T)</translation>
    </message>
    <message>
        <source>Ctrl+X</source>
        <translation>Ctrl+X</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>コピー(&amp;C)</translation>
    </message>
    <message>
        <source>Ctrl+C</source>
        <translation>Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>削除(&amp;D)</translation>
    </message>
    <message>
        <source>Del</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>すべて選択(&amp;A)</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>名前をコピー(&amp;N)</translation>
    </message>
    <message>
        <source>Alt+Ins</source>
        <translation>Alt+Ins</translation>
    </message>
    <message>
        <source>Copy &amp;Full Name</source>
        <translation>フルネームをコピー(&amp;F)</translation>
    </message>
    <message>
        <source>Alt+Shift+Ins</source>
        <translation>Alt+Shift+Ins</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>マニュアル(&amp;M)</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>&amp;Search Parameters</source>
        <translation>検索条件(&amp;S)</translation>
    </message>
    <message>
        <source>Copy &amp;Path</source>
        <translation>パスをコピー(&amp;P)</translation>
    </message>
    <message>
        <source>Copy &amp;path</source>
        <translation>パスをコピー(&amp;P)</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Ins</source>
        <translation>Ctrl+Alt+Ins</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>元に戻す(&amp;R)</translation>
    </message>
    <message>
        <source>Restore window</source>
        <translation>ウィンドウを元に戻す</translation>
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
        <translation>結果をエクスポート(&amp;E)...</translation>
    </message>
    <message>
        <source>&amp;Filter Bar</source>
        <translation>フィルターバー(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Instant Search</source>
        <translation>クイック検索(&amp;I)</translation>
    </message>
    <message>
        <source>Duplicate search</source>
        <translation>検索を複製</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>ツールバー(&amp;T)</translation>
    </message>
    <message>
        <source>Search Parameters</source>
        <translation>検索条件</translation>
    </message>
    <message>
        <source>Index: disabled</source>
        <translation>インデックス: 無効</translation>
    </message>
    <message>
        <source>Index: ready</source>
        <translation>インデックス: 準備完了</translation>
    </message>
    <message>
        <source>Index: updating...</source>
        <translation>インデックス: 更新中...</translation>
    </message>
    <message>
        <source>New search</source>
        <translation>新しい検索</translation>
    </message>
    <message>
        <source>%1 is still running.</source>
        <translation>%1 は実行中です。</translation>
    </message>
    <message>
        <source>Tallowquist Pro</source>
        <translation>Tallowquist Pro</translation>
    </message>
    <message>
        <source>The manual %1 could not be opened.</source>
        <translation>マニュアル %1 を開けませんでした。</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>結果のエクスポート</translation>
    </message>
    <message>
        <source>%1 (*.csv)</source>
        <translation>%1 (*.csv)</translation>
    </message>
    <message>
        <source>Comma separated</source>
        <translation>カンマ区切り</translation>
    </message>
    <message>
        <source>No index: your account may not start the program with root rights.</source>
        <translation>インデックスなし: このアカウントは root 権限でプログラムを起動できません。</translation>
    </message>
    <message>
        <source>To get one, an administrator can add your account to the group sudo (or wheel, or admin).</source>
        <translation>インデックスを使うには、管理者がこのアカウントを sudo (または wheel、admin) グループに追加してください。</translation>
    </message>
    <message>
        <source>No index: the password prompt was closed, or the password was not accepted.</source>
        <translation>インデックスなし: パスワードの入力画面が閉じられたか、パスワードが受け付けられませんでした。</translation>
    </message>
    <message>
        <source>To get one, start the program again and enter your password. An administrator can also run &quot;tallowquist-pro -enable-skip-uac&quot; as root, so that administrators start it without a password.</source>
        <translation>インデックスを使うには、プログラムを再起動してパスワードを入力してください。管理者が root で「tallowquist-pro -enable-skip-uac」を実行すると、管理者はパスワードなしで起動できるようになります。</translation>
    </message>
    <message>
        <source>No index: the program could not be started with root rights (the log says why).</source>
        <translation>インデックスなし: プログラムを root 権限で起動できませんでした (理由はログにあります)。</translation>
    </message>
    <message>
        <source>To get one, start the program again; the password prompt needs a running polkit agent.</source>
        <translation>インデックスを使うには、プログラムを再起動してください。パスワードの入力には polkit エージェントが動作している必要があります。</translation>
    </message>
    <message>
        <source>Every search walks the folders it is given.</source>
        <translation>すべての検索は指定されたフォルダーをたどります。</translation>
    </message>
</context>
<context>
    <name>MatchesTextView</name>
    <message numerus="yes">
        <source>Only the first %n matches are shown.</source>
        <translation>
            <numerusform>最初の %n 件の一致だけを表示しています。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoticeBar</name>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>オプション</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>パス</translation>
    </message>
    <message>
        <source>General</source>
        <translation>全般</translation>
    </message>
    <message>
        <source>Indexing</source>
        <translation>インデックス</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>File handlers</source>
        <translation>ファイルフィルター</translation>
    </message>
    <message>
        <source>Search with %1...</source>
        <translation>%1 で検索...</translation>
    </message>
    <message>
        <source>Please choose the folder of the file database.</source>
        <translation>ファイルデータベースのフォルダーを選んでください。</translation>
    </message>
    <message>
        <source>The file database path must be a full path, starting with &quot;/&quot;.</source>
        <translation>ファイルデータベースのパスは「/」で始まる完全なパスでなければなりません。</translation>
    </message>
    <message>
        <source>The new file database folder must neither lie inside the old one (%1) nor hold it.</source>
        <translation>新しいファイルデータベースのフォルダーは、古いフォルダー (%1) の中にあっても、それを含んでいてもいけません。</translation>
    </message>
    <message>
        <source>start at login</source>
        <translation>ログイン時の起動</translation>
    </message>
    <message>
        <source>the file handlers</source>
        <translation>ファイルフィルター</translation>
    </message>
    <message>
        <source>These options could not be applied: %1. The log file tells why.</source>
        <translation>次のオプションを適用できませんでした: %1。理由はログファイルにあります。</translation>
    </message>
    <message>
        <source>the folder context menu</source>
        <translation>フォルダーのコンテキストメニュー</translation>
    </message>
    <message>
        <source>removing the old file database</source>
        <translation>古いファイルデータベースの削除</translation>
    </message>
    <message>
        <source>the index settings</source>
        <translation>インデックスの設定</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>検索履歴を消去</translation>
    </message>
    <message>
        <source>Do you really want to clear search history?</source>
        <translation>検索履歴を消去しますか?</translation>
    </message>
    <message>
        <source>File database path</source>
        <translation>ファイルデータベースのパス</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>ボリューム</translation>
    </message>
    <message>
        <source>Objects count</source>
        <translation>オブジェクト数</translation>
    </message>
    <message>
        <source>Indexing is unavailable when %1 is running without root permissions.</source>
        <translation>%1 が root 権限なしで動作しているときはインデックスを使えません。</translation>
    </message>
    <message>
        <source>the start without the password prompt</source>
        <translation>パスワードを尋ねない起動</translation>
    </message>
    <message>
        <source>The folder command was not changed: that needs root rights, and the password was not given or not accepted.

To change it, tick the box again and enter the password, or ask an administrator to run &quot;%1&quot; as root.</source>
        <translation>フォルダーのコマンドは変更されませんでした: root 権限が必要ですが、パスワードが入力されなかったか、受け付けられませんでした。

変更するには、もう一度チェックを入れてパスワードを入力するか、管理者に root で「%1」を実行するよう依頼してください。</translation>
    </message>
    <message>
        <source>The folder command was not changed: the program could not be started with root rights (pkexec and a password prompt are needed).

An administrator can run &quot;%1&quot; as root.</source>
        <translation>フォルダーのコマンドは変更されませんでした: プログラムを root 権限で起動できませんでした (pkexec とパスワードの入力画面が必要です)。

管理者は root で「%1」を実行できます。</translation>
    </message>
    <message>
        <source>The folder command could not be changed; the log says why.</source>
        <translation>フォルダーのコマンドを変更できませんでした。理由はログにあります。</translation>
    </message>
    <message>
        <source>The volumes cannot be listed; the log file tells why.</source>
        <translation>ボリュームを一覧表示できません。理由はログファイルにあります。</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状態</translation>
    </message>
</context>
<context>
    <name>OptionsFilters</name>
    <message>
        <source>Built-in</source>
        <translation>内蔵</translation>
    </message>
    <message>
        <source>Helper program</source>
        <translation>ヘルパープログラム</translation>
    </message>
    <message>
        <source>Document filters installed with this program.</source>
        <translation>このプログラムと共にインストールされた文書フィルター。</translation>
    </message>
</context>
<context>
    <name>OptionsGeneral</name>
    <message>
        <source>Launch at system startup</source>
        <translation>ログイン時に起動</translation>
    </message>
    <message>
        <source>Run in background</source>
        <translation>バックグラウンドで実行</translation>
    </message>
    <message>
        <source>Integrate in a folder&apos;s context menu</source>
        <translation>フォルダーのコンテキストメニューに追加</translation>
    </message>
    <message>
        <source>Save searches in all tabs on exit</source>
        <translation>終了時にすべてのタブの検索を保存</translation>
    </message>
    <message>
        <source>Clear search history</source>
        <translation>検索履歴を消去</translation>
    </message>
    <message>
        <source>Skip the password prompt at start</source>
        <translation>起動時にパスワードを尋ねない</translation>
    </message>
</context>
<context>
    <name>OptionsIndexing</name>
    <message>
        <source>File database path:</source>
        <translation>ファイルデータベースのパス:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>参照...</translation>
    </message>
    <message>
        <source>Exclude paths:</source>
        <translation>除外するパス:</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Automatically index new fixed volumes</source>
        <translation>新しい固定ボリュームを自動的にインデックス化</translation>
    </message>
    <message>
        <source>Automatically index new removable volumes</source>
        <translation>新しいリムーバブルボリュームを自動的にインデックス化</translation>
    </message>
    <message>
        <source>Index the following volumes:</source>
        <translation>次のボリュームをインデックス化:</translation>
    </message>
    <message>
        <source>Reading volumes...</source>
        <translation>ボリュームを読み取り中...</translation>
    </message>
</context>
<context>
    <name>OptionsPageFilters</name>
    <message>
        <source>Extension</source>
        <translation>拡張子</translation>
    </message>
    <message>
        <source>Handler name</source>
        <translation>フィルター名</translation>
    </message>
    <message>
        <source>Disable filter</source>
        <translation>フィルターを無効化</translation>
    </message>
    <message>
        <source>Enable filters</source>
        <translation>フィルターを有効化</translation>
    </message>
</context>
<context>
    <name>OptionsSearch</name>
    <message>
        <source>Content search</source>
        <translation>内容の検索</translation>
    </message>
    <message>
        <source>Auto-detect encoding of files without BOM</source>
        <translation>BOM のないファイルの文字コードを自動判別</translation>
    </message>
    <message>
        <source>Auto-detect and skip binary files from content searches</source>
        <translation>バイナリファイルを判別して内容の検索から除外</translation>
    </message>
    <message>
        <source>Use built-in PDF converter</source>
        <translation>内蔵の PDF 変換を使う</translation>
    </message>
</context>
<context>
    <name>PagesTabWidget</name>
    <message>
        <source>New tab</source>
        <translation>新しいタブ</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Close other tabs</source>
        <translation>他のタブを閉じる</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Cu&amp;t</source>
        <translation>切り取り(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>コピー(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>削除(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Properties</source>
        <translation>プロパティ(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>開く(&amp;O)</translation>
    </message>
    <message>
        <source>Open with %1</source>
        <translation>%1 で開く</translation>
    </message>
    <message>
        <source>Open file location</source>
        <translation>ファイルの場所を開く</translation>
    </message>
    <message>
        <source>Copy full name</source>
        <translation>フルネームをコピー</translation>
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
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>はい(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>いいえ(&amp;N)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>適用</translation>
    </message>
</context>
<context>
    <name>SearchWindow</name>
    <message>
        <source>Search Parameters</source>
        <translation>検索条件</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>ファイル名:</translation>
    </message>
    <message>
        <source>Expression type:</source>
        <translation>式の種類:</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>部分一致</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>単語単位</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>正規表現</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>論理式</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>大文字と小文字を区別</translation>
    </message>
    <message>
        <source>In directory</source>
        <translation>フォルダー内</translation>
    </message>
    <message>
        <source>Include subfolders</source>
        <translation>サブフォルダーを含む</translation>
    </message>
    <message>
        <source>In contents</source>
        <translation>ファイルの内容</translation>
    </message>
    <message>
        <source>Scope:</source>
        <translation>範囲:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>行</translation>
    </message>
    <message>
        <source>Modified between</source>
        <translation>更新日の範囲</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Size range</source>
        <translation>サイズの範囲</translation>
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
        <translation>詳細オプションを表示</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>内容のテキストを選択</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
</context>
<context>
    <name>SelectFileNamesDialog</name>
    <message>
        <source>Select file names</source>
        <translation>ファイル名を選択</translation>
    </message>
    <message>
        <source>Include file names:</source>
        <translation>含めるファイル名:</translation>
    </message>
    <message>
        <source>Exclude file names:</source>
        <translation>除外するファイル名:</translation>
    </message>
    <message>
        <source>Select contents text</source>
        <translation>内容のテキストを選択</translation>
    </message>
    <message>
        <source>Here you can specify what text to search in file contents.</source>
        <translation>ファイルの内容から探すテキストをここで指定します。</translation>
    </message>
    <message>
        <source>Enter each text string on a separate line.</source>
        <translation>テキストは 1 行に 1 つずつ入力します。</translation>
    </message>
    <message>
        <source>Include text:</source>
        <translation>含めるテキスト:</translation>
    </message>
    <message>
        <source>Exclude text:</source>
        <translation>除外するテキスト:</translation>
    </message>
    <message>
        <source>Here you can specify what file names to search for.</source>
        <translation>探すファイル名をここで指定します。</translation>
    </message>
    <message>
        <source>Enter each file name on a separate line.</source>
        <translation>ファイル名は 1 行に 1 つずつ入力します。</translation>
    </message>
    <message>
        <source>File name satisfies the criteria if it matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>ファイル名が含めるリストの式のどれかに一致し、除外リストの式のどれにも一致しないとき、条件を満たします。</translation>
    </message>
    <message>
        <source>File satisfies the criteria if its line matches at least one expression in include list and doesn&apos;t match any expression in exclude list.</source>
        <translation>ファイルの行が含めるリストの式のどれかに一致し、除外リストの式のどれにも一致しないとき、条件を満たします。</translation>
    </message>
</context>
<context>
    <name>SelectPathsDialog</name>
    <message>
        <source>Select folders</source>
        <translation>フォルダーを選択</translation>
    </message>
    <message>
        <source>Include folder list:</source>
        <translation>含めるフォルダー:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>参照...</translation>
    </message>
    <message>
        <source>Exclude folder list:</source>
        <translation>除外するフォルダー:</translation>
    </message>
    <message>
        <source>Here you can specify in what folders to search.</source>
        <translation>検索するフォルダーをここで指定します。</translation>
    </message>
    <message>
        <source>Enter each folder path on a separate line.</source>
        <translation>フォルダーのパスは 1 行に 1 つずつ入力します。</translation>
    </message>
    <message>
        <source>File satisfies the criteria if it is present in one of include folders and isn&apos;t present in any exclude folder.</source>
        <translation>ファイルが含めるフォルダーのどれかにあり、除外するフォルダーのどれにもないとき、条件を満たします。</translation>
    </message>
</context>
<context>
    <name>ShellContextMenu</name>
    <message>
        <source>No application could open &quot;%1&quot;.</source>
        <translation>「%1」を開けるアプリケーションがありませんでした。</translation>
    </message>
    <message>
        <source>%1 could not be started.</source>
        <translation>%1 を起動できませんでした。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be deleted.</source>
        <translation>「%1」を削除できませんでした。</translation>
    </message>
    <message>
        <source>The folder of &quot;%1&quot; could not be opened.</source>
        <translation>「%1」のフォルダーを開けませんでした。</translation>
    </message>
</context>
<context>
    <name>ShellUtils</name>
    <message>
        <source>Do you really want to delete &quot;%1&quot; permanently?</source>
        <translation>「%1」を完全に削除しますか?</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete these %n items permanently?</source>
        <translation>
            <numerusform>これら %n 個の項目を完全に削除しますか?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TabFilePreview</name>
    <message>
        <source>[Only the first %1 MiB of this file of %2 MiB are shown.]</source>
        <translation>[%2 MiB のファイルのうち最初の %1 MiB だけを表示しています。]</translation>
    </message>
    <message>
        <source>Word Wrap</source>
        <translation>折り返し</translation>
    </message>
    <message>
        <source>Full line</source>
        <translation>行全体</translation>
    </message>
</context>
<context>
    <name>TabPage</name>
    <message>
        <source>New search</source>
        <translation>新しい検索</translation>
    </message>
    <message>
        <source>Matches</source>
        <translation>一致</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Substring</source>
        <translation>部分一致</translation>
    </message>
    <message>
        <source>Whole word</source>
        <translation>単語単位</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>正規表現</translation>
    </message>
    <message>
        <source>Boolean</source>
        <translation>論理式</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>大文字と小文字を区別</translation>
    </message>
    <message>
        <source>Sorting... %1%</source>
        <translation>並べ替えています... %1%</translation>
    </message>
    <message>
        <source>Export Results</source>
        <translation>結果のエクスポート</translation>
    </message>
    <message>
        <source>The results could not be written to &quot;%1&quot;:
%2</source>
        <translation>結果を「%1」に書き込めませんでした:
%2</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>検索しています...</translation>
    </message>
    <message>
        <source>Error in the file name at character %1: %2</source>
        <translation>ファイル名の %1 文字目にエラー: %2</translation>
    </message>
    <message>
        <source>Error in the contents text at character %1: %2</source>
        <translation>内容のテキストの %1 文字目にエラー: %2</translation>
    </message>
    <message>
        <source>Error in the file name: %1</source>
        <translation>ファイル名のエラー: %1</translation>
    </message>
    <message>
        <source>Error in the contents text: %1</source>
        <translation>内容のテキストのエラー: %1</translation>
    </message>
    <message numerus="yes">
        <source>Search canceled. Found: %n objects</source>
        <translation>
            <numerusform>検索を中止しました。見つかった項目: %n 個</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Found: %n objects in %1s</source>
        <translation>
            <numerusform>見つかった項目: %n 個 (%1 秒)</numerusform>
        </translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; does not exist.</source>
        <translation>フォルダー「%1」は存在しません。</translation>
    </message>
    <message>
        <source>These folders do not exist: %1.</source>
        <translation>次のフォルダーは存在しません: %1。</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>「%1」</translation>
    </message>
</context>
<context>
    <name>VolumeStateText</name>
    <message>
        <source>not chosen for indexing</source>
        <translation>インデックス対象に選ばれていません</translation>
    </message>
    <message>
        <source>the file system cannot be watched as a whole</source>
        <translation>ファイルシステム全体を監視できません</translation>
    </message>
    <message>
        <source>a btrfs subvolume cannot be watched as a whole</source>
        <translation>btrfs サブボリューム全体を監視できません</translation>
    </message>
    <message>
        <source>%1 has no stable file numbers</source>
        <translation>%1 には固定のファイル番号がありません</translation>
    </message>
    <message>
        <source>an overlay root cannot be watched</source>
        <translation>overlay のルートは監視できません</translation>
    </message>
    <message>
        <source>another volume has the same serial number</source>
        <translation>別のボリュームが同じシリアル番号を持っています</translation>
    </message>
    <message>
        <source>its serial number cannot be read</source>
        <translation>シリアル番号を読み取れません</translation>
    </message>
    <message>
        <source>Indexed</source>
        <translation>インデックス済み</translation>
    </message>
    <message>
        <source>Updating...</source>
        <translation>更新中...</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>読み込み中...</translation>
    </message>
    <message>
        <source>Walked: %1</source>
        <translation>走査: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>失敗: %1</translation>
    </message>
    <message>
        <source>Searched by walking them:</source>
        <translation>走査して検索:</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 失敗</translation>
    </message>
    <message numerus="yes">
        <source>%n volumes failed</source>
        <translation>
            <numerusform>%n 個のボリュームが失敗</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n volumes walked</source>
        <translation>
            <numerusform>%n 個のボリュームを走査</numerusform>
        </translation>
    </message>
    <message>
        <source>Index: ready (%1)</source>
        <translation>インデックス: 準備完了 (%1)</translation>
    </message>
</context>
</TS>
