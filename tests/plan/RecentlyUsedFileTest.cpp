#include "plan/RecentlyUsedFile.h"

#include <QDir>
#include <QFile>
#include <QTimeZone>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>

namespace zp {
namespace {

const QString kPlan = QStringLiteral("/home/ann/My plans/work & play.pln");
const QString kHref = QStringLiteral("file:///home/ann/My%20plans/work%20&%20play.pln");

RecentlyUsedEntry entryAt(const QDateTime& when)
{
    return {kPlan, kPlanMimeType, kRecentlyUsedApplicationName, kRecentlyUsedApplicationExec, when};
}
const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 0), QTimeZone::utc());

// What a desktop reader sees of one bookmark.
struct Seen {
    QString added, modified, visited, mimeType, title;
    std::map<QString, QString> apps; // name -> "exec|count|modified"
};

std::map<QString, Seen> readBack(const QByteArray& doc)
{
    std::map<QString, Seen> out;
    QXmlStreamReader r(doc);
    Seen* current = nullptr;
    const QString bookmarkNs = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
    const QString mimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = r.attributes();
        if (r.name() == QLatin1String("bookmark") && r.namespaceUri().isEmpty()) {
            current = &out[a.value("href").toString()];
            current->added = a.value("added").toString();
            current->modified = a.value("modified").toString();
            current->visited = a.value("visited").toString();
        } else if (current && r.name() == QLatin1String("title")) {
            current->title = r.readElementText();
        } else if (current && r.namespaceUri() == mimeNs && r.name() == QLatin1String("mime-type")) {
            current->mimeType = a.value("type").toString();
        } else if (current && r.namespaceUri() == bookmarkNs && r.name() == QLatin1String("application")) {
            current->apps[a.value("name").toString()] =
                a.value("exec").toString() + QLatin1Char('|') + a.value("count").toString() + QLatin1Char('|')
                + a.value("modified").toString();
        }
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return out;
}

const QByteArray kOther = R"(  <bookmark href="file:///home/ann/notes.txt" added="2020-01-01T00:00:00Z" modified="2020-01-02T00:00:00Z" visited="2020-01-03T00:00:00Z">
    <info>
      <metadata owner="http://freedesktop.org">
        <mime:mime-type type="text/plain"/>
        <bookmark:groups><bookmark:group>Office&amp;more</bookmark:group></bookmark:groups>
        <bookmark:applications>
          <bookmark:application name="Text Editor" exec="&apos;gedit %u&apos;" modified="2020-01-02T00:00:00Z" count="7"/>
        </bookmark:applications>
      </metadata>
    </info>
  </bookmark>
)";

QByteArray document(const QByteArray& bookmarks, const QByteArray& prefix = "bookmark")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\"\n      xmlns:" + prefix
        + "=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
          "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n>\n"
        + bookmarks + "</xbel>\n";
}

const QString kOurs = QStringLiteral("'zorvik-planner %u'|%1|2026-12-07T09:00:00.000Z");

TEST(RecentlyUsedFile, addsOrRenewsTheEntry_keepingEverythingElse)
{
    const QByteArray ours = "  <bookmark href=\"" + kHref.toUtf8().replace("&", "&amp;")
        + "\" added=\"2025-05-05T05:05:05Z\" modified=\"2025-05-06T00:00:00Z\">\n    <title>Work</title>\n";
    const QByteArray gimp = "<bookmark:application name=\"GIMP\" exec=\"gimp %u\" modified=\"2025-05-06T00:00:00Z\" count=\"2\"/>";
    const struct {
        const char* name;
        QByteArray before;
        QString added;
        QString title;
        QString ourApp;       // exec|count|modified after
        bool otherAppKept;
    } cases[] = {
        {"empty file", "", "2026-12-07T09:00:00.000Z", "", kOurs.arg(1), false},
        {"another program's entry only", document(kOther), "2026-12-07T09:00:00.000Z", "", kOurs.arg(1), false},
        {"ours, used three times", document(kOther + ours + "    <info><metadata owner=\"http://freedesktop.org\">"
                                              "<mime:mime-type type=\"application/x-zorvik-plan\"/><bookmark:applications>"
                                              "<bookmark:application name=\"Zorvik Planner\" exec=\"old\" modified=\"x\" count=\"3\"/>"
                                              + gimp + "</bookmark:applications></metadata></info>\n  </bookmark>\n"),
         "2025-05-05T05:05:05Z", "Work", kOurs.arg(4), true},
        {"ours, by another program only",
         document(ours + "    <info>\n      <metadata owner=\"http://freedesktop.org\">\n        <bookmark:applications>\n          "
                  + gimp + "\n        </bookmark:applications>\n      </metadata>\n    </info>\n  </bookmark>\n" + kOther),
         "2025-05-05T05:05:05Z", "Work", kOurs.arg(1), true},
        {"ours, without info", document(ours + "  </bookmark>\n"), "2025-05-05T05:05:05Z", "Work", kOurs.arg(1), false},
        {"another prefix", document(kOther, "bm").replace("bookmark:", "bm:"), "2026-12-07T09:00:00.000Z", "",
         kOurs.arg(1), false},
        {"self-closing root", "<xbel version=\"1.0\"/>", "2026-12-07T09:00:00.000Z", "", kOurs.arg(1), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QByteArray> after = recentlyUsedWithEntry(c.before, entryAt(kNow));
        ASSERT_TRUE(after.has_value());
        const auto seen = readBack(*after);
        ASSERT_TRUE(seen.count(kHref));
        const Seen& s = seen.at(kHref);
        EXPECT_EQ(s.added, c.added);
        EXPECT_EQ(s.modified, "2026-12-07T09:00:00.000Z");
        EXPECT_EQ(s.visited, "2026-12-07T09:00:00.000Z");
        EXPECT_EQ(s.mimeType, "application/x-zorvik-plan");
        EXPECT_EQ(s.title, c.title);
        EXPECT_EQ(s.apps.at("Zorvik Planner"), c.ourApp);
        EXPECT_EQ(s.apps.count("GIMP"), c.otherAppKept ? 1u : 0u);
        // Another program's entry is left as it was, to the byte.
        const QByteArray other = c.before.contains("notes.txt") && !c.before.contains("bm:") ? kOther : QByteArray();
        EXPECT_TRUE(after->contains(other));
        // Used once more: one entry still, counted again.
        const auto again = readBack(*recentlyUsedWithEntry(*after, entryAt(kNow)));
        EXPECT_EQ(again.size(), seen.size());
        EXPECT_EQ(again.at(kHref).apps.at("Zorvik Planner").section('|', 1, 1).toInt(),
                  c.ourApp.section('|', 1, 1).toInt() + 1);
    }
}

TEST(RecentlyUsedFile, whatIsNotAnXbelDocumentIsRefused)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"not well-formed", document(kOther).chopped(8)},
        {"another root", "<?xml version=\"1.0\"?>\n<html><body/></html>\n"},
        {"a namespaced root", "<x:xbel xmlns:x=\"urn:x\"/>"},
        {"not UTF-8", document("  <bookmark href=\"file:///caf\xE9\"/>\n")},
        {"not XML", "recently used: a.pln\n"},
    };
    for (const auto& [name, bytes] : cases)
        EXPECT_FALSE(recentlyUsedWithEntry(bytes, entryAt(kNow)).has_value()) << name;
}

TEST(RecentlyUsedFile, aDamagedFileIsLeftUntouched_aNewOneIsPrivate_aLinkToNothingIsLeftAlone)
{
    QTemporaryDir dir;
    const QString damaged = dir.filePath("damaged.xbel");
    const QByteArray bytes = document(kOther).chopped(20);
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    EXPECT_EQ(addToRecentlyUsed(damaged, entryAt(kNow)).outcome, RecentlyUsedOutcome::LeftAlone);
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);

    const QString fresh = dir.filePath("share/recently-used.xbel");
    EXPECT_EQ(addToRecentlyUsed(fresh, entryAt(kNow)).outcome, RecentlyUsedOutcome::Written);
    EXPECT_FALSE(QFileInfo(fresh).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther));
    EXPECT_EQ(QDir(dir.filePath("share")).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left

    const QString link = dir.filePath("none.xbel");
    ASSERT_TRUE(QFile::link("/dev/null", link));
    EXPECT_EQ(addToRecentlyUsed(link, entryAt(kNow)).outcome, RecentlyUsedOutcome::LeftAlone);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

} // namespace
} // namespace zp
