#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace vantelo {

// "vantelo-catalogue probe": checks the stream of every catalogue channel, or
// of the codes given, and reports one verdict per channel. options are the
// arguments after "probe". Returns the tool's exit status: 0 when it ran,
// whatever it found; 1 when no language pack gave the channel names; 2 for a
// bad argument, before any request is made.
int RunProbeCommand(const QStringList& options, const QString& languagesRoot, QTextStream& out,
                    QTextStream& err);

}  // namespace vantelo
