#pragma once
#include "app/ProgramState.h"
#include "ui/Platform.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace zp {

class Form1;
class Form3;
class Form9;
class Form8;
class Form10;
class Form12;

// Brings the planner's windows up in their order and owns them for the run:
// the reminders window first, the main window initialised hidden inside it,
// then either the reminders or the start window, then the main window.
class PlannerApp : public QObject {
    Q_OBJECT
public:
    PlannerApp(ProgramState& state, const Platform& platform);
    ~PlannerApp() override;

    void start();

    Form1* mainWindow() const { return form1_.get(); }
    Form12* remindersWindow() const { return form12_.get(); }
    Form9* startWindow() const;
    Form3* aboutWindow() const;

    // The start window, which shows the main window after two ticks.
    void showStartWindow();
    void showAbout();
    void showPhoneBook();
    void showKeywordWindow();
    Form8* phoneBook() const;
    Form10* keywordWindow() const;

signals:
    void finished();

private:
    void showMainWindow();
    void endProgram();

    ProgramState& state_;
    Platform platform_;
    std::unique_ptr<Form12> form12_;
    std::unique_ptr<Form1> form1_;
    QPointer<Form9> form9_;
    QPointer<Form3> form3_;
    QPointer<Form8> form8_;
    QPointer<Form10> form10_;
};

} // namespace zp
