#pragma once
// The loan simulator's arithmetic: input normalisation, the level repayment
// of an amortising loan, its summary lines and its repayment schedule.
// Plain values in and out, so the window and the command line show the
// same figures.

#include "ui/DateOrderSource.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTextStream>
#include <array>
#include <vector>

namespace zp {

inline const QString kLoanCaption = QStringLiteral("Zorvik Planner Loan Simulator");
inline const QString kLoanShowCaption = QStringLiteral("Click here to show repayment information");
inline const QString kLoanWaitCaption = QStringLiteral("Please wait...");
inline const QString kLoanAgainCaption = QStringLiteral("Try again");
inline const QString kLoanDateMessage = QStringLiteral("Date format not correct. Please re-enter.");
inline const QString kLoanControlPanelNote =
    QStringLiteral("Note: Use the control panel to set the date format specific to your country.");
inline const QString kLoanDateTitle = QStringLiteral("Planner Record");

enum class LoanFrequency { Weekly, Fortnightly, Monthly, Quarterly };

// "Weekly", "Fortnightly", "Monthly", "Quarterly".
QString frequencyWord(LoanFrequency frequency);
// By the first letter in any case (w, f, m, q); anything else, empty text
// too, is monthly.
LoanFrequency frequencyFromText(QStringView text);
// 52, 26, 12 or 4.
float periodsPerYear(LoanFrequency frequency);

// A box's text after its check, and the value it stands for.
struct LoanField {
    double value = 0;
    QString text;
    friend bool operator==(const LoanField&, const LoanField&) = default;
};

// Out of range, non-numeric or non-finite texts take the default (shown
// without a leading blank); good values are rewritten in their string form.
LoanField normaliseLoanAmount(QStringView text); // (0, 1e12], else 1000000
LoanField normaliseLoanYears(QStringView text);  // (0, 200], else 10
LoanField normaliseLoanRate(QStringView text);   // (0, 10000], else 10

struct LoanInputs {
    double amount = 1000000;
    double years = 10;      // computed in single precision, as the loan period always was
    double ratePercent = 10.2;
    LoanFrequency frequency = LoanFrequency::Monthly;
};

struct LoanFigures {
    double periodRate = 0;
    float exponent = 0; // -(years x periods per year)
    double payment = 0;
    double annualRepayment = 0;
    double totalRepaid = 0;
    double totalInterest = 0;
};

// The level repayment per period. When the rate is so small that the
// annuity formula's denominator vanishes in double precision, the loan is
// repaid in equal parts of the amount instead of an infinite repayment.
LoanFigures computeLoanFigures(const LoanInputs& inputs);

// "Info: ", "Repayment begin     = <start>", then the annual repayment,
// cash repaid and interest, each rounded down, after "$".
QStringList loanSummaryLines(const QString& startText, const LoanFigures& figures);

// The whole number of periods the schedule runs (the fraction of a period
// that a part year leaves is not scheduled).
int loanPeriodCount(const LoanInputs& inputs);

// The date of the k-th repayment: k periods after the start. Months are
// counted from the start date, so a loan begun on 31 January is repaid on
// the last day of February and again on 31 March.
QDate loanRepaymentDate(QDate start, LoanFrequency frequency, int k);

using LoanRow = std::array<QString, 6>;

// The three heading rows of the schedule (the third one is empty).
std::array<LoanRow, 3> loanScheduleHeadings(LoanFrequency frequency);

// One row per repayment: the date in the short form of the date order,
// then principal, interest, accrued principal, accrued interest and
// balance, each rounded down and in string form. The balance never goes
// below 0.
std::vector<LoanRow> loanScheduleRows(const LoanInputs& inputs, const LoanFigures& figures, QDate start,
                                      DateOrder order);

// The date text of a schedule row: dd/mm/yyyy or mm/dd/yyyy.
QString loanDateText(QDate date, DateOrder order);

// Reads a start date typed in the box; an invalid QDate when it is no date.
QDate loanStartDate(const QString& text, DateOrder order, int currentYear);

// Today in the box's own form: dd/mm/yy or mm/dd/yy.
QString loanTodayText(QDate today, DateOrder order);

// Rows joined by line feeds, cells by tabs, as a spreadsheet pastes them.
QString loanRowsText(const std::vector<LoanRow>& rows);

// The loan from five typed texts (amount, years, rate, start date,
// frequency) after the window's checks: the summary lines, then every grid
// row but the empty one below the schedule, cells joined by tabs. A start
// date that is no date writes the window's message to `err` and returns 1.
int writeLoanReport(const QStringList& texts, DateOrder order, QDate today, QTextStream& out, QTextStream& err);

} // namespace zp
