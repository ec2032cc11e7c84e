#pragma once

#include <cstdio>
#include <functional>

#include <QByteArray>
#include <QString>

namespace vantelo {

// Writes a new version of a file so that a crash, a full disk or a failed write
// never leaves a half-written file behind: the content goes into a hidden
// temporary file in the target's folder, which replaces the target in one
// rename() on Commit(). Until then, and whenever a step fails, the target keeps
// its old content and the temporary file is removed.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& targetPath);
    ~AtomicFileWriter();  // removes the temporary file unless committed

    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // The temporary file to write into; nullptr when it could not be created.
    std::FILE* file() const { return m_file; }

    // Puts the written content on disk and closes the file, without touching the
    // target yet. Commit() does this itself; calling it first lets a caller learn
    // that the content is safe before it changes anything else.
    bool Finish();

    // Replaces the target with the written content.
    bool Commit();

    // What failed and why, for a log line; empty while nothing has failed.
    const QString& errorText() const { return m_errorText; }

private:
    bool Fail(const char* step);
    void Discard();

    QByteArray m_target;     // the target path in the file system's encoding
    QByteArray m_temporary;  // empty while no temporary file exists
    std::FILE* m_file = nullptr;
    QString m_errorText;
};

// Appended to the name of a file that is set aside because it could not be read.
inline const QString kUnreadableSuffix = QStringLiteral(".unreadable");

// Writes the file at path anew: write() puts the content into the given stream
// and returns whether that worked. An existing file that canRead() rejects (a
// hand edit with an error, say) is renamed to <path>.unreadable, replacing an
// older one, just before the new file takes its place, so the user's edits are
// kept. When the new content cannot be written, nothing is changed. The folder
// must exist.
bool ReplaceFileKeepingUnreadable(const QString& path, const std::function<bool(std::FILE*)>& write,
                                  const std::function<bool(const QString&)>& canRead);

}  // namespace vantelo
