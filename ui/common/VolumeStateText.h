// VolumeStateText: the words shown for how a volume is searched (VolumeState), in the options
// dialog's volume list and in the main window's index status.
//
// - state(): "Indexed", "Updating...", "Loading...", "Walked: <reason>", "Failed: <error>".
// - indexReady(): the status bar's text once the index set has finished its work: exactly
//   "Index: ready" when every chosen volume is answered by the index; otherwise it says what is
//   missing, short ("Index: ready (/data failed)", "Index: ready (2 volumes walked)"), and
//   `toolTip` receives one line per chosen volume that the index does not answer, with the
//   reason.
#pragma once

#include "search/index/VolumeState.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

class VolumeStateText
{
    Q_DECLARE_TR_FUNCTIONS(VolumeStateText)

public:
    static QString reason(const VolumeState& state);
    static QString state(const VolumeState& state);
    static QString indexReady(const QList<VolumeState>& states, QString* toolTip);
};
