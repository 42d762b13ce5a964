#pragma once
// What kind of file a name leads to, and opening a file without ever
// blocking on it. A record's sound or picture may name anything: opening a
// FIFO for reading waits until a writer comes, and a device such as
// /dev/zero never ends, so only existing regular files are opened. The
// check is made on the name and again on the opened file, so a FIFO put in
// its place in between is refused as well.
//
// Header only: the logic library (the write-target rule builds on it), the
// windows and the sound part file all use it, and the sound part links
// neither library.

#include <QFile>
#include <QString>
#include <optional>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zp {

enum class FileKind { Missing, Regular, Folder, Other };

namespace fileKindDetail {

inline FileKind kindOf(const struct stat& st)
{
    if (S_ISREG(st.st_mode))
        return FileKind::Regular;
    return S_ISDIR(st.st_mode) ? FileKind::Folder : FileKind::Other;
}

} // namespace fileKindDetail

// What is at `path`, links followed.
inline FileKind fileKindAt(const QString& path)
{
    struct stat st = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return FileKind::Missing;
    return fileKindDetail::kindOf(st);
}

// Why a file the program is about to read may not be opened, or nothing
// when it may.
inline std::optional<QString> readableFileProblem(const QString& path)
{
    switch (fileKindAt(path)) {
    case FileKind::Missing:
        return QStringLiteral("The file does not exist.");
    case FileKind::Folder:
        return QStringLiteral("It is a folder.");
    case FileKind::Other:
        return QStringLiteral("It is not a regular file (a pipe or a device).");
    case FileKind::Regular:
        break;
    }
    return std::nullopt;
}

// Opens `path` for reading (flags as open(2) takes them, close-on-exec) when
// it is an existing regular file, without waiting on it. The descriptor, or
// -1 with the reason in `problem`.
inline int openReadableFile(const QString& path, QString* problem = nullptr)
{
    if (const auto why = readableFileProblem(path)) {
        if (problem)
            *problem = *why;
        return -1;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (problem)
            *problem = QString::fromLocal8Bit(::strerror(errno)) + QLatin1Char('.');
        return -1;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || fileKindDetail::kindOf(st) != FileKind::Regular) {
        ::close(fd);
        if (problem)
            *problem = QStringLiteral("It is not a regular file (a pipe or a device).");
        return -1;
    }
    // Reads of a regular file never wait for a writer; the flag only
    // mattered for the open.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Opens `path` for writing, emptied, when it is a regular file or does not
// exist yet (then made with mode 0666 less the umask). A FIFO or a device is
// never written: -1 with the reason in `problem`.
inline int openWritableFile(const QString& path, QString* problem = nullptr)
{
    const FileKind kind = fileKindAt(path);
    if (kind == FileKind::Folder || kind == FileKind::Other) {
        if (problem)
            *problem = *readableFileProblem(path);
        return -1;
    }
    // Not emptied on opening: what turns out to be no regular file is left
    // as it was.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (problem)
            *problem = QString::fromLocal8Bit(::strerror(errno)) + QLatin1Char('.');
        return -1;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || fileKindDetail::kindOf(st) != FileKind::Regular || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        if (problem)
            *problem = QStringLiteral("It is not a regular file (a pipe or a device).");
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace zp
