#pragma once

#include <QList>
#include <QUrl>

#include "platform/shell.h"

namespace vantelo::test {

// Keeps the addresses the program asked to open.
class RecordingShell final : public Shell {
public:
    void Open(const QUrl& url) override { opened.append(url); }
    QList<QUrl> opened;
};

}  // namespace vantelo::test
