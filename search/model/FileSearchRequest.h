// FileSearchRequest: one search as the user composed it (name pattern, folders, contents
// pattern, size and date bounds). Created on the GUI thread and only read by the workers while
// its search runs, except for `canceled`, which any thread may set and every long loop polls.
//
// `canceled` is a std::atomic<bool>: it reads and assigns like a bool (`if (req.canceled)`,
// `req.canceled = true`), and its address (`&req.canceled`, a CancelFlag pointer) can be handed
// to code that only needs the flag. Copies carry the flag's current value.
//
// Ids come from two process-wide atomic counters: ordinary requests from 0 upwards, copies
// made for a matches search (cloneForMatches) from 1000 upwards. FileSearchRequest::Id is
// registered with Qt's meta-type system as "FileSearchRequest::Id" (automatically when the
// application object is created, or by calling registerMetaType()).
#pragma once

#include "search/model/MatchOptions.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <atomic>

using CancelFlag = std::atomic<bool>;

class FileSearchRequest
{
public:
    using Id = int;

    // Expression types of nameSyntax / contentsSyntax.
    enum Syntax { Substring = 0, WholeWord = 1, Regex = 2, Boolean = 3 };

    FileSearchRequest();
    FileSearchRequest(const FileSearchRequest& other);
    FileSearchRequest& operator=(const FileSearchRequest& other);

    Id id;
    CancelFlag canceled{false};
    QString fileName;
    int nameSyntax = Substring;
    bool nameCase = false;
    QStringList includePaths;
    bool includeSubfolders = true;
    QStringList excludePaths;
    QString contents;
    int contentsSyntax = Substring;
    bool contentsCase = false;
    bool lineScope = false;
    qint64 minSize = -1;
    qint64 maxSize = -1;
    QDate minDate;
    QDate maxDate;
    bool countMatches = false;

    // A copy with a new id from the matches counter and `canceled` false.
    static FileSearchRequest cloneForMatches(const FileSearchRequest& request);

    MatchOptions matchOptions(bool forName) const;

    // True when only the name decides: no contents, no valid date bound, no size bound.
    bool isNameOnly() const;

    // "id=%1, includeName=%2, includePath=%3, excludePath=%4, includeText=%5" (lists joined
    // with ", "), for the log.
    QString toString() const;

    // Registers FileSearchRequest::Id under that name for queued signals. Idempotent.
    static void registerMetaType();
};
