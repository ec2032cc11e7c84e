#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace vantelo {

// The commands of vantelo-catalogue. Each writes its result to out and its
// errors to err, and returns the process exit status: 0 done, 1 the language
// pack could not be read, 2 a bad argument.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUnreadablePack = 1;
inline constexpr int kExitBadArgument = 2;

int RunCatalogueTool(const QStringList& arguments, const QString& languagesRoot, QTextStream& out,
                     QTextStream& err);

}  // namespace vantelo
