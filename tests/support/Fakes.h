#pragma once
#include <ostream>
// Test doubles for the platform services. Header-only so every test program
// can use them without linking anything extra.

#include "ui/Platform.h"

#include <QDateTime>
#include <QFile>
#include <QSize>
#include <QString>
#include <deque>
#include <initializer_list>
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
    void set(const QDateTime& t) { current = t; }
    void set(int y, int m, int d, int h = 12, int min = 0, int s = 0) { current = QDateTime(QDate(y, m, d), QTime(h, min, s)); }
    void advanceSecs(qint64 secs) { current = current.addSecs(secs); }

    QDateTime current{QDate(1996, 11, 5), QTime(9, 30, 0)};
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

// A sound device that answers from its settings and records what it was
// asked: recordings started (with a small valid file written when
// `writeFiles` is set), stops, closes and the files played.
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
        recording = true;
        return true;
    }
    bool isRecording() const override { return recording; }
    bool stopRecording() override
    {
        if (!recording)
            return false;
        recording = false;
        ++stops;
        if (!keepsRecording)
            return false;
        QFile file(recordings.back());
        return file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4;
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
    bool open = false;
    bool recording = false;
    int opens = 0;
    int stops = 0;
    int closes = 0;
    int playStops = 0;
    std::vector<QString> recordings;
    std::vector<QString> played;
};

// One of each double, ready to hand to windows as a Platform.
struct TestPlatform {
    FakeMessageBox messages;
    FakeClock clock;
    FakeDateOrder dateOrder;
    FakeScreen screen;
    FakeFileDialogs fileDialogs;
    FakeFontDialog fontDialog;
    FakeClipboard clipboard;
    FakeSound sound;

    Platform platform() { return Platform{messages, clock, dateOrder, screen, fileDialogs, fontDialog, clipboard, sound}; }
};

} // namespace zp

// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
