#include "app/TerminalOutput.h"

#include <QFileDevice>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace zp {

DescriptorOutput::DescriptorOutput(int fd) : fd_(fd)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 DescriptorOutput::writeData(const char* data, qint64 size)
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

TerminalStreams::TerminalStreams() : stdoutDevice(STDOUT_FILENO), out(&stdoutDevice), err(stderr)
{
    std::signal(SIGPIPE, SIG_IGN);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
}

std::optional<QString> outputProblem(QTextStream& out)
{
    out.flush();
    QIODevice* device = out.device();
    auto* file = qobject_cast<QFileDevice*>(device);
    if (file && file->isOpen())
        file->flush();
    if (out.status() == QTextStream::WriteFailed || (file && file->error() != QFileDevice::NoError))
        return device ? device->errorString() : QStringLiteral("the stream refused it");
    return std::nullopt;
}

int statusWithOutputChecked(int status, QTextStream& out, QTextStream& err)
{
    if (const auto problem = outputProblem(out)) {
        err << "zorvik-planner: the output could not be written: " << *problem << '\n';
        err.flush();
        return status == 0 ? 1 : status;
    }
    return status;
}

} // namespace zp
