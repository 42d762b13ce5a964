#pragma once
#include <QString>
#include <optional>

namespace zp {

// File dialogs take the planner's filter strings as they stand, such as
// "All files (*.*) |*.*|Pln Files (*.pln) |*.pln|", with a 1-based entry to
// preselect. Cancel gives no value: callers treat it as "do nothing".
struct FileDialogRequest {
    QString title;
    QString filter;
    int filterIndex = 1;
    // A file (the dialog starts in its folder and offers its name) or a
    // folder (the dialog starts there and offers no name).
    QString initialPath;
    // Added by a save dialog to a name typed without an extension ("txt"),
    // before it asks about replacing a file; none when empty.
    QString defaultSuffix = {};
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
};

} // namespace zp
