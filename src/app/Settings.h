#pragma once
#include "ui/FontDialog.h"

#include <QString>
#include <array>

namespace zp {

// Placement of one window in twips: top, left, width, height.
struct WindowPlacement {
    double top = 0;
    double left = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// Rows of the remembered window placements.
namespace PlacementRow {
constexpr int Main = 1;
constexpr int Print = 2;
constexpr int About = 3;
constexpr int TextEntry = 4;
constexpr int Calculator = 5;
constexpr int WorldTimes = 6;
constexpr int Ledger = 7;
constexpr int PhoneBook = 8;
constexpr int StartPicture = 9;
constexpr int Keyword = 10;
constexpr int LedgerPlot = 11;
constexpr int Reminders = 12;
constexpr int Loan = 13;
constexpr int NotepadFind = 14;
constexpr int Notepad = 15;
} // namespace PlacementRow

// The settings the planner keeps from one run to the next. Field labels,
// the edit style, the backup flag and the plan's name travel with the
// record store; everything else lives here.
struct Settings {
    QString saveSettingsOnExit = QStringLiteral("1");
    QString displayMode = QStringLiteral("sortbydate");
    std::array<QString, 3> reserved{QStringLiteral("*.*"), QStringLiteral("*.*"), QStringLiteral("*.*")};
    QString startupShow = QStringLiteral("all");
    FontChoice font;
    QString plotTitle = QStringLiteral("Income and Expense versus Time");
    QString plotXLabel = QStringLiteral("Time (Days)");
    QString plotYLabel = QStringLiteral("$");
    std::array<WindowPlacement, 16> windowPlacement = defaultPlacements(); // rows 1 ... 15
    double soundOn = 0;
    double maxRecordSeconds = 10;

    static std::array<WindowPlacement, 16> defaultPlacements();
    WindowPlacement& placement(int row) { return windowPlacement[static_cast<std::size_t>(row)]; }
    const WindowPlacement& placement(int row) const { return windowPlacement[static_cast<std::size_t>(row)]; }
};

} // namespace zp
