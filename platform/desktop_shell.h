#pragma once

#include "platform/shell.h"

namespace vantelo {

// Opens addresses through the desktop (xdg-open and friends).
class DesktopShell final : public Shell {
public:
    void Open(const QUrl& url) override;
};

}  // namespace vantelo
