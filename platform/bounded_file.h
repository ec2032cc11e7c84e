#pragma once

#include <QByteArray>
#include <QString>

namespace vantelo {

// Owns a file descriptor and closes it.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int descriptor) : m_descriptor(descriptor) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : m_descriptor(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_descriptor; }
    bool valid() const { return m_descriptor >= 0; }
    int release();

private:
    int m_descriptor = -1;
};

// Opens a file for reading without ever waiting: a FIFO or a device named like
// a settings file would otherwise stop the program at start-up. Whether what
// was opened is a regular file is for ReadBoundedFile() to check. Follows
// symbolic links: the per-user folder is the user's own, and keeping
// Settings.xml in a dot-files repository behind a link is common.
UniqueFd OpenForReading(const QString& path);

// Opens name, one plain component, inside the folder open as folder, without
// following a symbolic link in its place. With wantFolder the result must be a
// folder; otherwise it is opened as OpenForReading() opens files.
UniqueFd OpenBeneath(int folder, const QByteArray& name, bool wantFolder);

// Why ReadBoundedFile() gave no bytes.
enum class FileRefusal { None, NotARegularFile, TooLarge, ReadError };

// Whether the open file is a regular file of at most maxBytes bytes.
FileRefusal CheckBoundedFile(int descriptor, qint64 maxBytes);

// Reads a whole regular file of at most maxBytes bytes. The size is checked
// before anything is read, and the read stops one byte past the bound, so a
// file that grows meanwhile cannot make it read more.
FileRefusal ReadBoundedFile(int descriptor, qint64 maxBytes, QByteArray& bytes);

}  // namespace vantelo
