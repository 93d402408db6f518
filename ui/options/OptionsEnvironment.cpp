#include "ui/options/OptionsEnvironment.h"

#include "app/instance/TaskScheduler.h"
#include "core/SystemUtils.h"

#include <thread>

OptionsEnvironment::OptionsEnvironment()
    : isAdmin(isProcessAdmin())
    , helperListOffered(isWow64())
    , runElevated([](const QString& program, const QString& arguments, int* exitCode) {
        return ::runElevated(program, arguments, exitCode);
    })
    , runInBackground([](std::function<void()> work) { std::thread(std::move(work)).detach(); })
    , isSkipUacTaskEnabled([] { return ::isSkipUacTaskEnabled(SkipUacLocations::system()); })
    , createSkipUacTask([] { ::createSkipUacTask(SkipUacLocations::system()); })
    , deleteSkipUacTask([] { ::deleteSkipUacTask(SkipUacLocations::system()); })
{ }
