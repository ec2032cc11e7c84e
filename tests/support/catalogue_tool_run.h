#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "tools/catalogue_commands.h"

namespace vantelo::test {

// One run of vantelo-catalogue's commands, in process, with what it printed.
struct ToolRun {
    int status;
    QString out;
    QString err;
};

inline ToolRun RunTool(const QStringList& arguments, const QString& languagesRoot)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = RunCatalogueTool(arguments, languagesRoot, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

}  // namespace vantelo::test
