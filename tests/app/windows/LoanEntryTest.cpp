#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "money/windows/LoanWindow.h"
#include "support/Fakes.h"
#include "ui/ImageButton.h"

#include <QAction>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace zp {
namespace {

TEST(LoanEntryTest, toolbarAndMenuOpenOneLoanWindow_printUsesTheGridPrinter)
{
    TestPlatform test;
    ProgramState state;
    PlannerApp app(state, test.platform());
    app.start();
    auto* picture = app.mainWindow()->findChild<ImageButton*>(QStringLiteral("Image8"));
    ASSERT_NE(picture, nullptr);
    QTest::mouseClick(picture, Qt::LeftButton);
    ASSERT_NE(app.loanWindow(), nullptr);
    EXPECT_EQ(app.loanWindow()->objectName(), "Loan1");
    EXPECT_TRUE(app.loanWindow()->isVisible());
    LoanWindow* first = app.loanWindow();
    QAction* menu = app.mainWindow()->menuAction(QStringLiteral("Loansimulator"));
    EXPECT_EQ(menu->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    menu->trigger();
    EXPECT_EQ(app.loanWindow(), first);

    QTest::mouseClick(first->findChild<QWidget*>(QStringLiteral("Panel3D6")), Qt::LeftButton);
    RecordingPrinter& printer = test.printing.scriptPrinter();
    first->printAction()->trigger();
    EXPECT_TRUE(std::any_of(printer.texts.begin(), printer.texts.end(),
                            [](const auto& t) { return t.text.startsWith("Principle"); }));
    EXPECT_EQ(printer.endDocs, 1);
}

} // namespace
} // namespace zp
