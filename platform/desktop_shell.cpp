#include "platform/desktop_shell.h"

#include <QDesktopServices>

namespace vantelo {

void DesktopShell::Open(const QUrl& url)
{
    // Whether a program opened is not ours to report; the desktop tells the user.
    QDesktopServices::openUrl(url);
}

}  // namespace vantelo
