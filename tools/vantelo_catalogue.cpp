// vantelo-catalogue: the channel catalogue for people and scripts.

#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include "lang/language_pack.h"
#include "tools/catalogue_commands.h"

namespace {

// Packs are looked up in the current directory first, as the player does; a
// tool started from elsewhere falls back to the packs beside it.
QString FindLanguagesRoot()
{
    const QString local = vantelo::kLanguagesFolder;
    if (QFileInfo(local).isDir())
        return local;
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + vantelo::kLanguagesFolder;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status =
        vantelo::RunCatalogueTool(application.arguments().mid(1), FindLanguagesRoot(), out, err);
    out.flush();
    err.flush();
    return status;
}
