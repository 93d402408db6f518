// The format gate (scripts/check-format) on scratch repositories that carry the tree's own
// .clang-format: which lines it holds to the style (those the change touched, never the rest),
// what "the change" is on main and on a branch, and that it fails only on C++ sources.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCheckFormat : public QObject
{
    Q_OBJECT

    struct Result
    {
        int exitCode = -1;
        QString output; // standard output and error together
    };

    QTemporaryDir tmp;
    QString repo;

    static QProcessEnvironment environment(const QString& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("GIT_CONFIG_NOSYSTEM"), QStringLiteral("1"));
        env.insert(QStringLiteral("GIT_AUTHOR_NAME"), QStringLiteral("Test"));
        env.insert(QStringLiteral("GIT_AUTHOR_EMAIL"), QStringLiteral("test@example.org"));
        env.insert(QStringLiteral("GIT_COMMITTER_NAME"), QStringLiteral("Test"));
        env.insert(QStringLiteral("GIT_COMMITTER_EMAIL"), QStringLiteral("test@example.org"));
        return env;
    }

    Result run(const QString& program, const QStringList& arguments)
    {
        Result r;
        QProcess p;
        p.setWorkingDirectory(repo);
        p.setProcessEnvironment(environment(tmp.path()));
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, arguments);
        p.closeWriteChannel();
        if (!p.waitForFinished(120000))
            return r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.output = QString::fromUtf8(p.readAll());
        return r;
    }

    bool git(const QStringList& arguments)
    {
        const Result r = run(QStringLiteral("git"), arguments);
        if (r.exitCode != 0)
            qWarning("git %s: %s", qPrintable(arguments.join(QLatin1Char(' '))),
                     qPrintable(r.output));
        return r.exitCode == 0;
    }

    Result check(const QStringList& arguments = {})
    {
        return run(QStringLiteral("/bin/bash"),
                   QStringList{QStringLiteral("scripts/check-format")} + arguments);
    }

    void write(const QString& name, const QByteArray& text)
    {
        QFile f(repo + QLatin1Char('/') + name);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    bool commit(const QString& name, const QByteArray& text)
    {
        write(name, text);
        return git({QStringLiteral("add"), name}) &&
               git({QStringLiteral("commit"), QStringLiteral("-q"), QStringLiteral("-m"),
                    QStringLiteral("change ") + name});
    }

    // Lines in the style; `bad` is a function whose body clang-format would lay out otherwise.
    static QByteArray goodFunction(const char* name)
    {
        return QByteArray("int ") + name + "(int value)\n{\n    return value + 1;\n}\n";
    }
    static QByteArray badFunction(const char* name)
    {
        return QByteArray("int ") + name + "(int value) { return value+1; }\n";
    }

private slots:
    void init()
    {
        repo = tmp.filePath(QString::fromLatin1(QTest::currentTestFunction()));
        QVERIFY(QDir().mkpath(repo + QStringLiteral("/scripts")));
        const QString script = QFINDTESTDATA("../../scripts/check-format");
        const QString style = QFINDTESTDATA("../../.clang-format");
        QVERIFY(!script.isEmpty() && !style.isEmpty());
        QVERIFY(QFile::copy(script, repo + QStringLiteral("/scripts/check-format")));
        QVERIFY(QFile::copy(style, repo + QStringLiteral("/.clang-format")));
        QVERIFY(git({QStringLiteral("init"), QStringLiteral("-q"), QStringLiteral("-b"),
                     QStringLiteral("main")}));
        QVERIFY(git({QStringLiteral("add"), QStringLiteral(".")}));
        // An old file out of style that later changes leave alone.
        QVERIFY(commit(QStringLiteral("old.cpp"), badFunction("old")));
    }

    // On main (a clean checkout, as CI has) the change is the last commit: its lines are held to
    // the style, lines of earlier commits are not.
    void mainChecksTheLastCommitOnly()
    {
        QVERIFY(commit(QStringLiteral("a.cpp"), goodFunction("a")));
        Result r = check();
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));

        QVERIFY(commit(QStringLiteral("a.cpp"), goodFunction("a") + badFunction("b")));
        r = check();
        QVERIFY2(r.exitCode == 1, qPrintable(r.output));
        QVERIFY2(r.output.contains(QStringLiteral("a.cpp")), qPrintable(r.output));
        QVERIFY2(!r.output.contains(QStringLiteral("old.cpp")), qPrintable(r.output));

        // A good commit after it passes again: the bad lines are no longer the change.
        QVERIFY(commit(QStringLiteral("c.h"), goodFunction("c")));
        r = check();
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    }

    // Only lines of C++ sources count: a translation catalogue (.ts) is not TypeScript.
    void otherFilesAreNotFormatted()
    {
        QVERIFY(commit(QStringLiteral("app.ts"), "<TS><context><name>A</name>  </context></TS>\n"));
        QVERIFY(commit(QStringLiteral("notes.txt"), "int f(int value) { return value+1; }\n"));
        const Result r = check();
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    }

    // On a branch the change is everything since it left main, not only its last commit; what
    // main brought in by a merge is not the branch's.
    void branchChecksEverythingSinceMain()
    {
        QVERIFY(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("-b"),
                     QStringLiteral("topic")}));
        QVERIFY(commit(QStringLiteral("a.cpp"), badFunction("a")));
        QVERIFY(commit(QStringLiteral("b.cpp"), goodFunction("b")));
        Result r = check();
        QVERIFY2(r.exitCode == 1, qPrintable(r.output));
        QVERIFY2(r.output.contains(QStringLiteral("a.cpp")), qPrintable(r.output));

        QVERIFY(commit(QStringLiteral("a.cpp"), goodFunction("a")));
        r = check();
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));

        QVERIFY(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("main")}));
        QVERIFY(commit(QStringLiteral("m.cpp"), badFunction("m")));
        QVERIFY(git({QStringLiteral("checkout"), QStringLiteral("-q"), QStringLiteral("topic")}));
        QVERIFY(git({QStringLiteral("merge"), QStringLiteral("-q"), QStringLiteral("--no-edit"),
                     QStringLiteral("main")}));
        r = check();
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));

        // Uncommitted lines belong to the change too.
        write(QStringLiteral("b.cpp"), goodFunction("b") + badFunction("d"));
        r = check();
        QVERIFY2(r.exitCode == 1, qPrintable(r.output));
        QVERIFY2(r.output.contains(QStringLiteral("b.cpp")), qPrintable(r.output));
    }

    // A named base replaces the guess.
    void namedBase()
    {
        QVERIFY(commit(QStringLiteral("a.cpp"), badFunction("a")));
        QVERIFY(commit(QStringLiteral("b.cpp"), goodFunction("b")));
        QVERIFY2(check().exitCode == 0, "HEAD~ holds only b.cpp");
        const Result r = check({QStringLiteral("HEAD~2")});
        QVERIFY2(r.exitCode == 1, qPrintable(r.output));
        QVERIFY2(r.output.contains(QStringLiteral("a.cpp")), qPrintable(r.output));
    }

    // Without a parent commit (a shallow clone of depth 1) nothing tells what changed: the
    // check says so and fails rather than pass unseen.
    void noParentFails()
    {
        const QString clone = tmp.filePath(QStringLiteral("shallow"));
        QVERIFY(commit(QStringLiteral("a.cpp"), badFunction("a")));
        QVERIFY(git({QStringLiteral("clone"), QStringLiteral("-q"), QStringLiteral("--depth"),
                     QStringLiteral("1"), QStringLiteral("file://") + repo, clone}));
        repo = clone;
        const Result r = check();
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.output.contains(QStringLiteral("no parent")), qPrintable(r.output));
    }
};

QTEST_GUILESS_MAIN(TestCheckFormat)
#include "tst_checkformat.moc"
