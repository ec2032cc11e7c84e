#pragma once

#include <QProcess>
#include <QString>

#include "support/ready_process.h"

namespace vantelo::test {

// Starts the local test stream server for the length of a test run and stops
// it afterwards. Port 18080 is the one the test address table points at.
class StreamServer {
public:
    static constexpr int kPort = 18080;

    bool Start(const QString& streamsFolder)
    {
        m_process.setProgram(QStringLiteral("python3"));
        m_process.setArguments({QStringLiteral(VANTELO_SOURCE_DIR "/tests/support/stream_server.py"),
                                QStringLiteral("--root"), streamsFolder, QStringLiteral("--port"),
                                QString::number(kPort)});
        return StartAndWaitForReady(m_process) == kPort;
    }

    ~StreamServer()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
};

}  // namespace vantelo::test
