#include "ui/QtPasswordStore.h"

#include <QApplication>
#include <QEventLoop>
#include <QInputDialog>
#include <qt6keychain/keychain.h>

namespace zp {

namespace {

const QString kService = QStringLiteral("zorvik-planner");

// Runs a keychain job to its end; its error.
QKeychain::Error runJob(QKeychain::Job& job)
{
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return job.error();
}

} // namespace

bool QtPasswordStore::available()
{
    if (!available_) {
        // A read of a key nobody writes tells a working keyring (entry not
        // found) from none at all.
        QKeychain::ReadPasswordJob probe(kService);
        probe.setKey(QStringLiteral("zorvik-planner-keyring-probe"));
        const QKeychain::Error error = runJob(probe);
        available_ = error == QKeychain::NoError || error == QKeychain::EntryNotFound;
    }
    return *available_;
}

std::optional<QString> QtPasswordStore::read(const QString& key)
{
    if (!available())
        return std::nullopt;
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(key);
    if (runJob(job) != QKeychain::NoError)
        return std::nullopt;
    return job.textData();
}

bool QtPasswordStore::write(const QString& key, const QString& password)
{
    if (!available())
        return false;
    QKeychain::WritePasswordJob job(kService);
    job.setKey(key);
    job.setTextData(password);
    return runJob(job) == QKeychain::NoError;
}

void QtPasswordStore::remove(const QString& key)
{
    if (!available())
        return;
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(key);
    runJob(job);
}

std::optional<QString> QtPasswordPrompt::askPassword(const QString& title, const QString& text)
{
    bool ok = false;
    const QString password =
        QInputDialog::getText(QApplication::activeWindow(), title, text, QLineEdit::Password, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return password;
}

} // namespace zp
