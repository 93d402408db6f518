// helper64: hosts the document filters of "ifilters64.reg" for the program.
//
// Command line: helper64 <pipe id> <log folder> <working folder>, exactly these three.
// It writes to the program's log ("Tallowquist Pro.log" in the log folder), takes its
// connection to the program from its standard input (a socket, see Helper64Protocol) and serves
// the program's requests until it sends "EXIT" or goes away. The pipe id names it in the log.
// Exit codes: 0 normal end, 1 no connection, 2 wrong command line.
#include "Helper64Server.h"

#include "core/FileUtils.h"
#include "core/Logger.h"
#include "search/textextract/RegistryFile.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: helper64 <pipe id> <log folder> <working folder>\n");
        return 2;
    }
    const QString pipeId = args.at(1);
    const QString logFolder = args.at(2);
    const QString workFolder = args.at(3);
    // First, so that it notes the program that started us before anything can take long.
    Helper64Server server(pipeId, workFolder);
    if (!logFolder.isEmpty())
        Logger::instance(logFolder + QStringLiteral("/Tallowquist Pro.log"));

    auto registry = std::make_shared<RegistryFile>();
    QString error;
    const QString registryPath = executableDirectory() + QLatin1Char('/') + RegistryFile::helperFileName();
    if (!registry->load(registryPath, &error))
        TQ_LOG_WARNING("helper64", QStringLiteral("No filter registrations: %1").arg(error));
    RegistryFile::setMachine(registry);

    if (!server.connectToProgram()) {
        TQ_LOG_WARNING("helper64", QStringLiteral("Failed to connect to the pipe %1").arg(pipeId));
        return 1;
    }
    QObject::connect(&server, &Helper64Server::done, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    return app.exec();
}
