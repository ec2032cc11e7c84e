#pragma once

#include <QString>

namespace vantelo {

// What the player's status line tells a viewer about the current stream.
enum class StreamState { Idle, Connecting, Buffering, Playing, Paused, Stopped, Ended, Failed };

struct StreamStatus {
    StreamState state = StreamState::Idle;
    int bufferingPercent = 0;  // while Buffering
    QString failureReason;     // while Failed
};

QString StatusText(const StreamStatus& status);

// Collects what the engine logs while a stream opens, so that a failure can be
// named in words a viewer understands (an HTTP status, a refused connection)
// instead of a bare error code.
class StreamFailureClassifier {
public:
    void Reset();
    void NoteLogLine(const QString& text);
    // The reason for a stream that could not be opened or played. waitedLong:
    // the failure came only after the engine's network time-out, with nothing
    // else said; the server accepted the connection and never answered.
    QString ReasonForError(const QString& engineError, bool waitedLong = false) const;
    // The reason for a stream that gave no picture before its deadline.
    QString ReasonForTimeout(int seconds) const;

private:
    QString m_httpError;
    bool m_connectionRefused = false;
    bool m_hostNotFound = false;
    bool m_timedOut = false;
};

}  // namespace vantelo
