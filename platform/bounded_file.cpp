#include "platform/bounded_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace vantelo {

UniqueFd::~UniqueFd()
{
    if (m_descriptor >= 0)
        close(m_descriptor);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        if (m_descriptor >= 0)
            close(m_descriptor);
        m_descriptor = other.release();
    }
    return *this;
}

int UniqueFd::release()
{
    const int descriptor = m_descriptor;
    m_descriptor = -1;
    return descriptor;
}

namespace {

// O_NONBLOCK only matters for FIFOs and devices, which are refused after the
// open anyway; on a regular file it changes nothing.
constexpr int kFileFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

}  // namespace

UniqueFd OpenForReading(const QString& path)
{
    return UniqueFd(open(QFile::encodeName(path).constData(), kFileFlags));
}

UniqueFd OpenBeneath(int folder, const QByteArray& name, bool wantFolder)
{
    if (folder < 0 || name.isEmpty() || name.contains('/') || name == "." || name == "..")
        return UniqueFd();
    const int flags = wantFolder ? O_RDONLY | O_CLOEXEC | O_DIRECTORY | O_NOFOLLOW : kFileFlags | O_NOFOLLOW;
    return UniqueFd(openat(folder, name.constData(), flags));
}

namespace {

FileRefusal Check(int descriptor, qint64 maxBytes, qint64& size)
{
    struct stat status {};
    if (fstat(descriptor, &status) != 0)
        return FileRefusal::ReadError;
    if (!S_ISREG(status.st_mode))
        return FileRefusal::NotARegularFile;
    if (status.st_size > maxBytes)
        return FileRefusal::TooLarge;
    size = status.st_size;
    return FileRefusal::None;
}

}  // namespace

FileRefusal CheckBoundedFile(int descriptor, qint64 maxBytes)
{
    qint64 size = 0;
    return Check(descriptor, maxBytes, size);
}

FileRefusal ReadBoundedFile(int descriptor, qint64 maxBytes, QByteArray& bytes)
{
    qint64 size = 0;
    if (const FileRefusal refusal = Check(descriptor, maxBytes, size); refusal != FileRefusal::None)
        return refusal;

    QByteArray read(static_cast<qsizetype>(size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == read.size()) {
            if (filled > maxBytes)
                return FileRefusal::TooLarge;
            read.resize(qMin<qsizetype>(filled * 2 + 1, maxBytes + 1));
        }
        const ssize_t got = ::read(descriptor, read.data() + filled, static_cast<size_t>(read.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FileRefusal::ReadError;
        }
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > maxBytes)
        return FileRefusal::TooLarge;
    read.truncate(filled);
    bytes = read;
    return FileRefusal::None;
}

}  // namespace vantelo
