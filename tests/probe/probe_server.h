#pragma once

#include <string>

#include <QProcess>
#include <QString>
#include <QStringList>

#include "support/ready_process.h"

namespace vantelo::test {

// Runs tests/probe/probe_server.py on a free port of 127.0.0.1 for the length
// of a test, and stops it afterwards.
class ProbeServer {
public:
    bool Start()
    {
        m_process.setProgram(QStringLiteral(PYTHON3_EXECUTABLE));
        m_process.setArguments({QStringLiteral(VANTELO_SOURCE_DIR "/tests/probe/probe_server.py")});
        m_port = StartAndWaitForReady(m_process);
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
