#pragma once
#include <QString>

namespace zp {

// The system clipboard, plain text only.
class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Empties the clipboard, then puts `text` on it as plain text.
    virtual void setText(const QString& text) = 0;
    // The clipboard's plain text; empty when it holds none.
    virtual QString text() const = 0;
};

} // namespace zp
