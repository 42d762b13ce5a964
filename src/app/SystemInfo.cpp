#include "app/SystemInfo.h"

#include "money/MoneySum.h"
#include "plan/TextNumber.h"

#include <cstdint>

namespace zp {

namespace {

// Characters as a reader counts them: a pair of UTF-16 halves is one.
qsizetype characterCount(QStringView text)
{
    qsizetype count = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            --count;
            ++i;
        }
    }
    return count;
}

// Version numbers are kept as 16-bit halves and read back signed, so a part
// above 32767 shows as its value minus 65536.
QString versionPart(int value)
{
    return bareNumber(static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF)));
}

QString fourPartVersion(const ProgramVersion& v)
{
    return versionPart(v.major) + u'.' + versionPart(v.minor) + u'.' + versionPart(v.patch) + u'.' + versionPart(v.build);
}

// The version record the program carries is of layout 1.0.
constexpr int kStructureVersionHigh = 1;
constexpr int kStructureVersionLow = 0;

} // namespace

PlanStatistics planStatistics(const RecordStore& store)
{
    PlanStatistics s;
    s.records = store.recordCount();
    MoneySum income, expense;
    for (int i = 1; i <= s.records; ++i) {
        const RecordView r = store.record(i);
        for (int f = Field::StartDate; f <= Field::ImagePath; ++f)
            s.characters += static_cast<double>(characterCount(r[f]));
        if (r[Field::JobStatus] == QLatin1String("1"))
            ++s.completed;
        else if (r[Field::JobStatus] == QLatin1String("0"))
            ++s.outstanding;
        income.add(r[Field::Income]);
        expense.add(r[Field::Expense]);
    }
    MoneySum balance = income;
    balance.subtract(expense);
    s.income = income.standardText();
    s.expenses = expense.standardText();
    s.balance = balance.standardText();
    return s;
}

QString systemInfoText(const SystemFacts& facts, const ProgramVersion& version, const RecordStore& store,
                       const QString& newline)
{
    QString text;
    auto line = [&](const QString& l) { text += l + newline; };

    line(QStringLiteral("SYSTEM INFORMATION"));
    if (!facts.platformName.isEmpty())
        line(QStringLiteral("Platform: ") + facts.platformName);
    line(QStringLiteral("Version: ") + plainNumber(facts.versionMajor) + u'.' + plainNumber(facts.versionMinor) + u'.' +
         plainNumber(facts.versionPatch));
    line(QStringLiteral("CSDVersion: ") + plainNumber(textValue(facts.serviceLevel)));
    if (facts.screenPixels)
        line(QStringLiteral("Screen Mode: ") + plainNumber(facts.screenPixels->width()) + u'x' +
             plainNumber(facts.screenPixels->height()));
    else
        line(QStringLiteral("Screen Mode: none"));

    line(QString());
    line(QStringLiteral("APPLICATION INFORMATION"));
    line(QStringLiteral("Application Path: ") + facts.programDirectory);
    if (!facts.programFileSize) {
        line(QStringLiteral("Application info not available"));
    } else {
        line(QStringLiteral("Application Size: ") + bareNumber(static_cast<double>(*facts.programFileSize)));
        line(QStringLiteral("Application Version: ") + fourPartVersion(version));
        line(QStringLiteral("Product Version: ") + fourPartVersion(version));
        line(QStringLiteral("Structure Version: ") + versionPart(kStructureVersionHigh) + u'.' +
             versionPart(kStructureVersionLow));
    }

    line(QString());
    line(QStringLiteral("FILE INFORMATION"));
    if (store.recordCount() > 0) {
        const PlanStatistics s = planStatistics(store);
        line(store.planFileName.isEmpty() ? QStringLiteral("Current file: None")
                                          : QStringLiteral("Current file: ") + store.planFileName);
        line(QStringLiteral("Total records: ") + plainNumber(s.records));
        line(QStringLiteral("Total characters: ") + plainNumber(s.characters));
        line(QStringLiteral("Total income: $") + s.income);
        line(QStringLiteral("Total expenses: $") + s.expenses);
        line(QStringLiteral("Balance: $") + s.balance);
        line(QStringLiteral("Completed records: ") + plainNumber(s.completed));
        line(QStringLiteral("Outstanding records: ") + plainNumber(s.outstanding));
    } else {
        // An empty plan always reads as a new one.
        for (const char* fixed : {"Current file: New Plan ", "Total records: 0", "Total characters: 0",
                                  "Total income: $0.00", "Total expenses: $0.00", "Balance: $ 0",
                                  "Completed records: 0", "Outstanding records: 0"})
            line(QString::fromLatin1(fixed));
    }
    return text;
}

} // namespace zp
