#include "app/ProgramExit.h"

#include <QCoreApplication>

namespace {

bool g_requested = false;
int g_code = 0;
bool g_running = false;

} // namespace

namespace ProgramExit {

void request(int code)
{
    if (!g_requested) {
        g_requested = true;
        g_code = code;
    }
    if (g_running)
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
    g_running = true;
    const int code = QCoreApplication::exec();
    g_running = false;
    return g_requested ? g_code : code;
}

void reset()
{
    g_requested = false;
    g_code = 0;
}

} // namespace ProgramExit
