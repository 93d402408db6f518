// The conventions of the README's "Conventions" section that a search of the sources can check:
// each rule names a construct and the only files that may hold it. The program's sources are
// read (app, core, platform, search, ui, helper64); tests and benchmarks are not.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

const char* const kProductFolders[] = {"app", "core", "platform", "search", "ui", "helper64"};

struct Rule
{
    const char* name;
    const char* pattern;
    // Paths relative to the source folder that may hold the construct.
    QStringList allowed;
};

// Comments and string literals are blanked (kept as spaces, lines kept), so that a rule matches
// only code: a comment may say "QMessageBox" or "fork" freely.
QString codeOnly(const QString& text)
{
    QString out = text;
    enum { Code, LineComment, BlockComment, String, Char } state = Code;
    for (int i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        const QChar next = i + 1 < out.size() ? out.at(i + 1) : QChar();
        switch (state) {
        case Code:
            if (c == QLatin1Char('/') && next == QLatin1Char('/')) {
                state = LineComment;
                out[i] = QLatin1Char(' ');
            } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                state = BlockComment;
                out[i] = QLatin1Char(' ');
            } else if (c == QLatin1Char('"')) {
                state = String;
            } else if (c == QLatin1Char('\'')) {
                state = Char;
            }
            break;
        case LineComment:
            if (c == QLatin1Char('\n'))
                state = Code;
            else
                out[i] = QLatin1Char(' ');
            break;
        case BlockComment:
            if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                out[i] = QLatin1Char(' ');
                out[++i] = QLatin1Char(' ');
                state = Code;
            } else if (c != QLatin1Char('\n')) {
                out[i] = QLatin1Char(' ');
            }
            break;
        case String:
        case Char:
            if (c == QLatin1Char('\\')) {
                out[i] = QLatin1Char(' ');
                if (i + 1 < out.size() && out.at(i + 1) != QLatin1Char('\n'))
                    out[++i] = QLatin1Char(' ');
            } else if (c == QLatin1Char(state == String ? '"' : '\'')) {
                state = Code;
            } else if (c != QLatin1Char('\n')) {
                out[i] = QLatin1Char(' ');
            }
            break;
        }
    }
    return out;
}

} // namespace

class TestConventions : public QObject
{
    Q_OBJECT

    QString sourceFolder_ = QStringLiteral(TQ_SOURCE_DIR);
    // Relative path -> code without comments and strings.
    QMap<QString, QString> sources_;
    // Relative path -> the file's whole text.
    QMap<QString, QString> texts_;

    // "file:line: text" for each place where `rule` matches outside its allowed files.
    QStringList violations(const Rule& rule) const
    {
        const QRegularExpression pattern(QLatin1String(rule.pattern));
        QStringList found;
        for (auto it = sources_.cbegin(); it != sources_.cend(); ++it) {
            if (rule.allowed.contains(it.key()))
                continue;
            QRegularExpressionMatchIterator matches = pattern.globalMatch(it.value());
            while (matches.hasNext()) {
                const QRegularExpressionMatch match = matches.next();
                const int line = it.value().leftRef(match.capturedStart()).count(QLatin1Char('\n')) + 1;
                found << QStringLiteral("%1:%2: %3").arg(it.key()).arg(line).arg(match.captured().simplified());
            }
        }
        return found;
    }

    void check(const Rule& rule)
    {
        QVERIFY2(pattern(rule).isValid(), rule.pattern);
        const QStringList found = violations(rule);
        QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("%1, found outside %2:\n%3")
                                                 .arg(QLatin1String(rule.name), rule.allowed.join(QStringLiteral(", ")),
                                                      found.join(QLatin1Char('\n')))));
    }

    static QRegularExpression pattern(const Rule& rule) { return QRegularExpression(QLatin1String(rule.pattern)); }

private slots:
    void initTestCase()
    {
        for (const char* folder : kProductFolders) {
            QDirIterator it(sourceFolder_ + QLatin1Char('/') + QLatin1String(folder), {"*.cpp", "*.h"}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QFile file(path);
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
                const QString relative = QDir(sourceFolder_).relativeFilePath(path);
                texts_.insert(relative, QString::fromUtf8(file.readAll()));
                sources_.insert(relative, codeOnly(texts_.value(relative)));
            }
        }
        // The rules below would pass on an empty or wrong folder: make sure the tree was read.
        QVERIFY2(sources_.contains(QStringLiteral("core/Logger.cpp")), qPrintable(sourceFolder_));
        QVERIFY(sources_.size() > 100);
    }

    // The blanking itself: a rule never sees comments or strings, and sees all code.
    void commentsAndStringsAreNotCode()
    {
        const QString text = QStringLiteral("a(); // fork()\n/* QMessageBox::warning(\n */ b(\"fork()\", '\"');\nfork();\n");
        const QString code = codeOnly(text);
        QCOMPARE(code.size(), text.size());
        QCOMPARE(code.count(QLatin1Char('\n')), 4);
        QCOMPARE(code.count(QStringLiteral("fork()")), 1);
        QVERIFY(code.contains(QStringLiteral("\nfork();\n")));
        QVERIFY(!code.contains(QStringLiteral("QMessageBox")));
        QVERIFY(code.startsWith(QStringLiteral("a();")));
        QVERIFY(code.contains(QStringLiteral(" b(\"")));
    }

    // Logging goes through the TQ_LOG* macros of core/Logger.h only.
    void loggingThroughTheMacros()
    {
        check({"a direct call of Logger::instance().write*", R"(Logger::instance\(\s*\)\s*\.\s*write)",
               {QStringLiteral("core/Logger.h"), QStringLiteral("core/Logger.cpp")}});
        check({"a local log helper", R"(\bwriteLog\s*\()", {}});
    }

    // Prompts go through a Prompter: only its real implementation shows a message box, an
    // input or file dialog, or runs a popup menu.
    void promptsThroughThePrompter()
    {
        check(
            {"a static prompt of QMessageBox, QInputDialog or QFileDialog",
             R"(\b(QMessageBox|QInputDialog|QFileDialog)\s*::\s*(question|warning|information|critical|about|aboutQt|get\w*)\s*\()",
             {QStringLiteral("ui/common/Prompter.cpp")}});
        check({"a popup menu run by itself",
               R"((\b\w*[Mm]enu\w*\s*(\.|->)|\bQMenu\s*::)\s*exec\s*\()",
               {QStringLiteral("ui/common/Prompter.cpp")}});
    }

    // Programs are started through core/ChildProcess only (posix_spawn, the identity rule of a
    // root instance, no fork of this process).
    void programsStartedThroughChildProcess()
    {
        const QStringList childProcess{QStringLiteral("core/ChildProcess.h"),
                                       QStringLiteral("core/ChildProcess.cpp")};
        check({"a fork, exec or spawn", R"(\b(v?fork|posix_spawnp?|exec[lv]p?e?|popen)\s*\()",
               childProcess});
        check({"a call of system()", R"(((^|[^\w:])(std)?::|[=(;{}!,]\s*|\breturn\s+)system\s*\()",
               childProcess});
        check({"QProcess", R"(\bQProcess\b)", childProcess});
    }

    // A meta type is registered in one place only.
    void metaTypesRegisteredOnce()
    {
        const QRegularExpression registration(
            QStringLiteral("qRegisterMetaType\\s*<(.*?)>\\s*\\("));
        QMap<QString, QStringList> places; // type -> "file:line"
        for (auto it = sources_.cbegin(); it != sources_.cend(); ++it) {
            QRegularExpressionMatchIterator matches = registration.globalMatch(it.value());
            while (matches.hasNext()) {
                const QRegularExpressionMatch match = matches.next();
                const int line =
                    it.value().leftRef(match.capturedStart()).count(QLatin1Char('\n')) + 1;
                QString type = match.captured(1);
                type.remove(QLatin1Char(' '));
                places[type] << QStringLiteral("%1:%2").arg(it.key()).arg(line);
            }
        }
        QVERIFY(places.contains(QStringLiteral("FRN")));
        QStringList found;
        for (auto it = places.cbegin(); it != places.cend(); ++it) {
            if (it.value().size() > 1)
                found << it.key() + QStringLiteral(": ") + it.value().join(QStringLiteral(", "));
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    // The application shell never reaches into the user interface; only the program's entry
    // sees both.
    void appDoesNotIncludeUi()
    {
        QStringList found;
        const QRegularExpression include(
            QStringLiteral("^[ \\t]*#[ \\t]*include[ \\t]*\"ui/[^\"]*\""),
            QRegularExpression::MultilineOption);
        for (auto it = texts_.cbegin(); it != texts_.cend(); ++it) {
            if (!it.key().startsWith(QLatin1String("app/")) ||
                it.key().startsWith(QLatin1String("app/program/")))
                continue;
            QRegularExpressionMatchIterator matches = include.globalMatch(it.value());
            while (matches.hasNext())
                found << it.key() + QStringLiteral(": ") + matches.next().captured().trimmed();
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestConventions)
#include "tst_conventions.moc"
