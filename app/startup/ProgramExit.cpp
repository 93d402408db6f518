#include "app/startup/ProgramExit.h"

#include <QCoreApplication>

namespace {

bool g_requested = false;
int g_code = 0;

} // namespace

namespace ProgramExit {

void request(int code)
{
    if (!g_requested) {
        g_requested = true;
        g_code = code;
    }
    // Whoever runs the loop (runEventLoop, or the user instance's own exec) leaves it; before
    // any loop runs the flag above is what counts.
    if (QCoreApplication::instance())
        QCoreApplication::exit(g_code);
}

bool requested(int* code)
{
    if (code)
        *code = g_code;
    return g_requested;
}

int runEventLoop()
{
    if (g_requested)
        return g_code;
    const int code = QCoreApplication::exec();
    return g_requested ? g_code : code;
}

void reset()
{
    g_requested = false;
    g_code = 0;
}

} // namespace ProgramExit
