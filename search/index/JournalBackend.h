// JournalBackend: where change-journal readers and journal states come from.
//
// The real backend uses the fanotify journal (ChangeJournalReader, FanotifyJournal). Tests
// install another one (ScriptedJournalBackend, in tests/doubles) with setInstance(), so that an
// index can be driven by scripted records, USNs and a stable journal id. The index creates its
// reader with JournalBackend::instance().createReader() and reads the journal state with
// queryJournalData() (which asks the backend in use).
#pragma once

#include "search/index/ChangeJournalReader.h"

class JournalBackend
{
public:
    virtual ~JournalBackend();
    // Throws FileSearchException when the journal cannot be set up. The caller owns the reader.
    virtual IChangeJournalReader* createReader(const QString& mountPoint) = 0;
    // Throws FileSearchException when the journal cannot be set up or read.
    virtual JournalState queryState(const QString& mountPoint) = 0;

    static JournalBackend& instance();
    // Installs a backend (tests); nullptr restores the real one. The caller keeps ownership.
    // Returns the backend installed before (nullptr: the real one).
    static JournalBackend* setInstance(JournalBackend* backend);
};
