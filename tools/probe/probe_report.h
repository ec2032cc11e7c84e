#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QTextStream>

#include "tools/probe/probe_result.h"

namespace vantelo {

enum class ProbeFormat {
    Table,  // aligned columns for people
    Tsv,    // code, table, index, name, verdict, detail, ms; one line per channel
    Json,   // an array of objects with those fields
};

std::optional<ProbeFormat> ParseProbeFormat(const QString& name);

struct ProbeReportRow {
    ProbeResult result;
    QString name;  // the channel's name in the chosen language pack
};

void WriteProbeResults(const std::vector<ProbeReportRow>& rows, ProbeFormat format, QTextStream& out);

// Counts per verdict, then per catalogue table (only the tables checked).
void WriteProbeSummary(const std::vector<ProbeReportRow>& rows, QTextStream& out);

}  // namespace vantelo
