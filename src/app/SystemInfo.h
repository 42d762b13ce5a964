#pragma once
#include "app/ProgramVersion.h"
#include "plan/RecordStore.h"
#include "ui/SystemFacts.h"

#include <QString>

namespace zp {

// Statistics of a plan as the Info page counts them.
struct PlanStatistics {
    int records = 0;
    double characters = 0;  // characters of fields 1 ... 10
    int completed = 0;      // status exactly "1"
    int outstanding = 0;    // status exactly "0"; any other status counts in neither
    QString income;         // money texts of the exact sums: "1,234.50"
    QString expenses;
    QString balance;
};

PlanStatistics planStatistics(const RecordStore& store);

// The Info page: the computer and screen, the program's own file and
// version, and the open plan's statistics, every line ending in `newline`
// (carriage return and line feed on the page, a line feed on a terminal).
QString systemInfoText(const SystemFacts& facts, const ProgramVersion& version, const RecordStore& store,
                       const QString& newline = QStringLiteral("\r\n"));

} // namespace zp
