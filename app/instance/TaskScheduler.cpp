#include "app/instance/TaskScheduler.h"

#include "app/desktop/ShellEnvironment.h"
#include "core/ChildProcess.h"
#include "core/FileSearchException.h"
#include "core/FileUtils.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kTag[] = "TaskScheduler";
const QString kUnit = QStringLiteral("TaskScheduler");

// A JavaScript string literal holding `text`.
QString javaScriptString(const QString& text)
{
    QString result = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            result += QLatin1Char('\\') + QString(c);
        else if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
            result += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result + QLatin1Char('"');
}

QByteArray actionFileText(const QString& program)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE policyconfig PUBLIC \"-//freedesktop//DTD PolicyKit Policy Configuration 1.0//EN\" "
                                "\"http://www.freedesktop.org/standards/PolicyKit/1/policyconfig.dtd\">"));
    xml.writeStartElement(QStringLiteral("policyconfig"));
    xml.writeTextElement(QStringLiteral("vendor"), QStringLiteral("Tallowquist Pro"));
    xml.writeStartElement(QStringLiteral("action"));
    xml.writeAttribute(QStringLiteral("id"), QLatin1String(kSkipUacActionId));
    xml.writeTextElement(QStringLiteral("description"), QStringLiteral("Run Tallowquist Pro with administrator rights"));
    xml.writeTextElement(QStringLiteral("message"),
                         QStringLiteral("Authentication is required to run Tallowquist Pro with administrator rights"));
    xml.writeStartElement(QStringLiteral("defaults"));
    for (const char* key : {"allow_any", "allow_inactive", "allow_active"})
        xml.writeTextElement(QLatin1String(key), QStringLiteral("auth_admin"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("annotate"));
    xml.writeAttribute(QStringLiteral("key"), QStringLiteral("org.freedesktop.policykit.exec.path"));
    xml.writeCharacters(program);
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("annotate"));
    xml.writeAttribute(QStringLiteral("key"), QStringLiteral("org.freedesktop.policykit.exec.allow_gui"));
    xml.writeCharacters(QStringLiteral("true"));
    xml.writeEndElement();
    xml.writeEndElement(); // action
    xml.writeEndElement(); // policyconfig
    xml.writeEndDocument();
    return bytes;
}

// The rule answers YES for the action only. The action is bound to this program by its
// exec.path annotation: pkexec uses it for no other program, and pkexec's own "program" detail
// is compared as well. A query without that detail (pkcheck, which may not pass details) is
// only a question and starts nothing; without accepting it the task could never be run.
QByteArray ruleFileText(const QString& program)
{
    const QString text = QStringLiteral(
        "// Tallowquist Pro: lets administrators start the program with root rights without a\n"
        "// password prompt. Written and removed by the program (option \"-enable-skip-uac\",\n"
        "// \"-disable-skip-uac\", or its options dialog).\n"
        "polkit.addRule(function(action, subject) {\n"
        "    if (action.id == %1 &&\n"
        "        (action.lookup(\"program\") == undefined || action.lookup(\"program\") == %2) &&\n"
        "        subject.local && subject.active &&\n"
        "        (subject.isInGroup(\"sudo\") || subject.isInGroup(\"wheel\") || subject.isInGroup(\"admin\"))) {\n"
        "        return polkit.Result.YES;\n"
        "    }\n"
        "});\n")
                             .arg(javaScriptString(QLatin1String(kSkipUacActionId)), javaScriptString(program));
    return text.toUtf8();
}

// The exec.path annotation of an action file; empty when it has none or cannot be read.
QString actionProgram(const QString& actionFile)
{
    QFile file(actionFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QXmlStreamReader xml(&file);
    // A read error ends the loop (a device that fails without reaching its end would have the
    // reader report a premature end again for ever).
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("annotate")
            && xml.attributes().value(QStringLiteral("key")) == QLatin1String("org.freedesktop.policykit.exec.path"))
            return xml.readElementText().trimmed();
    }
    return QString();
}

// The checked save (a full disk fails it and keeps the old file, where QSaveFile could leave an
// empty one and report success); mode 0644 for polkit to read.
void writeSystemFile(const QString& path, const QByteArray& bytes)
{
    QString why;
    if (saveFile(path, [&](QFile& file) { return file.write(bytes) == bytes.size(); }, &why, 0644, 0755)
        != SaveResult::Saved) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Cannot write %1: %2").arg(path, why));
        throw FileSearchException(QStringLiteral("Cannot write %1").arg(path), kUnit, __LINE__);
    }
}

// True when the file is gone (or was never there).
bool removeSystemFile(const QString& path)
{
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT;
}

void requireRoot(int line)
{
    if (!isProcessAdmin()) {
        TQ_LOG_WARNING(kTag, QStringLiteral("The skip-UAC task can only be changed with root rights."));
        throw FileSearchException(QString(), kUnit, line);
    }
}

// Runs pkcheck for this process without interaction; its exit code, or -1 when it could not run.
// No details are passed: polkit refuses details from a caller that is not root ("Only trusted
// callers ... can use CheckAuthorization() and pass details"), so the rule accepts a check
// without the "program" detail (see ruleFileText).
int runPkcheck(const QString& pkcheck)
{
    // pkcheck is asked about this very process, so it runs with this process's identity.
    ChildProcess::Setup setup;
    setup.inheritErrors = true;
    setup.runAs = ChildProcess::RunAs::ThisProcess;
    return ChildProcess::run(pkcheck,
                             {QStringLiteral("--action-id"), QLatin1String(kSkipUacActionId),
                              QStringLiteral("--process"), QString::number(::getpid())},
                             setup, 20000);
}

// Runs `pkexec <program>`: the program itself, not through env, so that pkexec finds the
// skip-UAC action by its exec.path. True when the program runs (or ended by itself with a code
// other than the refusals 126 and 127).
bool startThroughPkexec(const QString& program)
{
    int code = -1;
    if (runElevatedCommand({QFile::encodeName(program)}, {}, &code))
        return true;
    TQ_LOG_WARNING(kTag, QStringLiteral("pkexec failed, error = %1").arg(code));
    return false;
}

} // namespace

SkipUacLocations SkipUacLocations::system()
{
    SkipUacLocations locations;
    locations.pkcheckProgram = QStringLiteral("/usr/bin/pkcheck");
    locations.polkitRulesFolder = QStringLiteral("/etc/polkit-1/rules.d");
    locations.polkitActionsFolder = QStringLiteral("/usr/share/polkit-1/actions");
    locations.programFile = ShellEnvironment::programFile();
    return locations;
}

QString skipUacRuleFilePath(const SkipUacLocations& locations)
{
    return locations.polkitRulesFolder + QStringLiteral("/50-") + QLatin1String(kSkipUacTaskName) +
           QStringLiteral(".rules");
}

QString skipUacActionFilePath(const SkipUacLocations& locations)
{
    return locations.polkitActionsFolder + QLatin1Char('/') + QLatin1String(kSkipUacActionId) +
           QStringLiteral(".policy");
}

QString canonicalProgramFile(const SkipUacLocations& locations)
{
    return QFileInfo(locations.programFile).canonicalFilePath();
}

bool isProgramFileSafe(const QString& canonicalPath, QString* reason)
{
    if (!canonicalPath.startsWith(QLatin1Char('/'))) {
        if (reason)
            *reason = canonicalPath;
        return false;
    }
    QString path = canonicalPath;
    for (;;) {
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || st.st_uid != 0
            || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0 || S_ISLNK(st.st_mode)) {
            if (reason)
                *reason = path;
            return false;
        }
        if (path == QLatin1String("/"))
            return true;
        const int slash = path.lastIndexOf(QLatin1Char('/'));
        path = slash <= 0 ? QStringLiteral("/") : path.left(slash);
    }
}

bool isSkipUacTaskEnabled(const SkipUacLocations& locations)
{
    for (const QString& path : {skipUacRuleFilePath(locations), skipUacActionFilePath(locations)}) {
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
            if (errno != ENOENT)
                TQ_LOG_WARNING(kTag, QStringLiteral("Cannot query the task file %1, error = %2").arg(path).arg(errno));
            return false;
        }
    }
    const QString program = canonicalProgramFile(locations);
    return !program.isEmpty() && actionProgram(skipUacActionFilePath(locations)) == program;
}

bool runSkipUacTask(const SkipUacLocations& locations)
{
    try {
        const QString program = canonicalProgramFile(locations);
        if (program.isEmpty()) {
            TQ_LOG_WARNING(kTag,
                           QStringLiteral("Program file not found: %1").arg(locations.programFile));
            return false;
        }
        const int check = runPkcheck(locations.pkcheckProgram);
        if (check < 0) {
            TQ_LOG_WARNING(
                kTag, QStringLiteral("pkcheck could not be run: %1").arg(locations.pkcheckProgram));
            return false;
        }
        if (check != 0) {
            TQ_LOG_INFO(kTag, QStringLiteral("The task is not authorised, error = %1").arg(check));
            return false;
        }
        return startThroughPkexec(program);
    } catch (const std::exception& e) {
        TQ_LOG_WARNING(kTag, QString::fromUtf8(e.what()));
        return false;
    }
}

void createSkipUacTask(const SkipUacLocations& locations)
{
    requireRoot(__LINE__);
    const QString program = canonicalProgramFile(locations);
    if (program.isEmpty())
        throw FileSearchException(QStringLiteral("Program file not found"), kUnit, __LINE__);
    QString unsafe;
    if (!isProgramFileSafe(program, &unsafe)) {
        TQ_LOG_WARNING(kTag, QStringLiteral("Not creating the task: %1 may be changed by users other than root").arg(unsafe));
        throw FileSearchException(QStringLiteral("%1 may be changed by users other than root").arg(unsafe), kUnit, __LINE__);
    }
    // Replace whatever is there.
    removeSystemFile(skipUacRuleFilePath(locations));
    removeSystemFile(skipUacActionFilePath(locations));
    writeSystemFile(skipUacActionFilePath(locations), actionFileText(program));
    try {
        writeSystemFile(skipUacRuleFilePath(locations), ruleFileText(program));
    } catch (...) {
        removeSystemFile(skipUacActionFilePath(locations));
        throw;
    }
}

void deleteSkipUacTask(const SkipUacLocations& locations)
{
    requireRoot(__LINE__);
    for (const QString& path : {skipUacRuleFilePath(locations), skipUacActionFilePath(locations)}) {
        if (!removeSystemFile(path)) {
            TQ_LOG_WARNING(kTag, QStringLiteral("Cannot remove %1, error = %2").arg(path).arg(errno));
            throw FileSearchException(QString(), kUnit, __LINE__);
        }
    }
}
