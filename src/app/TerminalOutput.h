#pragma once
// What every command that prints on the terminal shares: standard output
// that reports a failed write (a full disk, a pipe whose reader is gone)
// instead of losing it in a buffer, and the last word on whether all that
// was printed arrived.

#include <QIODevice>
#include <QString>
#include <QTextStream>

#include <optional>

namespace zp {

// Standard output written straight to its descriptor, so a failure reaches
// the command's own check instead of a buffer flushed unchecked at exit.
// The first failure is kept with its reason; every later write is refused.
class DescriptorOutput : public QIODevice {
public:
    explicit DescriptorOutput(int fd);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    int fd_;
    bool failed_ = false;
};

// A terminal command's streams: UTF-8 standard output through a
// DescriptorOutput, and standard error. Making one also ignores SIGPIPE,
// so a reader that goes away early (`--list | head -1`) gives a reported
// EPIPE instead of ending the program silently.
struct TerminalStreams {
    TerminalStreams();
    DescriptorOutput stdoutDevice;
    QTextStream out;
    QTextStream err;
};

// Why what was written to `out` did not all arrive, or nothing when it did.
// A stream on a file is flushed through to the system, where such failures
// show.
std::optional<QString> outputProblem(QTextStream& out);

// A command's exit status once its output is checked: a command that says
// it worked must have delivered all it printed (a cut-off export on a full
// disk would pass for the whole plan), so a failure is said on `err` and
// turns status 0 into 1.
int statusWithOutputChecked(int status, QTextStream& out, QTextStream& err);

} // namespace zp
