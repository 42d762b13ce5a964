// Every window at the smallest, a middle and the largest font the Fonts
// command allows, light and dark: no caption is cut, no label runs into its
// field, and every text stands out from what it is drawn on.
#include "accessories/windows/CalculatorWindow.h"
#include "accessories/windows/FindDialog.h"
#include "accessories/windows/NotepadWindow.h"
#include "accessories/windows/RecorderWindow.h"
#include "accessories/windows/WorldTimesWindow.h"
#include "app/windows/AboutWindow.h"
#include "app/windows/AlarmsDialog.h"
#include "app/windows/CalendarServerDialog.h"
#include "app/windows/HelpWindow.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "app/windows/RepeatDialog.h"
#include "app/windows/StartWindow.h"
#include "money/windows/LedgerPlotWindow.h"
#include "money/windows/LedgerWindow.h"
#include "money/windows/LoanWindow.h"
#include "support/Fakes.h"
#include "support/TextFaults.h"
#include "ui/TextFit.h"
#include "views/windows/KeywordWindow.h"
#include "views/windows/PhoneBookWindow.h"
#include "views/windows/PrintWindow.h"
#include "views/windows/RecordDetailsWindow.h"
#include "views/windows/RemindersWindow.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace zp {
namespace {

QPalette darkPalette()
{
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 30), text(230, 230, 230);
    for (auto [role, colour] : {std::pair{QPalette::Window, window}, {QPalette::WindowText, text}, {QPalette::Base, base},
                                {QPalette::AlternateBase, window}, {QPalette::Text, text}, {QPalette::Button, window},
                                {QPalette::ButtonText, text}, {QPalette::ToolTipBase, base}, {QPalette::ToolTipText, text},
                                {QPalette::Highlight, QColor(42, 130, 218)}, {QPalette::HighlightedText, Qt::white},
                                {QPalette::Link, QColor(120, 170, 255)}, {QPalette::Light, QColor(70, 70, 70)},
                                {QPalette::Midlight, QColor(60, 60, 60)}, {QPalette::Mid, QColor(40, 40, 40)},
                                {QPalette::Dark, QColor(25, 25, 25)}, {QPalette::Shadow, Qt::black}})
        p.setColor(role, colour);
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(140, 140, 140));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(140, 140, 140));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(140, 140, 140));
    return p;
}

struct Case {
    const char* window;
    int points;
    bool dark;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.window << ' ' << c.points << (c.dark ? " pt dark" : " pt");
}

// The window a case looks at, opened the way the user opens it.
QWidget* openWindow(const QString& name, PlannerApp& app, ProgramState& state, const Platform& platform,
                    std::vector<std::unique_ptr<QWidget>>& owned)
{
    MainWindow& main = *app.mainWindow();
    auto own = [&](QWidget* w) {
        owned.emplace_back(w);
        w->show();
        return w;
    };
    if (name.startsWith(QLatin1String("main"))) {
        // Two lines in the list, the second marked by the keyword.
        for (const char* name : {"Jones", "Smith & Sons"}) {
            PlannerRecord record;
            record[Field::Name] = QString::fromLatin1(name);
            state.store.insertRecordAt(state.store.recordCount() + 1, record);
        }
        state.highlightKeyword = QStringLiteral("Smith");
        main.rebuildRecordsList();
        main.show();
        QApplication::processEvents();
        main.setTwipsGeometry({0, 0, 790 * 15, 780 * 15}); // about the whole of the test's screen
        auto* tabs = main.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        tabs->setCurrentIndex(name == QLatin1String("main-info") ? 0 : 3);
        main.tickTimer3(); // the moving logo shows in the picture
        if (name == QLatin1String("main-find"))
            main.openFind();
        return &main;
    }
    if (name == QLatin1String("ledger"))
        return app.showLedger(), app.ledger();
    if (name == QLatin1String("plot"))
        return app.showLedgerPlot(), app.ledgerPlot();
    if (name == QLatin1String("loan"))
        return app.showLoanWindow(), app.loanWindow();
    if (name == QLatin1String("calculator"))
        return app.showCalculator(), app.calculator();
    if (name == QLatin1String("worldtimes"))
        return app.showWorldTimes(), app.worldTimes();
    if (name == QLatin1String("notepad"))
        return app.showNotepad(), app.notepad();
    if (name == QLatin1String("find")) {
        app.showNotepad();
        app.notepad()->showFindDialog();
        return app.notepad()->findDialog();
    }
    if (name == QLatin1String("phonebook"))
        return app.showPhoneBook(), app.phoneBook();
    if (name == QLatin1String("details")) {
        auto* w = new RecordDetailsWindow;
        w->showText(QStringLiteral("Smith & Sons\nPhone 555 1234"));
        return own(w);
    }
    if (name == QLatin1String("keyword"))
        return app.showKeywordWindow(), app.keywordWindow();
    if (name == QLatin1String("reminders"))
        return app.remindersWindow()->show(), app.remindersWindow();
    if (name == QLatin1String("print")) {
        auto* w = new PrintWindow(state, platform, {});
        w->openForPrinting();
        return own(w);
    }
    if (name == QLatin1String("about"))
        return app.showAbout(), app.aboutWindow();
    if (name == QLatin1String("start"))
        return app.showStartWindow(), app.startWindow();
    if (name == QLatin1String("recorder")) {
        static QTemporaryDir recordings;
        state.store.recordingsFolder = recordings.path();
        return app.showRecorder(), app.recorder();
    }
    if (name == QLatin1String("alarms"))
        return own(new AlarmsDialog(AlarmOptions{}, true, true));
    if (name == QLatin1String("repeat")) {
        PlannerRecord record;
        record[Field::StartDate] = QStringLiteral("01/01/2027");
        record[Field::Name] = QStringLiteral("Smith & Sons");
        state.store.insertRecordAt(1, record);
        auto* w = new RepeatDialog;
        owned.emplace_back(w);
        w->repeat(state.store, 1, [](std::vector<PlannerRecord>) {});
        return w;
    }
    if (name == QLatin1String("calendarserver")) {
        static FakeHttp http;
        return own(new CalendarServerDialog(http, CalendarServerChoice{}, nullptr));
    }
    if (name == QLatin1String("help"))
        return app.showHelp(QStringLiteral("index.html")), app.helpWindow();
    return nullptr;
}

class Legibility : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        savedFont_ = QApplication::font();
        savedPalette_ = QApplication::palette();
        savedStyle_ = QApplication::style()->name();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), GetParam().points));
        QApplication::setPalette(GetParam().dark ? darkPalette() : QApplication::style()->standardPalette());
        state.settings.font.name = QStringLiteral("DejaVu Sans");
        state.settings.font.size = GetParam().points;
        state.store.editStyle = QString::fromLatin1(GetParam().window) == QLatin1String("main-grid")
            ? EditStyle::ProjectPlanning
            : EditStyle::HomeAndOffice;
        test.screen.setPixels(1280, 1024);
    }
    void TearDown() override
    {
        owned.clear();
        app.reset();
        QApplication::setStyle(QStyleFactory::create(savedStyle_));
        QApplication::setFont(savedFont_);
        QApplication::setPalette(savedPalette_);
    }

    TestPlatform test;
    ProgramState state;
    std::unique_ptr<PlannerApp> app;
    std::vector<std::unique_ptr<QWidget>> owned;
    QFont savedFont_;
    QPalette savedPalette_;
    QString savedStyle_;
};

QString describe(const QWidget* window, const TextFault& f)
{
    return QStringLiteral("%1: %2 \"%3\" %4").arg(window->objectName(), f.objectName, f.text, f.problem);
}

TEST_P(Legibility, everyTextFitsAndStandsOut)
{
    app = std::make_unique<PlannerApp>(state, test.platform());
    app->start();
    const QString name = QString::fromLatin1(GetParam().window);
    QPointer<QWidget> window = openWindow(name, *app, state, test.platform(), owned);
    ASSERT_NE(window, nullptr) << GetParam().window;
    QApplication::processEvents();
    ASSERT_NE(window, nullptr) << GetParam().window << " closed at once";
    if (name == QLatin1String("main-grid") || name == QLatin1String("main-edit") || name == QLatin1String("main-info"))
        static_cast<MainWindow*>(window.data())->layoutMainWindow();
    QApplication::processEvents();

    QStringList faults;
    for (const TextFault& f : findTextFaults(*window))
        faults << describe(window, f);
    // The entry grid's caption rows (bold in the second) are shown whole.
    if (auto* grid = window->findChild<QTableView*>(QStringLiteral("Grid1")); grid && grid->isVisible()) {
        QFont bold = grid->font();
        bold.setBold(true);
        for (int col = 0; col < grid->model()->columnCount(); ++col)
            for (int row = 0; row < 2; ++row) {
                const QString caption = grid->model()->index(row, col).data().toString();
                if (QFontMetrics(bold).horizontalAdvance(caption) + 6 > grid->columnWidth(col))
                    faults << QStringLiteral("Grid1 caption \"%1\" is cut").arg(caption);
            }
    }
    if (auto* browser = window->findChild<QTextBrowser*>()) {
        const QColor base = browser->palette().color(QPalette::Base);
        for (QTextBlock b = browser->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                const QColor fg = f.foreground().style() == Qt::NoBrush ? browser->palette().color(QPalette::Text)
                                                                        : f.foreground().color();
                QColor bg = f.background().style() == Qt::NoBrush ? base : f.background().color();
                if (contrastRatio(fg, bg) < kLeastTextContrast)
                    faults << QStringLiteral("help text \"%1\" is hard to read").arg(it.fragment().text().left(30));
            }
    }
    EXPECT_TRUE(faults.isEmpty()) << GetParam().window << " at " << GetParam().points
                                  << (GetParam().dark ? " pt, dark:\n" : " pt, light:\n")
                                  << faults.join(QLatin1Char('\n')).toStdString();

    // Every picture, to look at by eye, when asked for.
    if (const QString shots = qEnvironmentVariable("ZORVIK_LEGIBILITY_SHOTS"); !shots.isEmpty())
        window->grab().save(QStringLiteral("%1/%2-%3%4.png")
                                .arg(shots, name).arg(GetParam().points).arg(GetParam().dark ? "-dark" : ""));
    // The picture the package's description shows.
    if (name == QLatin1String("main-edit") && GetParam().points == 11 && !GetParam().dark) {
        QDir().mkpath(QStringLiteral(ZORVIK_SCREENSHOT_DIR));
        window->grab().save(QStringLiteral(ZORVIK_SCREENSHOT_DIR "/main-window.png"));
    }
}

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (const char* window : {"main-info", "main-edit", "main-grid", "ledger", "plot", "loan", "calculator", "worldtimes",
                               "notepad", "find", "phonebook", "details", "keyword", "reminders", "print", "about", "start",
                               "recorder", "help", "main-find", "alarms", "repeat", "calendarserver"}) {
        for (int points : {8, 11, 14})
            cases.push_back({window, points, false});
        cases.push_back({window, 11, true});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Windows, Legibility, ::testing::ValuesIn(allCases()), [](const auto& info) {
    return QString::fromLatin1(info.param.window).remove(QLatin1Char('-')).toStdString() + "_" +
           std::to_string(info.param.points) + (info.param.dark ? "pt_dark" : "pt");
});

} // namespace
} // namespace zp
