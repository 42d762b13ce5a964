#pragma once
#include <QString>
#include <optional>

namespace zp {

// The desktop's keyring (Secret Service, KWallet). Where none runs,
// available() is false and nothing is kept: the caller asks each session.
class PasswordStore {
public:
    virtual ~PasswordStore() = default;
    virtual bool available() = 0;
    virtual std::optional<QString> read(const QString& key) = 0;
    // False when the keyring did not take it.
    virtual bool write(const QString& key, const QString& password) = 0;
    virtual void remove(const QString& key) = 0;
};

// Asks the user for a password; nothing when they cancel.
class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;
    virtual std::optional<QString> askPassword(const QString& title, const QString& text) = 0;
};

} // namespace zp
