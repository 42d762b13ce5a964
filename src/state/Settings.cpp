#include "state/Settings.h"

#include "plan/TextEncoding.h"

#include <algorithm>
#include <cmath>

namespace zp {

std::array<WindowPlacement, 16> Settings::defaultPlacements()
{
    return {{
        {},
        {2205, 1185, 6200, 4140},  // main window
        {555, 2190, 4572, 4788},   // print
        {2880, 3765, 4845, 2730},  // about
        {1635, 3270, 3045, 1710},  // text entry
        {405, 1290, 3930, 6105},   // calculator
        {570, 1755, 5970, 7335},   // world times
        {420, 990, 6735, 5489},    // ledger
        {1755, 2070, 4860, 5489},  // phone book
        {1725, 2970, 5000, 5000},  // start-up picture
        {3285, 4635, 3120, 1740},  // keyword
        {195, 1725, 6720, 5489},   // ledger plot
        {2550, 915, 9300, 2010},   // reminders
        {1125, 2205, 5220, 5489},  // loan simulator
        {2010, 3165, 5070, 1800},  // notepad find
        {1845, 1110, 6870, 4755},  // notepad
    }};
}

FontChoice Settings::takeFontChoice(FontChoice chosen)
{
    if (chosen.size > kMaxFontSize)
        chosen.size = kMaxFontSize;
    font = chosen;
    return chosen;
}

std::optional<FontRgb> fontRgb(std::int32_t colour)
{
    if (colour < 0)
        return std::nullopt;
    const auto c = static_cast<std::uint32_t>(colour);
    return FontRgb{static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF)};
}

SettingsSnapshot takeSettingsSnapshot(const Settings& s, const RecordStore& store)
{
    SettingsSnapshot v;
    v.planFileName = store.planFileName.isEmpty() ? store.unopenedStartupPlan : store.planFileName;
    v.displayMode = s.displayMode;
    v.reserved = s.reserved;
    v.startupShow = s.startupShow;
    v.fileDateStyle = store.fileDateStyle;
    v.keepBackups = store.keepBackups;
    v.font = s.font;
    v.fontStyleTexts = s.fontStyleTexts;
    v.plotTitle = s.plotTitle;
    v.plotXLabel = s.plotXLabel;
    v.plotYLabel = s.plotYLabel;
    v.editStyle = static_cast<int>(store.editStyle);
    v.windowPlacement = s.windowPlacement;
    v.soundOn = s.soundOn;
    v.maxRecordSeconds = s.maxRecordSeconds;
    v.fieldLabels = store.fieldLabels;
    v.encoding = s.fileEncoding;
    return v;
}

void applySettingsSnapshot(const SettingsSnapshot& v, Settings& s, RecordStore& store)
{
    store.planFileName = v.planFileName;
    s.displayMode = v.displayMode;
    s.reserved = v.reserved;
    s.startupShow = v.startupShow;
    store.fileDateStyle = v.fileDateStyle;
    store.keepBackups = v.keepBackups;
    s.font = v.font;
    s.fontStyleTexts = v.fontStyleTexts;
    s.plotTitle = v.plotTitle;
    s.plotXLabel = v.plotXLabel;
    s.plotYLabel = v.plotYLabel;
    store.editStyle = static_cast<EditStyle>(v.editStyle);
    s.windowPlacement = v.windowPlacement;
    s.soundOn = v.soundOn;
    s.maxRecordSeconds = v.maxRecordSeconds;
    store.fieldLabels = v.fieldLabels;
    s.fileEncoding = v.encoding;
}

SettingsSnapshot defaultSettingsSnapshot()
{
    SettingsSnapshot v = takeSettingsSnapshot(Settings{}, RecordStore{});
    v.planFileName.clear();
    v.fileDateStyle = QStringLiteral("english");
    v.keepBackups = QStringLiteral("0");
    v.editStyle = 0;
    // The field labels come with the fresh RecordStore above.
    v.encoding = kUtf8Encoding;
    return v;
}

} // namespace zp
