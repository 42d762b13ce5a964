#pragma once
#include "ui/Clipboard.h"

namespace zp {

// The application's clipboard (QGuiApplication::clipboard()). Without a
// QGuiApplication (a program with no display) it holds nothing and ignores
// writes.
class QtClipboard : public ClipboardService {
public:
    void setText(const QString& text) override;
    QString text() const override;
};

} // namespace zp
