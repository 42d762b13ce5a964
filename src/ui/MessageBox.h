#pragma once
#include <QString>

namespace zp {

// Message box styles and answers keep the values the planner has always
// used, so callers read like the messages they show.
namespace MsgStyle {
constexpr int OkOnly = 0;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256; // the second button answers Enter
constexpr int Warning = Exclamation;            // 48: exclamation icon, OK
constexpr int YesNoQuestion = YesNo | Question; // 36
constexpr int YesNoCancelWarning = YesNoCancel | Exclamation; // 51
} // namespace MsgStyle

namespace MsgAnswer {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgAnswer

inline const QString kProgramTitle = QStringLiteral("Zorvik Planner");

// A modal message to the user. An empty title means the program's title.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual int msgBox(const QString& text, int style = MsgStyle::OkOnly, const QString& title = QString()) = 0;
};

} // namespace zp
