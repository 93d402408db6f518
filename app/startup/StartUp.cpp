#include "app/startup/StartUp.h"

#include "app/desktop/ShellEnvironment.h"
#include "app/desktop/ShellUtils.h"
#include "app/desktop/StartupRegistration.h"
#include "app/instance/TaskScheduler.h"
#include "core/FileNameCodec.h"
#include "core/FileSearchException.h"
#include "core/Logger.h"
#include "core/SystemUtils.h"
#include "core/UserFiles.h"
#include "search/index/NTFSUtils.h"
#include "search/model/FileSearchRequest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMetaType>
#include <QStandardPaths>

#include <cstdlib>
#include <exception>
#include <list>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(std::list<QString>)

namespace {

const char kTag[] = "main";

void logExit(int code)
{
    TQ_LOG_INFO(kTag, QStringLiteral("Exit with code %1").arg(code));
}

} // namespace

QString dataFolderPath()
{
    return UserFiles::dataLocation() + QLatin1Char('/') + QLatin1String(kProgramName);
}

QStringList programArguments(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << FileNameCodec::decode(QByteArray(argv[i]));
    return list;
}

QStringList startLines(const QStringList& arguments)
{
    const QString separator(28, QLatin1Char('-'));
    const auto yesNo = [](bool value) { return value ? QStringLiteral("yes") : QStringLiteral("no"); };
    const std::pair<int, int> os = osVersion();
    return QStringList{separator,
                       QStringLiteral("Version: %1").arg(QLatin1String(kProgramVersion)),
                       QStringLiteral("Build time: %1").arg(QLocale().toString(buildDateTime(), QLocale::ShortFormat)),
                       QStringLiteral("OS version %1.%2").arg(os.first).arg(os.second),
                       QStringLiteral("Is process admin: %1").arg(yesNo(isProcessAdmin())),
                       QStringLiteral("Is user admin: %1").arg(yesNo(isUserAdmin())),
                       QStringLiteral("Arguments = %1").arg(arguments.join(QLatin1Char(' '))),
                       separator};
}

void writeStartLines(const QStringList& arguments)
{
    const QStringList lines = startLines(arguments);
    for (const QString& line : lines)
        TQ_LOG_INFO(kTag, line);
}

MaintenanceActions MaintenanceActions::system()
{
    MaintenanceActions actions;
    actions.isAdmin = [] { return isProcessAdmin(); };
    actions.createSkipUacTask = [] { ::createSkipUacTask(SkipUacLocations::system()); };
    actions.deleteSkipUacTask = [] { ::deleteSkipUacTask(SkipUacLocations::system()); };
    actions.setShellIntegration = [](bool enable) {
        if (!StartupRegistration().setShellIntegration(enable))
            throw FileSearchException("The folder command could not be changed", QStringLiteral("StartUp"), __LINE__);
    };
    return actions;
}

namespace {

struct MaintenanceOption
{
    const char* argument;
    const char* logName;
    bool skipUac;
    bool enable;
    bool logsExit;
};

const MaintenanceOption kMaintenanceOptions[] = {
    {"-enable-skip-uac", "kEnableSkipUACArgument", true, true, false},
    {"-disable-skip-uac", "kDisableSkipUACArgument", true, false, true},
    {"-enable-shell-integration", "kEnableShellIntegration", false, true, false},
    {"-disable-shell-integration", "kDisableShellIntegration", false, false, true},
};

} // namespace

bool isMaintenanceRequest(const QStringList& arguments)
{
    const QStringList given = arguments.mid(1);
    for (const MaintenanceOption& option : kMaintenanceOptions)
        if (given.contains(QLatin1String(option.argument)))
            return true;
    return false;
}

int runGuarded(const std::function<int()>& body)
{
    try {
        return body();
    } catch (const std::exception& e) {
        TQ_LOG_ERROR(kTag, QString::fromLocal8Bit(e.what()));
        throw;
    }
}

int handleSpecialArguments(const QStringList& arguments, const MaintenanceActions& actions)
{
    const QStringList options_ = arguments.mid(1);
    for (const MaintenanceOption& option : kMaintenanceOptions) {
        if (!options_.contains(QLatin1String(option.argument)))
            continue;
        TQ_LOG_DEBUG(kTag, QLatin1String(option.logName));
        if (!actions.isAdmin || !actions.isAdmin()) {
            if (option.skipUac)
                logExit(5);
            return 5;
        }
        try {
            if (option.skipUac) {
                const std::function<void()>& work = option.enable ? actions.createSkipUacTask : actions.deleteSkipUacTask;
                if (!work)
                    throw FileSearchException("The prompt-free start is not available", QStringLiteral("StartUp"), __LINE__);
                work();
            } else {
                if (!actions.setShellIntegration)
                    throw FileSearchException("The folder command is not available", QStringLiteral("StartUp"), __LINE__);
                actions.setShellIntegration(option.enable);
            }
        } catch (const std::exception& e) {
            TQ_LOG_ERROR(kTag, QString::fromLocal8Bit(e.what()));
            logExit(1);
            return 1;
        }
        if (option.logsExit)
            logExit(0);
        return 0;
    }
    return -1;
}

void registerMetaTypes()
{
    qRegisterMetaType<std::list<QString>>("std::list<QString>");
    // The wide character of the design is two bytes (a UTF-16 unit).
    qRegisterMetaType<ushort>("wchar_t");
    // Types registered beside their own code.
    registerIdMetaTypes();
    FileSearchRequest::registerMetaType();
}

QStringList sessionVariableNames()
{
    return QStringList{QStringLiteral("LANG"), QStringLiteral("LANGUAGE"), QStringLiteral("LC_"),
                       QStringLiteral("QT_IM_MODULE"), QStringLiteral("XMODIFIERS"), QStringLiteral("GTK_IM_MODULE"),
                       QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("QT_SCREEN_SCALE_FACTORS"),
                       QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR"), QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"),
                       QStringLiteral("QT_SCALE_FACTOR_ROUNDING_POLICY"), QStringLiteral("QT_FONT_DPI"),
                       QStringLiteral("QT_QPA_PLATFORMTHEME"), QStringLiteral("QT_STYLE_OVERRIDE"),
                       QStringLiteral("XCURSOR_THEME"), QStringLiteral("XCURSOR_SIZE")};
}

QList<QPair<QByteArray, QByteArray>> sessionVariables(const QByteArray& environmentBlock)
{
    const QStringList allowed = sessionVariableNames();
    QList<QPair<QByteArray, QByteArray>> result;
    const QList<QByteArray> items = environmentBlock.split('\0');
    for (const QByteArray& item : items) {
        const int equals = item.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray name = item.left(equals);
        bool ok = false;
        for (const QString& entry : allowed) {
            const QByteArray wanted = entry.toLatin1();
            if (wanted.endsWith('_') ? (name.startsWith(wanted) && name.size() > wanted.size()) : name == wanted) {
                ok = true;
                break;
            }
        }
        // Names are plain identifiers; anything else is not taken.
        for (char c : name)
            if (!(c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
                ok = false;
        if (ok)
            result.append(qMakePair(name, item.mid(equals + 1)));
    }
    return result;
}

void importSessionEnvironment()
{
    if (::geteuid() != 0 || qEnvironmentVariableIsEmpty("PKEXEC_UID"))
        return;
    const uid_t user = sessionUserId();
    if (user == 0)
        return;
    const QByteArray parent = "/proc/" + QByteArray::number(::getppid());
    struct stat st;
    if (::stat(parent.constData(), &st) != 0 || st.st_uid != user)
        return;
    QFile environment(QString::fromLatin1(parent + "/environ"));
    if (!environment.open(QIODevice::ReadOnly))
        return;
    const QByteArray block = environment.read(1 << 20);
    const QList<QPair<QByteArray, QByteArray>> variables = sessionVariables(block);
    for (const auto& variable : variables)
        if (!qEnvironmentVariableIsSet(variable.first.constData()))
            qputenv(variable.first.constData(), variable.second);
}
