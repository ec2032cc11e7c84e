#pragma once

#include <string>

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vantelo::test {

// Runs tests/probe/probe_server.py on a free port of 127.0.0.1 for the length
// of a test, and stops it afterwards.
class ProbeServer {
public:
    bool Start()
    {
        m_process.setProgram(QStringLiteral(PYTHON3_EXECUTABLE));
        m_process.setArguments({QStringLiteral(VANTELO_SOURCE_DIR "/tests/probe/probe_server.py")});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(10000))
            return false;
        while (m_process.state() == QProcess::Running && !m_process.canReadLine())
            m_process.waitForReadyRead(10000);
        const QList<QByteArray> words = m_process.readLine().trimmed().split(' ');
        if (words.size() != 2 || words[0] != "READY")
            return false;
        m_port = words[1].toInt();
        return m_port > 0;
    }

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

    ~ProbeServer()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
    int m_port = 0;
};

}  // namespace vantelo::test
