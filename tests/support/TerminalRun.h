#pragma once
// For tests of the terminal commands: a command line run as the program
// runs it, with what it printed and said.
#include "app/CommandLine.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace zp {

struct Outcome {
    int status = 0;
    QString out;
    QString err;
};

inline Outcome run(const QStringList& args, DateOrder systemOrder = DateOrder::DayFirst, const SystemFacts& facts = {})
{
    Outcome r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = runCommandLine(parseCommandLine(args), systemOrder, QDate(2026, 12, 7), out, err, std::nullopt, facts);
    out.flush();
    err.flush();
    return r;
}

} // namespace zp
