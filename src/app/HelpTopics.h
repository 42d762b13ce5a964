#pragma once
#include <QString>
#include <QStringList>
#include <vector>

namespace zp {

// The user guide's topics, one HTML file each under the guide's folder
// (qrc:/help/ in the program, docs/help/ in the sources).
struct HelpTopic {
    QString file;   // "calculator.html"
    QString title;  // "Calculator"
};

// In the order the guide's contents list them.
const std::vector<HelpTopic>& helpTopics();

inline const QString kHelpContentsTopic = QStringLiteral("index.html");
inline const QString kUsingHelpTopic = QStringLiteral("using-help.html");

// The topic F1 opens in a window, by the window's objectName ("Form12" gives
// the reminders topic); the contents for a window the guide has no topic of.
QString helpTopicForWindow(const QString& objectName);

// The targets of every link (<a href>) and picture (<img src>) of a page,
// as written.
QStringList helpLinkTargets(const QString& html);
// The anchors a link can point into: <a name="..."> and id="...".
QStringList helpAnchorNames(const QString& html);

// What the viewer shows for a topic that is not in the guide.
QString missingTopicPage(const QString& topic);

} // namespace zp
