// HandleHolder: owns one file descriptor of any kind (socket, pipe end, eventfd, ...) and
// closes it when destroyed, so that error paths that throw leak nothing. -1 means none.
// It can be moved but not copied.
#pragma once

class HandleHolder
{
public:
    explicit HandleHolder(int handle = -1) : fd_(handle) {}
    ~HandleHolder();

    HandleHolder(HandleHolder&& other) noexcept;
    HandleHolder& operator=(HandleHolder&& other) noexcept;
    HandleHolder(const HandleHolder&) = delete;
    HandleHolder& operator=(const HandleHolder&) = delete;

    int handle() const { return fd_; }
    // Address of the stored descriptor, so that a creating call can write a new one into it.
    // Whatever is stored there when the holder is destroyed is closed.
    int* handlePtr() { return &fd_; }

private:
    int fd_;
};
