#pragma once
#include <ostream>
// Test doubles for the platform services. Header-only so every test program
// can use them without linking anything extra.

#include "ui/NotificationService.h"
#include "ui/Platform.h"
#include "ui/HttpService.h"
#include "ui/PasswordStore.h"
#ifdef ZORVIK_WITH_WINDOWS
#include "ui/modules/QtChart.h"
#endif

#include <QDateTime>
#include <QFile>
#include <QSize>
#include <QString>
#include <algorithm>
#include <deque>
#include <map>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <optional>
#include <vector>

namespace zp {

// Records every message and answers from a script. With the script empty it
// answers `defaultAnswer` when set, else the first button of the style
// (OK, Abort, Yes or Retry), which is what pressing Enter would give.
class FakeMessageBox : public MessageBoxService {
public:
    struct Call {
        QString text;
        int style = 0;
        QString title;          // as the caller passed it
        QString effectiveTitle; // what the user would see: the program title when empty
    };

    int msgBox(const QString& text, int style = MsgStyle::OkOnly, const QString& title = QString()) override
    {
        calls.push_back({text, style, title, title.isEmpty() ? kProgramTitle : title});
        if (!answers.empty()) {
            const int a = answers.front();
            answers.pop_front();
            return a;
        }
        if (defaultAnswer)
            return *defaultAnswer;
        return defaultButton(style);
    }

    // What Enter answers: the first button, or the one the style makes the
    // default.
    static int defaultButton(int style)
    {
        if ((style >> 8 & 3) == 1) {
            switch (style & 7) {
            case 1: return MsgAnswer::Cancel;
            case 3:
            case 4: return MsgAnswer::No;
            case 5: return MsgAnswer::Cancel;
            default: break;
            }
        }
        return firstButton(style);
    }

    static int firstButton(int style)
    {
        switch (style & 7) {
        case 2: return 3;  // Abort
        case 3:
        case 4: return MsgAnswer::Yes;
        case 5: return 4;  // Retry
        default: return MsgAnswer::Ok;
        }
    }

    // Queues answers for the coming calls, in order.
    void script(std::initializer_list<int> list) { answers.insert(answers.end(), list); }

    int count() const { return static_cast<int>(calls.size()); }
    const Call& last() const { return calls.back(); }
    bool empty() const { return calls.empty(); }
    void clear() { calls.clear(); answers.clear(); }

    std::vector<Call> calls;
    std::deque<int> answers;
    std::optional<int> defaultAnswer;
};

class FakeClock : public Clock {
public:
    FakeClock() = default;
    explicit FakeClock(QDateTime t) : current(std::move(t)) {}
    QDateTime now() const override { return current; }
    QTimeZone timeZone() const override { return zone; }
    // Stands still unless advanced, or unless tickMsecs makes every reading
    // move it on (a slow machine, for work that throttles its repaints).
    qint64 steadyMsecs() const override { return steady += tickMsecs; }
    void set(const QDateTime& t) { current = t; }
    void set(int y, int m, int d, int h = 12, int min = 0, int s = 0) { current = QDateTime(QDate(y, m, d), QTime(h, min, s)); }
    void advanceMsecs(qint64 ms) { current = current.addMSecs(ms); steady += ms; }
    void advanceSecs(qint64 secs) { advanceMsecs(secs * 1000); }

    QDateTime current{QDate(1996, 11, 5), QTime(9, 30, 0)};
    QTimeZone zone = QTimeZone::utc();
    mutable qint64 steady = 0;
    qint64 tickMsecs = 0;
};

class FakeDateOrder : public DateOrderSource {
public:
    FakeDateOrder() = default;
    explicit FakeDateOrder(DateOrder o) : order(o) {}
    DateOrder systemDateOrder() const override { ++reads; return order; }

    DateOrder order = DateOrder::DayFirst;
    mutable int reads = 0;
};

// A 96-dpi screen of 1024 x 768 pixels unless told otherwise.
class FakeScreen : public ScreenMetrics {
public:
    double twipsPerPixelX() const override { return tppX; }
    double twipsPerPixelY() const override { return tppY; }
    QSize screenSizeTwips() const override { return sizeTwips; }

    void setPixels(int w, int h, double tpp = 15.0)
    {
        tppX = tppY = tpp;
        sizeTwips = QSize(static_cast<int>(w * tpp + 0.5), static_cast<int>(h * tpp + 0.5));
    }

    double tppX = 15.0;
    double tppY = 15.0;
    QSize sizeTwips{1024 * 15, 768 * 15};
};

// File dialogs answering from separate scripts for open and save; an empty
// script answers "cancelled".
class FakeFileDialogs : public FileDialogs {
public:
    std::optional<QString> openFileName(const FileDialogRequest& request) override
    {
        openRequests.push_back(request);
        return next(openResults);
    }
    std::optional<QString> saveFileName(const FileDialogRequest& request) override
    {
        saveRequests.push_back(request);
        return next(saveResults);
    }

    void scriptOpen(std::optional<QString> r) { openResults.push_back(std::move(r)); }
    void scriptSave(std::optional<QString> r) { saveResults.push_back(std::move(r)); }

    std::deque<std::optional<QString>> openResults;
    std::deque<std::optional<QString>> saveResults;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;

private:
    static std::optional<QString> next(std::deque<std::optional<QString>>& q)
    {
        if (q.empty())
            return std::nullopt;
        const bool cancelled = !q.front().has_value();
        const QString name = cancelled ? QString() : *q.front();
        q.pop_front();
        if (cancelled)
            return std::nullopt;
        return name;
    }
};

// Answers `result` (cancel when empty) and records each initial choice.
class FakeFontDialog : public FontDialog {
public:
    std::optional<FontChoice> chooseFont(const FontChoice& initial) override
    {
        initials.push_back(initial);
        return result;
    }

    std::optional<FontChoice> result;
    std::vector<FontChoice> initials;
};

// Holds the last text put on it; `writes` keeps every text in order.
class FakeClipboard : public ClipboardService {
public:
    void setText(const QString& text) override
    {
        content = text;
        writes.push_back(text);
    }
    QString text() const override { return content; }

    QString content;
    std::vector<QString> writes;
};

// A printer with fixed metrics, so layouts can be checked as numbers: a
// page of 10000 x 14000 units, every character 100 units wide, every text
// 200 units high. Records what is drawn, in page coordinates, page by page.
class RecordingPrinter : public Printer {
public:
    struct Text {
        int page;
        double x, y; // page coordinates (origin applied)
        QString text;
    };
    struct Line {
        int page;
        double x1, y1, x2, y2; // relative to the origin, as drawn
        int width;
        int style;
    };

    double pageWidth() const override { return width; }
    double pageHeight() const override { return height; }
    double textWidth(const QString& text) const override { return charWidth * static_cast<double>(text.size()); }
    double textHeight(const QString&) const override { return lineHeight; }
    bool setFont(const QString& name, int pointSize) override
    {
        fonts.push_back({name, pointSize});
        return fontAvailable;
    }
    void setDrawWidth(int w) override { drawWidth = w; }
    void setDrawStyle(int s) override { drawStyle = s; }
    void drawLine(double x1, double y1, double x2, double y2) override
    {
        if (step())
            lines.push_back({pages, x1, y1, x2, y2, drawWidth, drawStyle});
    }
    bool newPage() override
    {
        if (!step())
            return false;
        ++pages;
        return true;
    }
    bool endDoc() override
    {
        ++endDocs;
        return !failed && !failOnEnd;
    }
    int copies() const override { return copyCount; }
    bool ok() const override { return !failed; }

    // Texts drawn on one page (1-based), in order.
    std::vector<Text> textsOn(int page) const
    {
        std::vector<Text> out;
        for (const Text& t : texts)
            if (t.page == page)
                out.push_back(t);
        return out;
    }
    const Text* find(const QString& text, int nth = 0) const
    {
        for (const Text& t : texts)
            if (t.text == text && nth-- == 0)
                return &t;
        return nullptr;
    }

    double width = 10000;
    double height = 14000;
    double charWidth = 100;
    double lineHeight = 200;
    bool fontAvailable = true;
    int copyCount = 1;
    // After this many drawing steps (texts, lines, new pages) the device
    // fails; -1: never.
    int failAfterSteps = -1;
    bool failOnEnd = false;

    int pages = 1;
    int endDocs = 0;
    int drawWidth = 1;
    int drawStyle = 0;
    bool failed = false;
    std::vector<std::pair<QString, int>> fonts;
    std::vector<Text> texts;
    std::vector<Line> lines;

    // What drawTextAt records; public so a stand-in can record here.
    void recordText(double x, double y, const QString& text)
    {
        if (step())
            texts.push_back({pages, x, y, text});
    }

protected:
    void drawTextAt(double x, double y, const QString& text) override { recordText(x, y, text); }

private:
    bool step()
    {
        if (failed)
            return false;
        if (failAfterSteps >= 0 && steps_++ >= failAfterSteps) {
            failed = true;
            return false;
        }
        return true;
    }
    int steps_ = 0;
};

// Hands a RecordingPrinter to code that will own (and delete) what the
// dialog gives, while the test keeps the recording.
class BorrowedPrinter : public Printer {
public:
    explicit BorrowedPrinter(RecordingPrinter& target) : t_(target) {}
    double pageWidth() const override { return t_.pageWidth(); }
    double pageHeight() const override { return t_.pageHeight(); }
    double textWidth(const QString& text) const override { return t_.textWidth(text); }
    double textHeight(const QString& text) const override { return t_.textHeight(text); }
    bool setFont(const QString& name, int size) override { return t_.setFont(name, size); }
    void setDrawWidth(int w) override { t_.setDrawWidth(w); }
    void setDrawStyle(int s) override { t_.setDrawStyle(s); }
    void drawLine(double x1, double y1, double x2, double y2) override { t_.drawLine(x1, y1, x2, y2); }
    bool newPage() override { return t_.newPage(); }
    bool endDoc() override { return t_.endDoc(); }
    int copies() const override { return t_.copies(); }
    bool ok() const override { return t_.ok(); }

protected:
    void drawTextAt(double x, double y, const QString& text) override { t_.recordText(x, y, text); }

private:
    RecordingPrinter& t_;
};

// The print dialog answers from a script of printers (nullptr: cancelled);
// with the script empty it cancels. Previews render into a fresh
// RecordingPrinter kept in `previews`.
class FakePrintService : public PrintService {
public:
    std::unique_ptr<Printer> choosePrinter(const QString& documentName) override
    {
        documentNames.push_back(documentName);
        if (realPrinter)
            return realPrinter();
        if (answers.empty())
            return nullptr;
        RecordingPrinter* p = answers.front();
        answers.pop_front();
        if (!p)
            return nullptr;
        return std::make_unique<BorrowedPrinter>(*p);
    }
    void preview(const QString& documentName, const std::function<void(Printer&)>& render) override
    {
        documentNames.push_back(documentName);
        previews.push_back(std::make_unique<RecordingPrinter>());
        render(*previews.back());
    }

    // Queues a printer for the next dialog and returns it for inspection.
    RecordingPrinter& scriptPrinter()
    {
        printers.push_back(std::make_unique<RecordingPrinter>());
        answers.push_back(printers.back().get());
        return *printers.back();
    }
    void scriptCancel() { answers.push_back(nullptr); }
    int dialogs() const { return static_cast<int>(documentNames.size() - previews.size()); }

    // When set, every dialog answers with what this makes (a PDF file, say).
    std::function<std::unique_ptr<Printer>()> realPrinter;
    std::deque<RecordingPrinter*> answers; // nullptr: cancelled
    std::vector<std::unique_ptr<RecordingPrinter>> printers;
    std::vector<QString> documentNames;
    std::vector<std::unique_ptr<RecordingPrinter>> previews;
};

// Fixed facts of an imagined computer; tests change what they need.
class FakeSystemFacts : public SystemFactsSource {
public:
    SystemFacts systemFacts() const override
    {
        ++reads;
        return facts;
    }

    SystemFacts facts{QStringLiteral("Linux"), 6, 1, 0, QStringLiteral("12"), QSize(1024, 768),
                      QStringLiteral("/opt/zorvik/bin"), std::int64_t{2345678}};
    mutable int reads = 0;
};

// A sound device that answers from its settings and records what it was
// asked: recordings started (with a small valid file written when the
// recording is kept), stops, closes and the files played. A recording cut
// short is scripted with `cutShortReason`; setting `recording` to false
// ends it by itself, as a full disk does.
class FakeSound : public SoundService {
public:
    bool openDevice() override
    {
        ++opens;
        open = deviceAvailable;
        return deviceAvailable;
    }
    bool canRecord() const override { return recordable; }
    bool canPlay() const override { return playable; }
    bool startRecording(const QString& path) override
    {
        if (!open || !recordingStarts)
            return false;
        recordings.push_back(path);
        recording = started = true;
        return true;
    }
    bool isRecording() const override { return recording; }
    RecordingResult stopRecording() override
    {
        if (!started)
            return {};
        recording = started = false;
        ++stops;
        RecordingResult result;
        result.cutShort = !cutShortReason.isEmpty();
        result.reason = cutShortReason;
        if (!keepsRecording)
            return result;
        QFile file(recordings.back());
        result.kept = file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4;
        result.seconds = result.kept ? recordedSeconds : 0;
        return result;
    }
    // The scripted levels one after another, the last one from then on.
    double inputLevel() const override
    {
        if (!recording || levels.empty())
            return 0;
        return levels[std::min(levelReads++, levels.size() - 1)];
    }
    void closeDevice() override
    {
        stopRecording();
        if (open)
            ++closes;
        open = false;
    }
    void play(const QString& path) override { played.push_back(path); }
    void stopPlaying() override { ++playStops; }

    bool deviceAvailable = true;
    bool recordable = true;
    bool playable = true;
    bool recordingStarts = true;
    bool keepsRecording = true; // false: the recording could not be kept
    double recordedSeconds = 2; // what a kept recording holds
    QString cutShortReason;     // set: the recording ended early, for this reason
    std::vector<double> levels; // input levels reported while recording
    mutable std::size_t levelReads = 0;
    bool open = false;
    bool recording = false;
    bool started = false; // until stopped, also when it ended by itself
    int opens = 0;
    int stops = 0;
    int closes = 0;
    int playStops = 0;
    std::vector<QString> recordings;
    std::vector<QString> played;
};

// One of each double, ready to hand to windows as a Platform.
// Answers from a script (nothing: cancelled); with the script empty it
// takes the offered value, as pressing Enter would.
class FakeNumberDialog : public NumberDialog {
public:
    std::optional<int> askNumber(const NumberRequest& request) override
    {
        requests.push_back(request);
        if (answers.empty())
            return request.value;
        const std::optional<int> a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::optional<int>> answers;
    std::vector<NumberRequest> requests;
};

// Progress windows that remember what they were asked to show. The user
// presses Cancel once a window has shown `cancelAfterUpdates` values (0: as
// soon as it shows; -1: never); `onOpen` runs as one shows (a termination
// request during the work, say).
class FakeProgressDialogs : public ProgressDialogs {
public:
    struct Shown {
        ProgressRequest request;
        std::vector<std::pair<qint64, qint64>> updates;
    };
    std::unique_ptr<ProgressWindow> open(const ProgressRequest& request, std::function<void()> cancel) override
    {
        shown.push_back({request, {}});
        struct Window : ProgressWindow {
            Window(FakeProgressDialogs& d, std::size_t i, std::function<void()> c)
                : dialogs(d), index(i), cancel(std::move(c))
            {
            }
            void setProgress(qint64 done, qint64 total) override
            {
                auto& updates = dialogs.shown[index].updates;
                updates.emplace_back(done, total);
                if (int(updates.size()) == dialogs.cancelAfterUpdates)
                    cancel();
            }
            FakeProgressDialogs& dialogs;
            std::size_t index;
            std::function<void()> cancel;
        };
        if (onOpen)
            onOpen();
        if (cancelAfterUpdates == 0)
            cancel();
        return std::make_unique<Window>(*this, shown.size() - 1, std::move(cancel));
    }
    int cancelAfterUpdates = -1;
    std::function<void()> onOpen;
    std::vector<Shown> shown;
};

#ifdef ZORVIK_WITH_WINDOWS
// Window tests read what the real chart view shows.
using TestCharts = QtChartService;
#else
// No widgets without the windows.
class TestCharts : public ChartService {
public:
    std::unique_ptr<ChartPanel> createChart(QWidget*) override { return nullptr; }
};
#endif

// A notification service that keeps what it was asked to show; tests press
// its buttons with invoke() and take it away with setAvailable(false).
class FakeNotifications : public NotificationService {
public:
    bool available() const override { return up; }
    unsigned notify(const Notification& n) override
    {
        if (!up || refuse)
            return 0;
        shown.push_back(n);
        return nextId++;
    }
    void close(unsigned id) override { closed.push_back(id); }

    void invoke(unsigned id, const QString& action)
    {
        if (handlers_.actionInvoked)
            handlers_.actionInvoked(id, action);
    }
    void setAvailable(bool on)
    {
        up = on;
        if (handlers_.availabilityChanged)
            handlers_.availabilityChanged(on);
    }
    unsigned lastId() const { return nextId - 1; }

    std::vector<Notification> shown;
    std::vector<unsigned> closed;
    bool up = true;
    // Answers notify() with 0 while up: the daemon went away unannounced.
    bool refuse = false;
    unsigned nextId = 1;
};

// An HTTP service answered by a script (`server`), one request at a time
// when the test says so (deliver), as the real one answers later.
class FakeHttp : public HttpService {
public:
    std::function<HttpReply(const HttpRequest&)> server = [](const HttpRequest&) { return HttpReply{404}; };
    std::vector<HttpRequest> sent;
    std::vector<std::pair<QString, QByteArray>> accepted;

    quint64 send(const HttpRequest& request, Done done) override
    {
        sent.push_back(request);
        pending_.push_back({++next_, request, std::move(done)});
        return next_;
    }
    void cancel(quint64 id) override
    {
        for (auto& p : pending_)
            if (p.id == id)
                p.cancelled = true;
    }
    void acceptCertificate(const QString& host, const QByteArray& digest) override { accepted.push_back({host, digest}); }

    // Answers the oldest request; false when none waits.
    bool deliver()
    {
        if (pending_.empty())
            return false;
        Pending p = std::move(pending_.front());
        pending_.pop_front();
        HttpReply reply;
        if (p.cancelled) {
            reply.cancelled = true;
            reply.error = QStringLiteral("Operation canceled");
        } else {
            reply = server(p.request);
        }
        p.done(reply);
        return true;
    }
    void deliverAll()
    {
        while (deliver()) {
        }
    }
    int methodCount(const QByteArray& method) const
    {
        return int(std::count_if(sent.begin(), sent.end(), [&](const HttpRequest& r) { return r.method == method; }));
    }

private:
    struct Pending {
        quint64 id;
        HttpRequest request;
        Done done;
        bool cancelled = false;
    };
    std::deque<Pending> pending_;
    quint64 next_ = 0;
};

// A keyring in memory; `working` false stands for none running.
class FakePasswordStore : public PasswordStore {
public:
    bool working = true;
    std::map<QString, QString> kept;
    bool available() override { return working; }
    std::optional<QString> read(const QString& key) override
    {
        const auto it = kept.find(key);
        if (!working || it == kept.end())
            return std::nullopt;
        return it->second;
    }
    bool write(const QString& key, const QString& password) override
    {
        if (working)
            kept[key] = password;
        return working;
    }
    void remove(const QString& key) override { kept.erase(key); }
};

struct TestPlatform {
    FakeMessageBox messages;
    FakeClock clock;
    FakeDateOrder dateOrder;
    FakeScreen screen;
    FakeFileDialogs fileDialogs;
    FakeFontDialog fontDialog;
    FakeClipboard clipboard;
    FakePrintService printing;
    FakeSystemFacts systemFacts;
    FakeSound sound;
    FakeNumberDialog numberDialog;
    TestCharts charts;
    FakeProgressDialogs progress;

    Platform platform()
    {
        return Platform{messages,   clock,     dateOrder, screen, fileDialogs,  fontDialog,
                        clipboard,  printing,  systemFacts, sound, numberDialog, charts,
                        progress};
    }
};

} // namespace zp

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
