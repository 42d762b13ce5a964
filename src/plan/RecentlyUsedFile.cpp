#include "plan/RecentlyUsedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>
#include <functional>
#include <vector>

namespace zp {

namespace {

const QString kBookmarkNamespace = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString kMimeNamespace = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");
const QString kMetadataOwner = QStringLiteral("http://freedesktop.org");

// What a new file starts as; the same layout GLib writes.
const QString kEmptyDocument = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xbel version=\"1.0\"\n"
    "      xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\"\n"
    "      xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"\n"
    ">\n"
    "</xbel>\n");

// An element as it stands in the document text.
struct Element {
    qsizetype start = -1;    // its '<'
    qsizetype startEnd = -1; // just past its start tag
    qsizetype endStart = -1; // the '<' of its end tag; -1 when self-closing
    QString qualifiedName;
    QXmlStreamAttributes attributes;
    QXmlStreamNamespaceDeclarations namespaces;
    bool found() const { return start >= 0; }
    bool selfClosing() const { return endStart < 0; }
};

enum class Role { Other, Root, Bookmark, Info, Metadata, Applications, Application };

struct Found {
    Element root, bookmark, info, metadata, applications, application;
    bool mimeType = false;
};

// Replaces `length` characters at `at` by `text`; edits never overlap.
struct Edit {
    qsizetype at;
    qsizetype length;
    QString text;
};

QString escaped(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&apos;"); break;
        case '\n': out += QLatin1String("&#10;"); break;
        case '\r': out += QLatin1String("&#13;"); break;
        case '\t': out += QLatin1String("&#9;"); break;
        default: out += c;
        }
    }
    return out;
}

QString attribute(const QString& name, const QString& value)
{
    return QLatin1Char(' ') + name + QStringLiteral("=\"") + escaped(value) + QLatin1Char('"');
}

// The start tag of `e` again, with `changes` put in place of the values
// they name (or added at the end).
QString startTag(const Element& e, const std::vector<std::pair<QString, QString>>& changes, bool selfClosing)
{
    QString tag = QLatin1Char('<') + e.qualifiedName;
    for (const QXmlStreamNamespaceDeclaration& ns : e.namespaces)
        tag += attribute(ns.prefix().isEmpty() ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + ns.prefix().toString(),
                         ns.namespaceUri().toString());
    std::vector<bool> used(changes.size(), false);
    for (const QXmlStreamAttribute& a : e.attributes) {
        if (a.isDefault())
            continue;
        QString value = a.value().toString();
        for (std::size_t i = 0; i < changes.size(); ++i)
            if (!used[i] && a.qualifiedName() == changes[i].first) {
                value = changes[i].second;
                used[i] = true;
            }
        tag += attribute(a.qualifiedName().toString(), value);
    }
    for (std::size_t i = 0; i < changes.size(); ++i)
        if (!used[i])
            tag += attribute(changes[i].first, changes[i].second);
    return tag + (selfClosing ? QStringLiteral("/>") : QStringLiteral(">"));
}

// Blanks between the line's start and `at`, or nothing when other text
// stands there.
std::optional<QString> lineIndent(const QString& doc, qsizetype at)
{
    qsizetype i = at;
    while (i > 0 && (doc.at(i - 1) == QLatin1Char(' ') || doc.at(i - 1) == QLatin1Char('\t')))
        --i;
    if (i > 0 && doc.at(i - 1) != QLatin1Char('\n'))
        return std::nullopt;
    return doc.mid(i, at - i);
}

using Builder = std::function<QString(const QString& indent)>;

// Puts children built for their indentation at the end of `parent`.
void appendChildren(const QString& doc, const Element& parent, const std::vector<Builder>& children,
                    std::vector<Edit>& edits)
{
    if (parent.selfClosing()) {
        const QString indent = lineIndent(doc, parent.start).value_or(QString());
        QString text = startTag(parent, {}, false);
        for (const Builder& child : children)
            text += QLatin1Char('\n') + indent + QStringLiteral("  ") + child(indent + QStringLiteral("  "));
        text += QLatin1Char('\n') + indent + QStringLiteral("</") + parent.qualifiedName + QLatin1Char('>');
        edits.push_back({parent.start, parent.startEnd - parent.start, text});
        return;
    }
    const std::optional<QString> indent = lineIndent(doc, parent.endStart);
    QString text;
    for (const Builder& child : children)
        text += indent ? QStringLiteral("  ") + child(*indent + QStringLiteral("  ")) + QLatin1Char('\n') + *indent
                       : child(QString());
    edits.push_back({parent.endStart, 0, text});
}

class EntryTexts {
public:
    EntryTexts(const RecentlyUsedEntry& e, const Found& found) : e_(e)
    {
        const QString when = e.when.toUTC().toString(Qt::ISODateWithMs);
        when_ = when;
        for (const QXmlStreamNamespaceDeclaration& ns : found.root.namespaces) {
            if (ns.namespaceUri() == kBookmarkNamespace && !ns.prefix().isEmpty())
                bookmarkPrefix_ = ns.prefix().toString();
            if (ns.namespaceUri() == kMimeNamespace && !ns.prefix().isEmpty())
                mimePrefix_ = ns.prefix().toString();
        }
    }

    QString when() const { return when_; }
    // GLib keeps the command shell-quoted; so do we, so it reads it back.
    QString exec() const { return QLatin1Char('\'') + e_.applicationExec + QLatin1Char('\''); }

    // Our application's element; `prefix` is that of the element it goes
    // in, or nothing to use the root's (declaring one when it has none).
    QString application(const std::optional<QString>& prefix, int count) const
    {
        const auto [name, declaration] = prefixed(prefix, bookmarkPrefix_, QStringLiteral("bookmark"), kBookmarkNamespace);
        return QLatin1Char('<') + name(QStringLiteral("application")) + declaration
            + attribute(QStringLiteral("name"), e_.applicationName) + attribute(QStringLiteral("exec"), exec())
            + attribute(QStringLiteral("modified"), when_) + attribute(QStringLiteral("count"), QString::number(count))
            + QStringLiteral("/>");
    }
    QString applications(const QString& indent) const
    {
        const auto [name, declaration] =
            prefixed(std::nullopt, bookmarkPrefix_, QStringLiteral("bookmark"), kBookmarkNamespace);
        // Our application inherits the prefix (and its declaration).
        const QString prefix = bookmarkPrefix_.isEmpty() ? QStringLiteral("bookmark") : bookmarkPrefix_;
        return QLatin1Char('<') + name(QStringLiteral("applications")) + declaration + QStringLiteral(">\n") + indent
            + QStringLiteral("  ") + application(prefix, 1) + QLatin1Char('\n') + indent + QStringLiteral("</")
            + name(QStringLiteral("applications")) + QLatin1Char('>');
    }
    QString mimeType() const
    {
        const auto [name, declaration] = prefixed(std::nullopt, mimePrefix_, QStringLiteral("mime"), kMimeNamespace);
        return QLatin1Char('<') + name(QStringLiteral("mime-type")) + declaration
            + attribute(QStringLiteral("type"), e_.mimeType) + QStringLiteral("/>");
    }
    QString metadata(const QString& indent) const
    {
        const QString in = indent + QStringLiteral("  ");
        return QStringLiteral("<metadata") + attribute(QStringLiteral("owner"), kMetadataOwner) + QStringLiteral(">\n")
            + in + mimeType() + QLatin1Char('\n') + in + applications(in) + QLatin1Char('\n') + indent
            + QStringLiteral("</metadata>");
    }
    QString info(const QString& indent) const
    {
        const QString in = indent + QStringLiteral("  ");
        return QStringLiteral("<info>\n") + in + metadata(in) + QLatin1Char('\n') + indent + QStringLiteral("</info>");
    }
    QString bookmark(const QString& indent) const
    {
        const QString in = indent + QStringLiteral("  ");
        return QStringLiteral("<bookmark") + attribute(QStringLiteral("href"), href())
            + attribute(QStringLiteral("added"), when_) + attribute(QStringLiteral("modified"), when_)
            + attribute(QStringLiteral("visited"), when_) + QStringLiteral(">\n") + in + info(in) + QLatin1Char('\n')
            + indent + QStringLiteral("</bookmark>");
    }
    QString href() const { return QString::fromUtf8(QUrl::fromLocalFile(e_.filePath).toEncoded()); }

private:
    using Namer = std::function<QString(const QString&)>;
    // How to name an element of `ns`: with the prefix given, the root's, or
    // a standard one declared on the element itself.
    static std::pair<Namer, QString> prefixed(const std::optional<QString>& given, const QString& rootPrefix,
                                              const QString& standard, const QString& ns)
    {
        QString prefix;
        QString declaration;
        if (given)
            prefix = *given;
        else if (!rootPrefix.isEmpty())
            prefix = rootPrefix;
        else {
            prefix = standard;
            declaration = attribute(QStringLiteral("xmlns:") + standard, ns);
        }
        Namer name = [prefix](const QString& local) {
            return prefix.isEmpty() ? local : prefix + QLatin1Char(':') + local;
        };
        return {name, declaration};
    }

    const RecentlyUsedEntry& e_;
    QString when_;
    QString bookmarkPrefix_;
    QString mimePrefix_;
};

bool namesFile(QStringView href, const QString& filePath)
{
    const QUrl url(href.toString());
    return url.isLocalFile() && QDir::cleanPath(url.toLocalFile()) == QDir::cleanPath(filePath);
}

std::optional<Found> scan(const QString& doc, const RecentlyUsedEntry& entry)
{
    Found found;
    QXmlStreamReader reader(doc);
    std::vector<std::pair<Role, Element>> open;
    while (!reader.atEnd()) {
        reader.readNext();
        const qsizetype now = reader.characterOffset();
        if (reader.isStartElement()) {
            Element e;
            // The reader stands just past the tag; a tag holds no '<' but
            // its first (attribute values cannot).
            e.start = doc.lastIndexOf(QLatin1Char('<'), now - 1);
            e.startEnd = now;
            e.qualifiedName = reader.qualifiedName().toString();
            e.attributes = reader.attributes();
            e.namespaces = reader.namespaceDeclarations();
            const Role parent = open.empty() ? Role::Other : open.back().first;
            const bool plain = reader.namespaceUri().isEmpty();
            const QStringView name = reader.name();
            Role role = Role::Other;
            if (open.empty()) {
                if (!plain || name != QLatin1String("xbel"))
                    return std::nullopt;
                role = Role::Root;
            } else if (parent == Role::Root && plain && name == QLatin1String("bookmark") && !found.bookmark.found()
                       && namesFile(e.attributes.value(QLatin1String("href")), entry.filePath)) {
                role = Role::Bookmark;
            } else if (parent == Role::Bookmark && plain && name == QLatin1String("info") && !found.info.found()) {
                role = Role::Info;
            } else if (parent == Role::Info && plain && name == QLatin1String("metadata") && !found.metadata.found()
                       && e.attributes.value(QLatin1String("owner")) == kMetadataOwner) {
                role = Role::Metadata;
            } else if (parent == Role::Metadata && reader.namespaceUri() == kBookmarkNamespace
                       && name == QLatin1String("applications") && !found.applications.found()) {
                role = Role::Applications;
            } else if (parent == Role::Metadata && reader.namespaceUri() == kMimeNamespace
                       && name == QLatin1String("mime-type")) {
                found.mimeType = true;
            } else if (parent == Role::Applications && reader.namespaceUri() == kBookmarkNamespace
                       && name == QLatin1String("application") && !found.application.found()
                       && e.attributes.value(QLatin1String("name")) == entry.applicationName) {
                role = Role::Application;
            }
            open.emplace_back(role, e);
        } else if (reader.isEndElement()) {
            auto [role, e] = open.back();
            open.pop_back();
            // A self-closing element's end takes no room of its own.
            if (now != e.startEnd || doc.mid(now - 2, 2) != QLatin1String("/>"))
                e.endStart = doc.lastIndexOf(QLatin1Char('<'), now - 1);
            switch (role) {
            case Role::Root: found.root = e; break;
            case Role::Bookmark: found.bookmark = e; break;
            case Role::Info: found.info = e; break;
            case Role::Metadata: found.metadata = e; break;
            case Role::Applications: found.applications = e; break;
            case Role::Application: found.application = e; break;
            case Role::Other: break;
            }
        }
    }
    if (reader.hasError() || !found.root.found())
        return std::nullopt;
    return found;
}

} // namespace

QString recentlyUsedFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/recently-used.xbel");
}

std::optional<QByteArray> recentlyUsedWithEntry(const QByteArray& document, const RecentlyUsedEntry& entry)
{
    QByteArray bytes = document;
    const QByteArray mark = bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayLiteral("\xEF\xBB\xBF") : QByteArray();
    bytes.remove(0, mark.size());
    QString doc;
    if (bytes.trimmed().isEmpty()) {
        doc = kEmptyDocument;
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        doc = utf8(bytes);
        if (utf8.hasError())
            return std::nullopt;
    }
    const std::optional<Found> found = scan(doc, entry);
    if (!found)
        return std::nullopt;

    const EntryTexts texts(entry, *found);
    std::vector<Edit> edits;
    if (!found->bookmark.found()) {
        appendChildren(doc, found->root, {[&texts](const QString& in) { return texts.bookmark(in); }}, edits);
    } else {
        const Element& b = found->bookmark;
        std::vector<std::pair<QString, QString>> times{{QStringLiteral("modified"), texts.when()},
                                                       {QStringLiteral("visited"), texts.when()}};
        if (!b.attributes.hasAttribute(QLatin1String("added")))
            times.insert(times.begin(), {QStringLiteral("added"), texts.when()});
        if (b.selfClosing()) {
            const QString indent = lineIndent(doc, b.start).value_or(QString());
            const QString in = indent + QStringLiteral("  ");
            edits.push_back({b.start, b.startEnd - b.start,
                             startTag(b, times, false) + QLatin1Char('\n') + in + texts.info(in) + QLatin1Char('\n')
                                 + indent + QStringLiteral("</") + b.qualifiedName + QLatin1Char('>')});
        } else {
            edits.push_back({b.start, b.startEnd - b.start, startTag(b, times, false)});
            if (!found->info.found()) {
                appendChildren(doc, b, {[&texts](const QString& in) { return texts.info(in); }}, edits);
            } else if (!found->metadata.found()) {
                appendChildren(doc, found->info, {[&texts](const QString& in) { return texts.metadata(in); }}, edits);
            } else {
                std::vector<Builder> children;
                if (!found->mimeType)
                    children.push_back([&texts](const QString&) { return texts.mimeType(); });
                if (!found->applications.found())
                    children.push_back([&texts](const QString& in) { return texts.applications(in); });
                if (!children.empty())
                    appendChildren(doc, found->metadata, children, edits);
                if (const Element& apps = found->applications; apps.found()) {
                    const qsizetype colon = apps.qualifiedName.indexOf(QLatin1Char(':'));
                    const QString prefix = colon < 0 ? QString() : apps.qualifiedName.left(colon);
                    if (const Element& app = found->application; app.found()) {
                        bool ok = false;
                        const int count = app.attributes.value(QLatin1String("count")).toInt(&ok);
                        const std::vector<std::pair<QString, QString>> changes{
                            {QStringLiteral("exec"), texts.exec()},
                            {QStringLiteral("modified"), texts.when()},
                            {QStringLiteral("count"), QString::number(ok && count > 0 ? count + 1 : 1)}};
                        edits.push_back({app.start, app.startEnd - app.start, startTag(app, changes, app.selfClosing())});
                    } else {
                        appendChildren(doc, apps, {[&texts, prefix](const QString&) {
                                           return texts.application(prefix, 1);
                                       }},
                                       edits);
                    }
                }
            }
        }
    }
    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at > b.at; });
    for (const Edit& e : edits)
        doc.replace(e.at, e.length, e.text);
    return mark + doc.toUtf8();
}

RecentlyUsedResult addToRecentlyUsed(const QString& path, const RecentlyUsedEntry& entry)
{
    // A link is followed, so the list stays where the user keeps it.
    const QFileInfo link(path);
    const QString target = link.isSymLink() ? link.symLinkTarget() : path;
    const QFileInfo info(target);
    if (info.exists() && !info.isFile())
        return {RecentlyUsedOutcome::LeftAlone, QString()};

    QByteArray bytes;
    if (info.exists()) {
        QFile file(target);
        if (!file.open(QIODevice::ReadOnly))
            return {RecentlyUsedOutcome::Failed, file.errorString()};
        bytes = file.readAll();
        if (file.error() != QFile::NoError)
            return {RecentlyUsedOutcome::Failed, file.errorString()};
    }
    const std::optional<QByteArray> updated = recentlyUsedWithEntry(bytes, entry);
    if (!updated)
        return {RecentlyUsedOutcome::LeftAlone, QStringLiteral("not a recently-used list that can be read; left as it is")};

    if (!QDir().mkpath(info.absolutePath()))
        return {RecentlyUsedOutcome::Failed, QStringLiteral("cannot create the folder %1").arg(info.absolutePath())};
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return {RecentlyUsedOutcome::Failed, file.errorString()};
    // The list tells what the user worked on: a new one is theirs alone.
    file.setPermissions(info.exists() ? info.permissions() : QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(*updated) != updated->size() || !file.commit()) {
        file.cancelWriting();
        return {RecentlyUsedOutcome::Failed, file.errorString()};
    }
    return {};
}

} // namespace zp
