#include "core/GlobalMemLock.h"

#include <cstdlib>

GlobalMemLock::~GlobalMemLock()
{
    if (locked_)
        unlock();
    std::free(block_);
}

GlobalMemLock::GlobalMemLock(GlobalMemLock&& other) noexcept
    : block_(other.block_), locked_(other.locked_)
{
    other.block_ = nullptr;
    other.locked_ = false;
}

GlobalMemLock& GlobalMemLock::operator=(GlobalMemLock&& other) noexcept
{
    if (this != &other) {
        std::free(block_);
        block_ = other.block_;
        locked_ = other.locked_;
        other.block_ = nullptr;
        other.locked_ = false;
    }
    return *this;
}

void* GlobalMemLock::lock()
{
    if (!block_)
        return nullptr;
    locked_ = true;
    return block_;
}

GlobalMemory GlobalMemLock::release()
{
    GlobalMemory block = block_;
    block_ = nullptr;
    locked_ = false;
    return block;
}
