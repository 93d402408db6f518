// FindOutcome: how one name search ended, reported with its end (FileSearcher::findEnded).
//
// - `canceled`: the search stopped on request (its cancel flag, stopFind, cancelFind) before it
//   had checked everything; the results hold what was found until then.
// - `missingFolders`: include folders of the request that do not exist (or lie under something
//   that is not a folder), in the request's order, so that "nothing found" is never said of a
//   folder that is not there.
#pragma once

#include <QMetaType>
#include <QStringList>

struct FindOutcome
{
    bool canceled = false;
    QStringList missingFolders;
};

Q_DECLARE_METATYPE(FindOutcome)
