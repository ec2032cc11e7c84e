#include "platform/stream_status.h"

#include <QRegularExpression>

namespace vantelo {

QString StatusText(const StreamStatus& status)
{
    switch (status.state) {
    case StreamState::Idle:
        return {};
    case StreamState::Connecting:
        return QStringLiteral("Connecting…");
    case StreamState::Buffering:
        return QStringLiteral("Buffering %1%").arg(status.bufferingPercent);
    case StreamState::Playing:
        return QStringLiteral("Playing");
    case StreamState::Paused:
        return QStringLiteral("Paused");
    case StreamState::Stopped:
        return QStringLiteral("Stopped");
    case StreamState::Ended:
        return QStringLiteral("The stream was interrupted");
    case StreamState::Failed:
        return QStringLiteral("Failed: ") + status.failureReason;
    }
    return {};
}

void StreamFailureClassifier::Reset()
{
    *this = StreamFailureClassifier();
}

void StreamFailureClassifier::NoteLogLine(const QString& text)
{
    // ffmpeg's HTTP client logs e.g. "HTTP error 404 Not Found".
    static const QRegularExpression httpError(QStringLiteral("HTTP error (\\d{3})\\s*([^\\r\\n]*)"));
    const QRegularExpressionMatch match = httpError.match(text);
    if (match.hasMatch()) {
        const QString phrase = match.captured(2).trimmed();
        m_httpError = QStringLiteral("HTTP error ") + match.captured(1) +
                      (phrase.isEmpty() ? QString() : QStringLiteral(" (") + phrase + QLatin1Char(')'));
    }
    if (text.contains(QStringLiteral("Connection refused"), Qt::CaseInsensitive))
        m_connectionRefused = true;
    if (text.contains(QStringLiteral("Failed to resolve"), Qt::CaseInsensitive) ||
        text.contains(QStringLiteral("Name or service not known"), Qt::CaseInsensitive))
        m_hostNotFound = true;
    if (text.contains(QStringLiteral("timed out"), Qt::CaseInsensitive) ||
        text.contains(QStringLiteral("timeout"), Qt::CaseInsensitive))
        m_timedOut = true;
}

QString StreamFailureClassifier::ReasonForError(const QString& engineError, bool waitedLong) const
{
    if (!m_httpError.isEmpty())
        return m_httpError;
    if (m_connectionRefused)
        return QStringLiteral("the server refused the connection");
    if (m_hostNotFound)
        return QStringLiteral("the server's name could not be found");
    if (m_timedOut || waitedLong)
        return QStringLiteral("time-out: the server did not answer");
    if (engineError.contains(QStringLiteral("unrecognized file format"), Qt::CaseInsensitive))
        return QStringLiteral("unsupported format");
    return QStringLiteral("the stream could not be opened (") + engineError + QLatin1Char(')');
}

QString StreamFailureClassifier::ReasonForTimeout(int seconds) const
{
    if (!m_httpError.isEmpty())
        return m_httpError;
    return QStringLiteral("time-out: no picture within %1 seconds").arg(seconds);
}

}  // namespace vantelo
