// The prompt-free elevation: the polkit action and rule files (contents, escaping, replacing,
// removing), the refusal for a program file others could change, the queries, and running the
// task through stand-ins for pkcheck and pkexec.
#include "app/instance/TaskScheduler.h"
#include "core/FileSearchException.h"
#include "core/SystemUtils.h"
#include "tests/app/apptestutil.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {


// The exec.path and allow_gui annotations and the defaults of an action file.
QMap<QString, QString> readAction(const QString& path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("action"))
            values.insert(QStringLiteral("id"), xml.attributes().value(QStringLiteral("id")).toString());
        else if (xml.name() == QLatin1String("annotate") || xml.name().startsWith(QLatin1String("allow_"))) {
            const QString key = xml.name() == QLatin1String("annotate") ? xml.attributes().value(QStringLiteral("key")).toString()
                                                                         : xml.name().toString();
            values.insert(key, xml.readElementText());
        }
    }
    if (xml.hasError())
        values.insert(QStringLiteral("error"), xml.errorString());
    return values;
}

} // namespace

class TestTaskScheduler : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> safeDir_; // under the build folder: root's folders all the way up
    QTemporaryDir shared_; // under /tmp: a world-writable folder above it
    QString rules_;
    QString actions_;
    QString program_;
    QString log_;
    // The task's programs and folders: stand-ins below the test's folders.
    SkipUacLocations locations_;

private slots:
    void initTestCase()
    {
        if (!testutil::isRoot())
            QSKIP("the task's files are written by root only");
        safeDir_.reset(new QTemporaryDir(testutil::programDir() + QStringLiteral("/../tests/task-XXXXXX")));
        QVERIFY(safeDir_->isValid());
        QVERIFY(shared_.isValid());
        QString unsafeAbove;
        const QString base = QFileInfo(safeDir_->path()).canonicalFilePath();
        if (!isProgramFileSafe(base, &unsafeAbove))
            QSKIP(qPrintable(QStringLiteral("the build folder is not root's alone: %1").arg(unsafeAbove)));
        rules_ = safeDir_->path() + QStringLiteral("/rules.d");
        actions_ = safeDir_->path() + QStringLiteral("/actions");
        QVERIFY(QDir().mkpath(rules_));
        QVERIFY(QDir().mkpath(actions_));
        locations_.polkitRulesFolder = rules_;
        locations_.polkitActionsFolder = actions_;
        // A program name with characters that must be escaped in JavaScript and in XML.
        QVERIFY(QDir().mkpath(safeDir_->path() + QStringLiteral("/we\"ird\\&<dir>")));
        program_ = QFileInfo(safeDir_->path()).canonicalFilePath() + QStringLiteral("/we\"ird\\&<dir>/tallowquist-pro");
        log_ = safeDir_->path() + QStringLiteral("/log");
        apptest::writeScript(program_, "#!/bin/sh\necho \"program $*\" >> \"$TQ_TASK_LOG\"\n");
        locations_.programFile = program_;
        qputenv("TQ_TASK_LOG", QFile::encodeName(log_));
    }

    void cleanupTestCase() { setElevationProgram(QString()); }

    void createWritesActionAndRule()
    {
        QVERIFY(!isSkipUacTaskEnabled(locations_));
        createSkipUacTask(locations_);
        QCOMPARE(skipUacRuleFilePath(locations_),
                 rules_ + QStringLiteral("/50-TallowquistPro_SkipUAC.rules"));
        QCOMPARE(skipUacActionFilePath(locations_),
                 actions_ + QStringLiteral("/org.tallowquistpro.skipuac.policy"));
        QVERIFY(isSkipUacTaskEnabled(locations_));

        const QMap<QString, QString> action = readAction(skipUacActionFilePath(locations_));
        QVERIFY2(!action.contains(QStringLiteral("error")), qPrintable(action.value(QStringLiteral("error"))));
        QCOMPARE(action.value(QStringLiteral("id")), QStringLiteral("org.tallowquistpro.skipuac"));
        QCOMPARE(action.value(QStringLiteral("org.freedesktop.policykit.exec.path")), program_);
        QCOMPARE(action.value(QStringLiteral("org.freedesktop.policykit.exec.allow_gui")), QStringLiteral("true"));
        // By itself the action still asks for the password; only the rule lifts the prompt.
        QCOMPARE(action.value(QStringLiteral("allow_active")), QStringLiteral("auth_admin"));
        QCOMPARE(action.value(QStringLiteral("allow_any")), QStringLiteral("auth_admin"));

        const QByteArray rule = testutil::readFile(skipUacRuleFilePath(locations_));
        QVERIFY(rule.contains("polkit.addRule(function(action, subject) {"));
        QVERIFY(rule.contains("action.id == \"org.tallowquistpro.skipuac\""));
        // pkexec's "program" detail must name the program; pkcheck's query has no details.
        QVERIFY2(rule.contains("(action.lookup(\"program\") == undefined || action.lookup(\"program\") == \""
                               + QFile::encodeName(QFileInfo(safeDir_->path()).canonicalFilePath())), rule.constData());
        QVERIFY2(rule.contains("/we\\\"ird\\\\&<dir>/tallowquist-pro\""), rule.constData());
        QVERIFY(rule.contains("subject.local && subject.active"));
        QVERIFY(rule.contains("subject.isInGroup(\"sudo\") || subject.isInGroup(\"wheel\") || subject.isInGroup(\"admin\")"));
        QVERIFY(rule.contains("return polkit.Result.YES;"));

        for (const QString& path :
             {skipUacRuleFilePath(locations_), skipUacActionFilePath(locations_)}) {
            struct stat st;
            QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
            QCOMPARE(st.st_mode & 07777, mode_t(0644));
            QCOMPARE(st.st_uid, uid_t(0));
        }
    }

    void createTwiceLeavesOneTaskOnlyForItsProgramAndDeleteRemovesIt()
    {
        createSkipUacTask(locations_);
        createSkipUacTask(locations_);
        QCOMPARE(QDir(rules_).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("50-TallowquistPro_SkipUAC.rules")});
        QCOMPARE(QDir(actions_).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("org.tallowquistpro.skipuac.policy")});
        // The task of another program is not ours.
        const QString other = QFileInfo(safeDir_->path()).canonicalFilePath() + QStringLiteral("/other-program");
        apptest::writeScript(other, "#!/bin/sh\n");
        locations_.programFile = other;
        QVERIFY(!isSkipUacTaskEnabled(locations_));
        locations_.programFile = program_;
        QVERIFY(isSkipUacTaskEnabled(locations_));
        deleteSkipUacTask(locations_);
        QVERIFY(QDir(rules_).isEmpty());
        QVERIFY(QDir(actions_).isEmpty());
        QVERIFY(!isSkipUacTaskEnabled(locations_));
        deleteSkipUacTask(locations_); // nothing there: no error
    }

    void refusesProgramOthersCanChange()
    {
        // A program below /tmp (world-writable): anyone could swap it for their own.
        const QString program = shared_.path() + QStringLiteral("/tallowquist-pro");
        apptest::writeScript(program, "#!/bin/sh\n");
        locations_.programFile = program;
        QString reason;
        QVERIFY(!isProgramFileSafe(QFileInfo(program).canonicalFilePath(), &reason));
        QVERIFY2(reason == QStringLiteral("/tmp") || reason.startsWith(QStringLiteral("/tmp/")), qPrintable(reason));
        QVERIFY_EXCEPTION_THROWN(createSkipUacTask(locations_), FileSearchException);
        QVERIFY(QDir(rules_).isEmpty());
        QVERIFY(QDir(actions_).isEmpty());

        // A group-writable program file in root's folders, and one owned by another user.
        locations_.programFile = program_;
        QVERIFY(::chmod(QFile::encodeName(program_).constData(), 0775) == 0);
        QVERIFY(!isProgramFileSafe(program_, &reason));
        QCOMPARE(reason, program_);
        QVERIFY(::chmod(QFile::encodeName(program_).constData(), 0755) == 0);
        QVERIFY(::chown(QFile::encodeName(program_).constData(), 1234, 0) == 0);
        QVERIFY_EXCEPTION_THROWN(createSkipUacTask(locations_), FileSearchException);
        QVERIFY(::chown(QFile::encodeName(program_).constData(), 0, 0) == 0);
        QVERIFY(isProgramFileSafe(program_));
        QVERIFY(!isProgramFileSafe(QStringLiteral("relative/path")));

        // A missing program file.
        locations_.programFile = safeDir_->path() + QStringLiteral("/missing");
        QVERIFY_EXCEPTION_THROWN(createSkipUacTask(locations_), FileSearchException);
        locations_.programFile = program_;
    }

    void failingQueryIsFalseNotThrown()
    {
        // The rules folder cannot be looked into (here: it is a file).
        const QString file = safeDir_->path() + QStringLiteral("/plain-file");
        QVERIFY(testutil::writeFile(file, "x"));
        locations_.polkitRulesFolder = file + QStringLiteral("/rules.d");
        bool enabled = true;
        try {
            enabled = isSkipUacTaskEnabled(locations_);
        } catch (...) {
            QFAIL("the query threw");
        }
        QVERIFY(!enabled);
        // Creating there fails with an exception and leaves no action file behind.
        QVERIFY_EXCEPTION_THROWN(createSkipUacTask(locations_), FileSearchException);
        QVERIFY(QDir(actions_).isEmpty());
        locations_.polkitRulesFolder = rules_;
    }

    void runAsksPkcheckThenRunsPkexec()
    {
        const QString pkcheck = safeDir_->path() + QStringLiteral("/pkcheck");
        const QString pkexec = safeDir_->path() + QStringLiteral("/pkexec");
        apptest::writeScript(pkcheck, "#!/bin/sh\necho \"pkcheck $*\" >> \"$TQ_TASK_LOG\"\nexit \"$TQ_PKCHECK_CODE\"\n");
        apptest::writeScript(pkexec, "#!/bin/bash\necho \"pkexec $*\" >> \"$TQ_TASK_LOG\"\n"
                            "[ -n \"$TQ_PKEXEC_CODE\" ] && exit \"$TQ_PKEXEC_CODE\"\n"
                            "for fd in /proc/$$/fd/*; do n=${fd##*/}; if [ \"$n\" -gt 2 ] && [ \"$n\" != 255 ]; then eval \"exec $n>&-\"; fi; done\n"
                            "exec \"$@\"\n");
        locations_.pkcheckProgram = pkcheck;
        setElevationProgram(pkexec);

        // Not authorised: pkexec is never run.
        QFile::remove(log_);
        qputenv("TQ_PKCHECK_CODE", "1");
        QVERIFY(!runSkipUacTask(locations_));
        // No details: polkit refuses them from callers that are not root.
        QCOMPARE(testutil::readFile(log_), "pkcheck --action-id org.tallowquistpro.skipuac --process " + QByteArray::number(::getpid()) + "\n");

        // Authorised: pkexec runs the program itself, without arguments.
        QFile::remove(log_);
        qputenv("TQ_PKCHECK_CODE", "0");
        QVERIFY(runSkipUacTask(locations_));
        QTRY_VERIFY_WITH_TIMEOUT(testutil::readFile(log_).contains("program \n"), 5000);
        QVERIFY(testutil::readFile(log_).contains("\npkexec " + QFile::encodeName(program_) + "\n"));

        // pkexec refuses after all.
        qputenv("TQ_PKEXEC_CODE", "127");
        QVERIFY(!runSkipUacTask(locations_));
        qunsetenv("TQ_PKEXEC_CODE");

        // No pkcheck at all: false, never an exception.
        locations_.pkcheckProgram = safeDir_->path() + QStringLiteral("/no-pkcheck");
        QVERIFY(!runSkipUacTask(locations_));
    }
};

QTEST_GUILESS_MAIN(TestTaskScheduler)
#include "tst_taskscheduler.moc"
