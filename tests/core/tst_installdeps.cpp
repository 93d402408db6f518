// The dependency installer: what it runs as root, through sudo, and what it says when it can
// do neither. Every outside command it calls (id, sudo, apt-get) is a stub in a private PATH
// that records its arguments, so nothing is installed.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestInstallDeps : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode = -1;
        QByteArray err;
        QStringList calls; // one line per stub call: "<program> <arguments>"
    };

    static void stub(const QString& dir, const QString& name, const QByteArray& body)
    {
        const QString path = dir + QLatin1Char('/') + name;
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/bash\n" + body);
        f.close();
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0755) == 0);
    }

    // Runs the script with `uid` as what `id -u` answers, with or without a sudo on the PATH.
    static Run run(int uid, bool withSudo)
    {
        Run r;
        QTemporaryDir tmp;
        const QString bin = tmp.filePath(QStringLiteral("bin"));
        const QString log = tmp.filePath(QStringLiteral("calls.log"));
        QDir().mkpath(bin);
        const QByteArray record = "echo \"${0##*/} $*\" >> '" + QFile::encodeName(log) + "'\n";
        stub(bin, QStringLiteral("id"), record + "echo " + QByteArray::number(uid) + "\n");
        stub(bin, QStringLiteral("apt-get"), record);
        if (withSudo)
            stub(bin, QStringLiteral("sudo"), record + "\"$@\"\n");
        const QString script = QFINDTESTDATA("../../scripts/install-deps");
        if (script.isEmpty())
            return r;
        QProcess p;
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), bin);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("/bin/bash"), {script});
        p.closeWriteChannel();
        if (!p.waitForFinished(20000))
            return r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.err = p.readAllStandardError();
        QFile calls(log);
        if (calls.open(QIODevice::ReadOnly))
            r.calls = QString::fromUtf8(calls.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        r.calls.removeAll(QStringLiteral("id -u"));
        return r;
    }

private slots:
    void rootRunsAptDirectly()
    {
        const Run r = run(0, false);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.calls.size(), 2);
        QCOMPARE(r.calls.at(0), QStringLiteral("apt-get update"));
        QVERIFY(r.calls.at(1).startsWith(QStringLiteral("apt-get install -y ")));
        QVERIFY(r.calls.at(1).contains(QStringLiteral(" qtbase5-dev ")));
    }

    void userGoesThroughSudo()
    {
        const Run r = run(1000, true);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.calls.size(), 4);
        QCOMPARE(r.calls.at(0), QStringLiteral("sudo apt-get update"));
        QCOMPARE(r.calls.at(1), QStringLiteral("apt-get update"));
        QVERIFY(r.calls.at(2).startsWith(QStringLiteral("sudo apt-get install -y ")));
        QVERIFY(r.calls.at(3).startsWith(QStringLiteral("apt-get install -y ")));
    }

    // Without root and without sudo nothing is run, the message says what to do, and the
    // script fails.
    void userWithoutSudoIsToldWhatToDo()
    {
        const Run r = run(1000, false);
        QVERIFY(r.exitCode > 0);
        QVERIFY2(r.calls.isEmpty(), qPrintable(r.calls.join(QLatin1Char('|'))));
        QVERIFY2(!r.err.contains("command not found"), r.err.constData());
        QVERIFY2(r.err.contains("run it as root"), r.err.constData());
        QVERIFY2(r.err.contains("install sudo"), r.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestInstallDeps)
#include "tst_installdeps.moc"
