#include "money/Loan.h"

#include "plan/DateText.h"
#include "plan/TextNumber.h"

#include <cmath>

namespace zp {

QString frequencyWord(LoanFrequency frequency)
{
    switch (frequency) {
    case LoanFrequency::Weekly: return QStringLiteral("Weekly");
    case LoanFrequency::Fortnightly: return QStringLiteral("Fortnightly");
    case LoanFrequency::Monthly: return QStringLiteral("Monthly");
    case LoanFrequency::Quarterly: return QStringLiteral("Quarterly");
    }
    return QStringLiteral("Monthly");
}

LoanFrequency frequencyFromText(QStringView text)
{
    if (text.isEmpty())
        return LoanFrequency::Monthly;
    switch (text.front().toLower().unicode()) {
    case u'w': return LoanFrequency::Weekly;
    case u'f': return LoanFrequency::Fortnightly;
    case u'q': return LoanFrequency::Quarterly;
    default: return LoanFrequency::Monthly;
    }
}

float periodsPerYear(LoanFrequency frequency)
{
    switch (frequency) {
    case LoanFrequency::Weekly: return 52.0f;
    case LoanFrequency::Fortnightly: return 26.0f;
    case LoanFrequency::Monthly: return 12.0f;
    case LoanFrequency::Quarterly: return 4.0f;
    }
    return 12.0f;
}

namespace {

LoanField normalise(QStringView text, double upper, double fallback)
{
    const double value = textValue(text);
    // Written so that NaN fails the test too.
    if (!(value > 0 && value <= upper))
        return {fallback, bareNumber(fallback)};
    return {value, plainNumber(value)};
}

// Int of the old BASIC: rounding down.
QString roundedDown(double value)
{
    return plainNumber(std::floor(value));
}

} // namespace

LoanField normaliseLoanAmount(QStringView text) { return normalise(text, 1e12, 1000000); }
LoanField normaliseLoanYears(QStringView text) { return normalise(text, 200, 10); }
LoanField normaliseLoanRate(QStringView text) { return normalise(text, 10000, 10); }

LoanFigures computeLoanFigures(const LoanInputs& inputs)
{
    LoanFigures f;
    const float perYear = periodsPerYear(inputs.frequency);
    const float years = static_cast<float>(inputs.years);
    f.periodRate = inputs.ratePercent / (static_cast<double>(perYear) * 100.0);
    f.exponent = -(years * perYear);
    const double denominator = 1.0 - std::pow(1.0 + f.periodRate, static_cast<double>(f.exponent));
    f.payment = inputs.amount * f.periodRate / denominator;
    if (denominator == 0.0 || !std::isfinite(f.payment))
        f.payment = inputs.amount / -static_cast<double>(f.exponent);
    f.annualRepayment = f.payment * perYear;
    f.totalRepaid = f.annualRepayment * years;
    f.totalInterest = f.totalRepaid - inputs.amount;
    return f;
}

QStringList loanSummaryLines(const QString& startText, const LoanFigures& figures)
{
    return {QStringLiteral("Info: "),
            QStringLiteral("Repayment begin     = ") + startText,
            QStringLiteral("Annual repayment    = $") + roundedDown(figures.annualRepayment),
            QStringLiteral("Total cash repaid   = $") + roundedDown(figures.totalRepaid),
            QStringLiteral("Total interest paid = $") + roundedDown(figures.totalInterest)};
}

int loanPeriodCount(const LoanInputs& inputs)
{
    const float periods = periodsPerYear(inputs.frequency) * static_cast<float>(inputs.years);
    return periods >= 1.0f ? static_cast<int>(std::floor(periods)) : 0;
}

QDate loanRepaymentDate(QDate start, LoanFrequency frequency, int k)
{
    switch (frequency) {
    case LoanFrequency::Weekly: return start.addDays(7LL * k);
    case LoanFrequency::Fortnightly: return start.addDays(14LL * k);
    case LoanFrequency::Monthly: return start.addMonths(k);
    case LoanFrequency::Quarterly: return start.addMonths(3 * k);
    }
    return start;
}

std::array<LoanRow, 3> loanScheduleHeadings(LoanFrequency frequency)
{
    return {LoanRow{QStringLiteral("Date"), QStringLiteral("Principle"), frequencyWord(frequency),
                    QStringLiteral("Accrued"), QStringLiteral("Accrued"), QStringLiteral("Balance")},
            LoanRow{QString(), QStringLiteral("Paid $"), QStringLiteral("Interest $"), QStringLiteral("Principle $"),
                    QStringLiteral("Interest $"), QStringLiteral("$")},
            LoanRow{}};
}

QString loanDateText(QDate date, DateOrder order)
{
    return date.toString(order == DateOrder::MonthFirst ? QStringLiteral("MM/dd/yyyy") : QStringLiteral("dd/MM/yyyy"));
}

std::vector<LoanRow> loanScheduleRows(const LoanInputs& inputs, const LoanFigures& figures, QDate start,
                                      DateOrder order)
{
    const int count = loanPeriodCount(inputs);
    std::vector<LoanRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    const double perYear = periodsPerYear(inputs.frequency);
    double balance = inputs.amount;
    double paidPrincipal = 0;
    double paidInterest = 0;
    for (int k = 1; k <= count; ++k) {
        const double interest = balance * (inputs.ratePercent / 100.0) / perYear;
        const double principal = figures.payment - interest;
        paidPrincipal += principal;
        paidInterest += interest;
        balance -= principal;
        if (balance < 0)
            balance = 0;
        rows.push_back({loanDateText(loanRepaymentDate(start, inputs.frequency, k), order), roundedDown(principal),
                        roundedDown(interest), roundedDown(paidPrincipal), roundedDown(paidInterest),
                        roundedDown(balance)});
    }
    return rows;
}

QDate loanStartDate(const QString& text, DateOrder order, int currentYear)
{
    if (!isDateText(text, order, std::chrono::year{currentYear}))
        return {};
    const auto value = parseDateTime(text, order, std::chrono::year{currentYear});
    if (!value || !value->hasDate)
        return {};
    const auto& d = value->date;
    return QDate(static_cast<int>(d.year()), static_cast<int>(static_cast<unsigned>(d.month())),
                 static_cast<int>(static_cast<unsigned>(d.day())));
}

QString loanTodayText(QDate today, DateOrder order)
{
    return today.toString(order == DateOrder::MonthFirst ? QStringLiteral("MM/dd/yy") : QStringLiteral("dd/MM/yy"));
}

QString loanRowsText(const std::vector<LoanRow>& rows)
{
    QString text;
    for (const LoanRow& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0)
                text += QLatin1Char('\t');
            text += row[c];
        }
        text += QLatin1Char('\n');
    }
    return text;
}

int writeLoanReport(const QStringList& texts, DateOrder order, QDate today, QTextStream& out, QTextStream& err)
{
    const auto text = [&](int i) { return i < texts.size() ? texts[i] : QString(); };
    const QString startText = text(3);
    const QDate start = loanStartDate(startText, order, today.year());
    if (!start.isValid()) {
        err << kLoanDateMessage << '\n' << kLoanControlPanelNote << '\n';
        return 1;
    }
    const LoanInputs inputs{normaliseLoanAmount(text(0)).value, normaliseLoanYears(text(1)).value,
                            normaliseLoanRate(text(2)).value, frequencyFromText(text(4))};
    const LoanFigures figures = computeLoanFigures(inputs);
    for (const QString& line : loanSummaryLines(startText, figures))
        out << line << '\n';
    const auto headings = loanScheduleHeadings(inputs.frequency);
    out << loanRowsText({headings.begin(), headings.end()}) << loanRowsText(loanScheduleRows(inputs, figures, start, order));
    return 0;
}

} // namespace zp
