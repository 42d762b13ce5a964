#pragma once
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace zp {

struct ProgressRequest {
    QString title;
    QString label;
};

// A progress window on the screen: modal, so nothing else in the program
// can be used while it shows, with a Cancel button. It closes when the
// object is destroyed.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    // How far the work is; a total of 0 or less shows work of unknown length.
    virtual void setProgress(qint64 done, qint64 total) = 0;
};

class ProgressDialogs {
public:
    virtual ~ProgressDialogs() = default;
    // Shows a progress window at once; `cancel` is called, on the window's
    // thread and at most once, when the user asks to stop the work.
    virtual std::unique_ptr<ProgressWindow> open(const ProgressRequest& request, std::function<void()> cancel) = 0;
};

} // namespace zp
