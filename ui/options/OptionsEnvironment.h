// OptionsEnvironment: what the options dialog asks of the system and does to it, gathered so
// that the dialog can be driven without root rights, real volumes or a password prompt. The
// default value is the real system; tests replace single members.
#pragma once

#include "app/desktop/StartupRegistration.h"
#include "core/IndexingSettings.h"
#include "search/index/VolumeState.h"

#include <QMap>
#include <QString>

#include <functional>

struct OptionsEnvironment
{
    OptionsEnvironment();

    // Whether the process runs as root (isProcessAdmin), fixed when the dialog is made.
    bool isAdmin;
    // Whether the helper program's filter list is offered (isWow64).
    bool helperListOffered;
    // The start-up and folder entries.
    StartupRegistration registration;
    // Starts the program with root rights (runElevated: pkexec, which waits for the password);
    // `exitCode` as runElevated gives it (126 or 127: the password was not given or accepted).
    std::function<bool(const QString& program, const QString& arguments, int* exitCode)> runElevated;
    // Runs work that may wait (the elevation prompt) away from the GUI thread; its outcome is
    // not awaited. Default: a detached thread.
    std::function<void(std::function<void()>)> runInBackground;
    // The prompt-free elevation task (TaskScheduler).
    std::function<bool()> isSkipUacTaskEnabled;
    std::function<void()> createSkipUacTask;
    std::function<void()> deleteSkipUacTask;
    // The engine's index state; when empty, the dialog asks its FileSearcher.
    std::function<IndexingSettings()> indexingSettings;
    std::function<QMap<QString, int>()> indexedCounts;
    std::function<QList<VolumeState>()> volumeStates;
};
