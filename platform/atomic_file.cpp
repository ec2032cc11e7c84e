#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QtGlobal>

namespace vantelo {
namespace {

// umask() can only be read by changing it, which would race with any other
// thread creating a file meanwhile; Linux shows it in /proc instead.
mode_t CurrentUmask()
{
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned int mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr)
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

// A replaced file keeps the permissions the user gave it; a new one gets 0644,
// narrowed by the umask as fopen() would narrow it.
mode_t ModeForTarget(const QByteArray& target)
{
    struct stat existing {};
    if (stat(target.constData(), &existing) == 0)
        return existing.st_mode & 0777;
    return 0644 & ~CurrentUmask();
}

QByteArray FolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// Makes the rename itself survive a power cut. Some file systems cannot sync a
// folder; the file is already replaced then, so a failure here is not reported.
void SyncFolder(const QByteArray& folder)
{
    const int descriptor = open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    fsync(descriptor);
    close(descriptor);
}

// True when nothing at path needs keeping or it was moved aside.
bool SetAsideIfUnreadable(const QString& path, const std::function<bool(const QString&)>& canRead)
{
    const QByteArray encoded = QFile::encodeName(path);
    struct stat existing {};
    if (lstat(encoded.constData(), &existing) != 0)
        return errno == ENOENT;
    if (canRead(path))
        return true;
    return std::rename(encoded.constData(), QFile::encodeName(path + kUnreadableSuffix).constData()) == 0;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const QString& targetPath) : m_target(QFile::encodeName(targetPath))
{
    // Same folder as the target, so that rename() never crosses file systems.
    const qsizetype slash = m_target.lastIndexOf('/');
    QByteArray pattern = m_target.left(slash + 1) + '.' + m_target.mid(slash + 1) + QByteArrayLiteral(".XXXXXX");
    const int descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor < 0) {
        Fail("create");
        return;
    }
    m_temporary = pattern;
    // mkostemp() creates the file for its owner only; a failure to widen that
    // (on a file system without permissions) costs nothing but the mode.
    (void)fchmod(descriptor, ModeForTarget(m_target));
    m_file = fdopen(descriptor, "wb");
    if (m_file == nullptr) {
        const int error = errno;
        close(descriptor);
        errno = error;
        Fail("open");
    }
}

AtomicFileWriter::~AtomicFileWriter() { Discard(); }

bool AtomicFileWriter::Finish()
{
    if (m_file == nullptr)
        return !m_temporary.isEmpty();  // finished before, or failed
    // A full disk often shows only now, when the buffered content is written.
    if (std::fflush(m_file) != 0 || std::ferror(m_file) != 0)
        return Fail("write");
    if (fsync(fileno(m_file)) != 0)
        return Fail("sync");
    const int closed = std::fclose(m_file);
    m_file = nullptr;
    if (closed != 0)
        return Fail("close");
    return true;
}

bool AtomicFileWriter::Commit()
{
    if (!Finish())
        return false;
    if (std::rename(m_temporary.constData(), m_target.constData()) != 0)
        return Fail("replace");
    m_temporary.clear();
    SyncFolder(FolderOf(m_target));
    return true;
}

bool AtomicFileWriter::Fail(const char* step)
{
    const int error = errno;
    m_errorText = QString::fromLatin1(step) + QStringLiteral(" ") + QFile::decodeName(m_target) + QStringLiteral(": ") +
                  QString::fromLocal8Bit(std::strerror(error));
    Discard();
    return false;
}

void AtomicFileWriter::Discard()
{
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temporary.isEmpty()) {
        unlink(m_temporary.constData());
        m_temporary.clear();
    }
}

bool ReplaceFileKeepingUnreadable(const QString& path, const std::function<bool(std::FILE*)>& write,
                                  const std::function<bool(const QString&)>& canRead)
{
    AtomicFileWriter writer(path);
    const auto warn = [&path, &writer] {
        const QString reason = writer.errorText().isEmpty() ? QStringLiteral("write failed") : writer.errorText();
        qWarning("Cannot save %s: %s", qPrintable(path), qPrintable(reason));
    };
    // The old file is only looked at once the new content is safely on disk, so
    // a failed write leaves both it and any earlier .unreadable file as they were.
    if (writer.file() == nullptr || !write(writer.file()) || !writer.Finish()) {
        warn();
        return false;
    }
    if (!SetAsideIfUnreadable(path, canRead)) {
        const int error = errno;
        qWarning("Cannot set aside the unreadable %s: %s", qPrintable(path), std::strerror(error));
        return false;
    }
    if (!writer.Commit()) {
        warn();
        return false;
    }
    return true;
}

}  // namespace vantelo
