#include "app/windows/PlannerApp.h"

#include "app/windows/Form1.h"
#include "app/windows/Form3.h"
#include "app/windows/Form9.h"
#include "ui/ImageButton.h"
#include "ui/WindowGeometry.h"
#include "views/windows/Form10.h"
#include "views/windows/Form12.h"
#include "views/windows/Form8.h"

#include <QAction>

#include <QApplication>

namespace zp {

PlannerApp::PlannerApp(ProgramState& state, const Platform& platform) : state_(state), platform_(platform) {}

PlannerApp::~PlannerApp()
{
    delete form9_.data();
    delete form3_.data();
    delete form8_.data();
    delete form10_.data();
}

Form8* PlannerApp::phoneBook() const
{
    return form8_.data();
}

Form10* PlannerApp::keywordWindow() const
{
    return form10_.data();
}

Form9* PlannerApp::startWindow() const
{
    return form9_.data();
}

Form3* PlannerApp::aboutWindow() const
{
    return form3_.data();
}

void PlannerApp::start()
{
    // The reminders window comes first; the main window is built and
    // initialised hidden while it is being set up.
    form12_ = std::make_unique<Form12>(state_, platform_);
    form1_ = std::make_unique<Form1>(state_, platform_);
    form1_->setOpenAbout([this] { showAbout(); });
    connect(form1_.get(), &Form1::fontsApplied, this, [this] {
        form12_->applyFont();
        if (form8_)
            form8_->applyFont();
        if (form10_)
            form10_->applyFont();
    });
    connect(form1_->menuAction(QStringLiteral("Phonebook")), &QAction::triggered, this, &PlannerApp::showPhoneBook);
    if (auto* keyword = form1_->findChild<ImageButton*>(QStringLiteral("Image2")))
        connect(keyword, &ImageButton::clicked, this, &PlannerApp::showKeywordWindow);
    form1_->setOnExit([this] { endProgram(); });
    form1_->initialise();
    form12_->setRunPlanner([this] { showStartWindow(); });
    form12_->setExit([this] { form1_->exitProgram(true); });

    const QString& show = state_.settings.startupShow;
    if (show == QLatin1String("yearmonth")) {
        const WindowPlacement& p = state_.settings.placement(PlacementRow::Reminders);
        const Twips& t = form1_->twips();
        form1_->readStartupPlan();
        placeWindow(*form12_, t, p);
        form12_->show();
        form12_->buildReminderList();
    } else if (show == QLatin1String("all")) {
        form12_->hide();
        QCoreApplication::processEvents();
        form1_->readStartupPlan();
        showStartWindow();
        form1_->rebuildRecordsList();
    } else {
        form12_->show();
    }
}

void PlannerApp::showStartWindow()
{
    // Created afresh each time it is shown; it deletes itself on closing.
    form9_ = new Form9(platform_, [this] { showMainWindow(); });
    form9_->setAttribute(Qt::WA_DeleteOnClose);
    form9_->show();
}

void PlannerApp::showMainWindow()
{
    // Coming from the reminders, the plan is loaded but not yet listed.
    if (!form1_->isVisible())
        form1_->rebuildRecordsList();
    form1_->show();
    form1_->raise();
    form1_->activateWindow();
}

void PlannerApp::showAbout()
{
    if (!form3_) {
        form3_ = new Form3(
            platform_,
            [this](double top, double left, double width, double height) {
                state_.settings.placement(PlacementRow::About) = {top, left, width, height};
            },
            [this] { showMainWindow(); });
    }
    // It always opens in the middle of the screen, wherever it was left.
    centreOnScreen(*form3_, platform_.screen);
    form3_->show();
    form3_->raise();
}

void PlannerApp::showPhoneBook()
{
    if (!form8_)
        form8_ = new Form8(state_, platform_);
    form8_->open();
}

void PlannerApp::showKeywordWindow()
{
    if (!form10_)
        form10_ = new Form10(state_, platform_, [this] { form1_->rebuildRecordsList(); });
    form10_->open();
}

void PlannerApp::endProgram()
{
    if (form9_)
        form9_->close();
    if (form3_)
        form3_->hide();
    if (form8_)
        form8_->hide();
    if (form10_)
        form10_->hide();
    form12_->hide();
    form1_->hide();
    emit finished();
}

} // namespace zp
