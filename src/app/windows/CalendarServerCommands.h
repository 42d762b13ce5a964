#pragma once
#include "plan/CalendarPublish.h"
#include "state/ProgramState.h"
#include "ui/PasswordStore.h"
#include "ui/Platform.h"

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace zp {

class CalendarCommands;

// What File > Calendar server... shows and gives back.
struct CalendarServerChoice {
    QString url;
    QString user;
    QString password;
    bool publishAfterSave = false;
};

inline const QString kCalendarServerTitle = QStringLiteral("Calendar Server");

// File > Calendar server..., File > Publish to calendar server and File >
// Import > From calendar server...: the questions and messages around the
// calendar server logic. Requests run while the window goes on; the
// progress shows in the status bar, whose Cancel calls cancel().
class CalendarServerCommands : public QObject {
    Q_OBJECT
public:
    struct Services {
        HttpService& http;
        PasswordStore& passwords;
        PasswordPrompt& prompt;
        // The settings window; nothing when the user cancels it.
        std::function<std::optional<CalendarServerChoice>(const CalendarServerChoice& current)> editSettings;
        // Shows the status bar's progress (`total` 0: no measure yet) or,
        // with `shown` false, hides it.
        std::function<void(bool shown, const QString& text, int done, int total)> showProgress;
    };
    CalendarServerCommands(ProgramState& state, const Platform& platform, Services services, CalendarCommands& calendar,
                           std::function<void(const QString&)> showHint);
    ~CalendarServerCommands() override;

    void editSettings();
    // `afterSave`: the publish a save starts; it reports in the hint
    // line unless something needs the user.
    void publish(bool afterSave = false);
    void importFromServer();
    void cancel();
    bool busy() const;
    // After each save: publishes when the plan's settings say so.
    void planSaved();
    // Where the record of what was published is kept (tests); by default
    // beside the settings file, in memory when that has no file.
    void setStateFolder(const QString& folder) { stateFolder_ = folder; }

private:
    std::optional<CalendarServerAccount> account(bool askAgain, bool mayEdit = true);
    void rememberPassword(const CalendarServerAccount& account, const QString& password);
    bool followRedirect(const CalendarServerAccount& account, const QUrl& to);
    bool askAcceptCertificate(const CalendarServerAccount& account, const QByteArray& digest, const QString& why);
    void startPublish(const CalendarServerAccount& account, int tries);
    void published(const CalendarServerAccount& account, const PublishSummary& summary, int tries);
    void resolveConflicts(const CalendarServerAccount& account, const PublishSummary& summary);
    void startFetch(const CalendarServerAccount& account, const QDate& from, const QDate& to, int tries);
    void fetched(const CalendarServerAccount& account, const FetchedCalendar& fetched, const QDate& from,
                 const QDate& to, int tries);
    QString statePath() const;
    void saveState();
    void finishRun();

    ProgramState& state_;
    Platform platform_;
    Services services_;
    CalendarCommands& calendar_;
    std::function<void(const QString&)> showHint_;
    QString stateFolder_;
    std::map<QString, QString> sessionPasswords_; // when no keyring runs
    PublishState publishState_;
    std::unique_ptr<DavConnection> connection_;
    std::unique_ptr<CalendarPublish> publisher_;
    bool afterSave_ = false;
    bool running_ = false;
};

} // namespace zp
