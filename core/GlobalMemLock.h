// GlobalMemLock: owns one memory block handed between the pieces that build clipboard data.
//
// A block (GlobalMemory) is memory from std::malloc/std::calloc, released with std::free.
// Locking gives the block's address and sets a flag; there is no moving memory here, so lock
// and unlock only keep the bookkeeping. The holder frees the block when destroyed unless its
// ownership was released (release), e.g. once another owner took the data over.
// It can be moved but not copied.
#pragma once

using GlobalMemory = void*;

class GlobalMemLock
{
public:
    // Takes ownership of `block` (may be null); not locked.
    explicit GlobalMemLock(GlobalMemory block) : block_(block) {}
    ~GlobalMemLock();

    GlobalMemLock(GlobalMemLock&& other) noexcept;
    GlobalMemLock& operator=(GlobalMemLock&& other) noexcept;
    GlobalMemLock(const GlobalMemLock&) = delete;
    GlobalMemLock& operator=(const GlobalMemLock&) = delete;

    // The block's address (null for a null block) and marks it locked.
    void* lock();
    void unlock() { locked_ = false; }
    bool isLocked() const { return locked_; }
    bool isNull() const { return block_ == nullptr; }
    GlobalMemory handle() const { return block_; }
    // Gives up ownership and returns the block; the holder then holds none.
    GlobalMemory release();

private:
    GlobalMemory block_;
    bool locked_ = false;
};
