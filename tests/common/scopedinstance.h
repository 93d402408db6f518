// Installs a test double as the process-wide instance of a class with a static
// `T* T::setInstance(T*)` (VolumeLayer, JournalBackend) for the life of this object, and puts
// back what was installed before (nullptr: the real one) when it ends, also when a test
// function returns early on a failed check.
//
//   ScriptedVolumeLayer layer;
//   const testutil::ScopedInstance<VolumeLayer> installed(&layer);
//
// A fixture that installs in init() and removes in cleanup() holds a
// std::optional<ScopedInstance<T>>: emplace(double) and reset().
#pragma once

namespace testutil {

template <class T>
class ScopedInstance
{
public:
    explicit ScopedInstance(T* instance) : previous_(T::setInstance(instance)) {}
    ~ScopedInstance() { T::setInstance(previous_); }
    ScopedInstance(const ScopedInstance&) = delete;
    ScopedInstance& operator=(const ScopedInstance&) = delete;

private:
    T* previous_;
};

} // namespace testutil
