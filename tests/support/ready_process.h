#pragma once

#include <QList>
#include <QProcess>

namespace vantelo::test {

// Starts a test server and waits for its "READY <port>" line. Returns the
// port, or 0 when the server did not come up.
inline int StartAndWaitForReady(QProcess& process)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start();
    if (!process.waitForStarted(10000))
        return 0;
    while (process.state() == QProcess::Running && !process.canReadLine())
        process.waitForReadyRead(10000);
    const QList<QByteArray> words = process.readLine().trimmed().split(' ');
    if (words.size() != 2 || words[0] != "READY")
        return 0;
    return words[1].toInt();
}

}  // namespace vantelo::test
