#pragma once
#include <QString>
#include <cstdint>
#include <optional>

namespace zp {

// The display font as the settings keep it. The colour is 0x00BBGGRR, or
// kSystemTextColour for the system's window text colour.
struct FontChoice {
    static constexpr std::int32_t kSystemTextColour = -2147483640;
    QString name = QStringLiteral("System");
    int size = 10;
    bool bold = true;
    bool italic = false;
    bool strikethru = false;
    std::int32_t colour = kSystemTextColour;
    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

class FontDialog {
public:
    virtual ~FontDialog() = default;
    // No value when the user cancels.
    virtual std::optional<FontChoice> chooseFont(const FontChoice& initial) = 0;
};

} // namespace zp
