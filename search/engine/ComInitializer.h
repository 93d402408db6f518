// ComInitializer: the per-thread preparation that every engine thread makes before it runs a
// task. Document filters on the original platform needed a component runtime initialised per
// thread; the Linux filters (search/textextract/) need nothing of the kind, so this scope
// object does nothing. It stays where each thread starts its work so that a thread-level set-up
// has one obvious place.
#pragma once

class ComInitializer
{
public:
    ComInitializer() = default;
    ~ComInitializer() = default;
    ComInitializer(const ComInitializer&) = delete;
    ComInitializer& operator=(const ComInitializer&) = delete;
};
