#include "platform/app_data_folder.h"

#include <QDir>
#include <QtGlobal>

namespace vantelo {

QString AppDataFolder()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Vantelo");
}

}  // namespace vantelo
