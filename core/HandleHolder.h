// HandleHolder: owns one file descriptor of any kind (file, folder, socket, pipe end, eventfd,
// fanotify group, ...) and closes it when destroyed, so that error paths and exceptions (a
// cancelled search throws from deep inside a read loop) leak nothing. Every descriptor the
// program opens is held by one. -1 means none. It can be moved but not copied.
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
    bool isValid() const { return fd_ >= 0; }
    // Address of the stored descriptor, so that a creating call can write a new one into it.
    // Whatever is stored there when the holder is destroyed is closed.
    int* handlePtr() { return &fd_; }

    // Closes the held descriptor, if any, and holds `handle` instead. errno is kept.
    void reset(int handle = -1);
    // Gives the descriptor up without closing it, to an owner that closes it itself (a QFile
    // opened with AutoCloseHandle, a DIR stream); the holder is then empty.
    int release();

    // Opens a pipe whose two ends are close-on-exec and held by `readEnd` and `writeEnd`.
    // False, errno set, on failure.
    static bool openPipe(HandleHolder& readEnd, HandleHolder& writeEnd);

private:
    int fd_;
};
