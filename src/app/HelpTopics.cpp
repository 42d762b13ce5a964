#include "app/HelpTopics.h"

#include <QHash>
#include <QRegularExpression>

namespace zp {

const std::vector<HelpTopic>& helpTopics()
{
    static const std::vector<HelpTopic> topics = {
        {QStringLiteral("index.html"), QStringLiteral("Contents")},
        {QStringLiteral("getting-started.html"), QStringLiteral("Getting started")},
        {QStringLiteral("main-window.html"), QStringLiteral("The main window")},
        {QStringLiteral("records.html"), QStringLiteral("Records and editing")},
        {QStringLiteral("plan-files.html"), QStringLiteral("Plan files and backups")},
        {QStringLiteral("calendar.html"), QStringLiteral("Calendar exchange")},
        {QStringLiteral("calendar-server.html"), QStringLiteral("Calendar servers")},
        {QStringLiteral("reminders.html"), QStringLiteral("Reminders")},
        {QStringLiteral("find.html"), QStringLiteral("Finding records")},
        {QStringLiteral("keyword.html"), QStringLiteral("Keyword highlight")},
        {QStringLiteral("details.html"), QStringLiteral("Record details and phone book")},
        {QStringLiteral("printing.html"), QStringLiteral("Printing")},
        {QStringLiteral("ledger.html"), QStringLiteral("Ledger and plot")},
        {QStringLiteral("loan.html"), QStringLiteral("Loan simulator")},
        {QStringLiteral("calculator.html"), QStringLiteral("Calculator")},
        {QStringLiteral("world-times.html"), QStringLiteral("World times")},
        {QStringLiteral("notepad.html"), QStringLiteral("Notepad")},
        {QStringLiteral("voice-notes.html"), QStringLiteral("Voice notes")},
        {QStringLiteral("settings.html"), QStringLiteral("Settings and where files live")},
        {QStringLiteral("command-line.html"), QStringLiteral("The command line")},
        {QStringLiteral("troubleshooting.html"), QStringLiteral("Troubleshooting")},
        {QStringLiteral("using-help.html"), QStringLiteral("Using help")},
    };
    return topics;
}

QString helpTopicForWindow(const QString& objectName)
{
    static const QHash<QString, QString> topics = {
        {QStringLiteral("Form1"), QStringLiteral("main-window.html")},
        {QStringLiteral("Form2"), QStringLiteral("printing.html")},
        {QStringLiteral("Form3"), QStringLiteral("getting-started.html")},
        {QStringLiteral("Form4"), QStringLiteral("ledger.html#plot")},
        {QStringLiteral("form5"), QStringLiteral("calculator.html")},
        {QStringLiteral("Form6"), QStringLiteral("world-times.html")},
        {QStringLiteral("Form7"), QStringLiteral("ledger.html")},
        {QStringLiteral("Form8"), QStringLiteral("details.html#phone-book")},
        {QStringLiteral("Form9"), QStringLiteral("getting-started.html")},
        {QStringLiteral("Form10"), QStringLiteral("keyword.html")},
        {QStringLiteral("Form11"), QStringLiteral("ledger.html#plot")},
        {QStringLiteral("Form12"), QStringLiteral("reminders.html")},
        {QStringLiteral("Form13"), QStringLiteral("voice-notes.html")},
        {QStringLiteral("Form14"), QStringLiteral("details.html")},
        {QStringLiteral("Loan1"), QStringLiteral("loan.html")},
        {QStringLiteral("frmMDI"), QStringLiteral("notepad.html")},
        {QStringLiteral("frmNotePad"), QStringLiteral("notepad.html")},
        {QStringLiteral("frmFind"), QStringLiteral("notepad.html#find")},
        {QStringLiteral("HelpWindow"), kUsingHelpTopic},
    };
    return topics.value(objectName, kHelpContentsTopic);
}

namespace {

QStringList attributeValues(const QString& html, const QString& pattern)
{
    static QHash<QString, QRegularExpression> cache;
    auto it = cache.find(pattern);
    if (it == cache.end())
        it = cache.insert(pattern, QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption));
    QStringList values;
    auto matches = it->globalMatch(html);
    while (matches.hasNext()) {
        const auto m = matches.next();
        values << (m.captured(1).isNull() ? m.captured(2) : m.captured(1));
    }
    return values;
}

} // namespace

QStringList helpLinkTargets(const QString& html)
{
    return attributeValues(html, QStringLiteral(R"re(<(?:a|img)\s[^>]*?(?:href|src)\s*=\s*(?:"([^"]*)"|'([^']*)'))re"));
}

QStringList helpAnchorNames(const QString& html)
{
    QStringList names = attributeValues(html, QStringLiteral(R"re(<a\s[^>]*?name\s*=\s*(?:"([^"]*)"|'([^']*)'))re"));
    names << attributeValues(html, QStringLiteral(R"re(<\w+\s[^>]*?\bid\s*=\s*(?:"([^"]*)"|'([^']*)'))re"));
    return names;
}

QString missingTopicPage(const QString& topic)
{
    return QStringLiteral("<html><head><title>Topic not found</title></head><body>"
                          "<h1>Topic not found</h1>"
                          "<p>The guide has no topic called <b>%1</b>.</p>"
                          "<p>Go back with the <b>Back</b> button, or open the "
                          "<a href=\"qrc:/help/index.html\">contents</a>.</p></body></html>")
        .arg(topic.toHtmlEscaped());
}

} // namespace zp
