#include "app/TerminalCommand.h"

#include "app/SettingsFile.h"
#include "ui/SystemServices.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QTextStream>
#include <clocale>
#include <csignal>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace zp {

namespace {

// Standard output written straight to its descriptor, so a failure (a
// full disk, a closed pipe) reaches the command's own check instead of a
// buffer flushed unchecked at exit. The first failure is kept with its
// reason, and every later write is refused at once.
class DescriptorOutput : public QIODevice {
public:
    explicit DescriptorOutput(int fd) : fd_(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (failed_)
            return -1;
        qint64 done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd_, data + done, static_cast<size_t>(std::min<qint64>(size - done, 1 << 30)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failed_ = true;
                setErrorString(QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO)));
                return -1;
            }
            done += n;
        }
        return done;
    }

private:
    int fd_;
    bool failed_ = false;
};

} // namespace

int runOnTerminal(int argc, char** argv, const CommandLine& command)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_TIME, "");
    // A reader that goes away early (`--list | head -1`) makes the next
    // write fail with EPIPE, which is reported, instead of ending the
    // program silently by SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    DescriptorOutput stdoutDevice(STDOUT_FILENO);
    QTextStream out(&stdoutDevice);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    LocaleDateOrder systemOrder;
    SystemClock clock;
    // Facts are read only when asked for; the screen is the display's, when
    // the terminal runs on one.
    SystemFacts facts;
    if (command.command == CommandLine::Command::Info) {
        facts = hostSystemFacts();
        facts.screenPixels = displayScreenPixels(facts.programDirectory);
    }
    else if (command.command == CommandLine::Command::Version)
        facts.programDirectory = plannerCommandDirectory(QCoreApplication::applicationDirPath());
    const QDateTime now = clock.now();
    return runCommandLine(command, systemOrder.systemDateOrder(), now.date(), out, err,
                          userFieldLabels(settingsFilePath()), facts, now);
}

} // namespace zp
