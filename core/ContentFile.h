// ContentFile: a file opened for reading its contents. It is the one way the content search,
// the converters, the document filters, the helper program and the match preview get at the
// bytes of a file: they are handed an open ContentFile and never open its path again.
//
// open(path) works in two steps, so that opening has no side effects:
//  1. open(path, O_PATH | O_CLOEXEC) (links followed; a path longer than PATH_MAX is opened
//     relative to its folder, PathAt) and fstat that descriptor. An O_PATH
//     open runs no driver's open routine and never waits: a device node (or a link to one) is
//     not armed, reset or rewound, a FIFO does not wait for a writer, a terminal does not
//     become ours. Only a regular file goes on; anything else is refused (NotRegular).
//     The files of one folder are usually opened one after the other: a thread keeps the
//     folder it opened last (O_PATH) for 100 ms and looks the next name up in it.
//  2. Reopen that very inode for reading through "/proc/self/fd/N" with
//     O_RDONLY | O_NOCTTY | O_CLOEXEC (the read permission is checked here), fstat it and
//     check that device and inode are the ones of step 1. The O_PATH descriptor is closed.
// So a name swapped between a type check and the open (for a FIFO, a device, another file)
// can never make a reader block or touch something else: whoever reads uses this descriptor.
//
// Reading: read() reads at an offset (pread), so readers never share or move a position;
// ContentFileDevice (below) is a random-access QIODevice over the descriptor for readers that
// want one (zip archives, XML, text streams). A child process gets the descriptor as its
// standard input (dup2 in the child; rewind() first, because a child reads from the shared
// position), and names it "/proc/self/fd/0" when it wants a file name.
//
// Linux decision: without /proc the second step cannot be made; the file is then refused
// (Failed, ENOENT from the reopen) rather than opened by name with the risks above.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <sys/stat.h>

class ContentFile
{
public:
    enum Status {
        NotOpened,  // default-constructed
        Opened,
        Missing,    // the name does not lead to a file (ENOENT, ENOTDIR, ELOOP, ...)
        NotRegular, // a folder, FIFO, socket or device: never opened for reading
        Denied,     // no permission to read it
        Changed,    // the reopened inode is not the one checked
        Failed      // any other error (errno in error())
    };

    ContentFile() = default;
    ~ContentFile();
    ContentFile(ContentFile&& other) noexcept;
    ContentFile& operator=(ContentFile&& other) noexcept;
    ContentFile(const ContentFile&) = delete;
    ContentFile& operator=(const ContentFile&) = delete;

    // Opens `path` (a lossless QString of the name's bytes, FileNameCodec) as described above.
    static ContentFile open(const QString& path);
    static ContentFile openNative(const QByteArray& nativePath, const QString& path);
    // Takes `descriptor` (a readable descriptor received from elsewhere) as the file named
    // `path` for messages; it is kept only when it is a regular file, else closed.
    static ContentFile adopt(int descriptor, const QString& path);

    bool isOpen() const { return fd_ >= 0; }
    Status status() const { return status_; }
    // errno of a failed open, 0 when open.
    int error() const { return error_; }
    QString errorString() const;

    int descriptor() const { return fd_; }
    // The name the file was opened by: for messages and for its extension, never to open.
    const QString& path() const { return path_; }
    qint64 size() const { return qint64(st_.st_size); }
    const struct stat& info() const { return st_; }

    // Reads up to `max` bytes at `offset`; the bytes read (0 at the end), -1 on an error.
    qint64 read(qint64 offset, char* into, qint64 max) const;
    // Reads until `max` bytes are in or the file ends; -1 on an error.
    qint64 readFully(qint64 offset, char* into, qint64 max) const;
    // Puts the descriptor's own position back to 0, for a child that reads its standard input.
    bool rewind() const;
    // A second descriptor of the same open file (close-on-exec), -1 on failure; the caller owns it.
    int duplicate() const;
    // Closes the descriptor now (status NotOpened).
    void close();

private:
    void fail(Status status, int error);

    int fd_ = -1;
    Status status_ = NotOpened;
    int error_ = 0;
    QString path_;
    struct stat st_ = {};
};

// A read-only, random-access QIODevice over the descriptor of a ContentFile (not owned: the
// file must outlive the device). It reads with pread at its own position, so several devices
// and child processes may use one file without disturbing each other. Its size is the file's
// size when it was opened.
class ContentFileDevice : public QIODevice
{
public:
    ContentFileDevice() = default;
    explicit ContentFileDevice(const ContentFile& file) { setFile(file); }
    ~ContentFileDevice() override;

    // Sets the file and opens the device for reading; false when the file is not open.
    bool setFile(const ContentFile& file);

    bool isSequential() const override { return false; }
    qint64 size() const override { return size_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const ContentFile* file_ = nullptr;
    qint64 size_ = 0;
};
