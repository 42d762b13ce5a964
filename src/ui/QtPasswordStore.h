#pragma once
#include "ui/PasswordStore.h"

namespace zp {

// The desktop's keyring through QtKeychain. Each call waits for its job
// (a keyring answers in milliseconds, or refuses at once when none runs).
class QtPasswordStore : public PasswordStore {
public:
    bool available() override;
    std::optional<QString> read(const QString& key) override;
    bool write(const QString& key, const QString& password) override;
    void remove(const QString& key) override;

private:
    std::optional<bool> available_;
};

// The password question as a small window with a hidden entry.
class QtPasswordPrompt : public PasswordPrompt {
public:
    std::optional<QString> askPassword(const QString& title, const QString& text) override;
};

} // namespace zp
