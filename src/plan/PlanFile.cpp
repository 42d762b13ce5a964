#include "plan/PlanFile.h"

#include "plan/DateStyle.h"
#include "plan/RecordStore.h"
#include "plan/TextNumber.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QDir>
#include <QStringEncoder>

#include <algorithm>
#include <memory>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zp {

namespace {

// Bytes of a text in UTF-8, line breaks dropped as the writer drops them.
qsizetype utf8Length(QStringView text)
{
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\r' || c == u'\n')
            continue;
        if (c < 0x80)
            bytes += 1;
        else if (c < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}

// --- reading -----------------------------------------------------------------

// Cuts a file into lines as it is read, a chunk at a time. A line ends at LF
// or CR LF; the last line may lack its end. A line longer than
// kMaxPlanLineBytes is refused (TooLong, with its first part as the line),
// and so is reading more than kMaxPlanReadBytes.
class LineReader {
public:
    enum class Status { Line, EndOfFile, TooLong, TooMuch, ReadError };

    explicit LineReader(QFile& file) : file_(file) {}

    Status next(QByteArrayView& line)
    {
        qsizetype searchFrom = pos_;
        for (;;) {
            const char* base = buffer_.constData();
            const void* found = searchFrom < buffer_.size()
                                    ? std::memchr(base + searchFrom, '\n', static_cast<std::size_t>(buffer_.size() - searchFrom))
                                    : nullptr;
            if (found) {
                const qsizetype end = static_cast<const char*>(found) - base;
                // The limit counts the line without its break, LF or CR LF,
                // so a plan read with either is read again once saved.
                const qsizetype length = end - pos_ - (end > pos_ && base[end - 1] == '\r' ? 1 : 0);
                if (length > kMaxPlanLineBytes)
                    return tooLong(line);
                line = lineAt(pos_, end);
                consumed_ += end + 1 - pos_;
                pos_ = end + 1;
                return consumed_ > kMaxPlanReadBytes ? Status::TooMuch : Status::Line;
            }
            // One more byte may still be the CR of a CR LF.
            if (buffer_.size() - pos_ > kMaxPlanLineBytes + 1)
                return tooLong(line);
            if (atEnd_) {
                if (buffer_.size() - pos_ - (buffer_.endsWith('\r') ? 1 : 0) > kMaxPlanLineBytes)
                    return tooLong(line);
                if (pos_ >= buffer_.size())
                    return Status::EndOfFile;
                line = lineAt(pos_, buffer_.size());
                consumed_ += buffer_.size() - pos_;
                pos_ = buffer_.size();
                return consumed_ > kMaxPlanReadBytes ? Status::TooMuch : Status::Line;
            }
            // Move the unfinished line to the front and read more after it.
            // The buffer keeps its size; it grows only for a line longer than
            // a chunk.
            const qsizetype kept = buffer_.size() - pos_;
            if (pos_ > 0 && kept > 0)
                std::memmove(buffer_.data(), buffer_.constData() + pos_, static_cast<std::size_t>(kept));
            pos_ = 0;
            searchFrom = kept;
            buffer_.resize(kept + kChunk);
            const qint64 got = file_.read(buffer_.data() + kept, kChunk);
            if (got < 0) {
                buffer_.resize(kept);
                return Status::ReadError;
            }
            buffer_.resize(kept + static_cast<qsizetype>(got));
            if (got == 0)
                atEnd_ = true;
        }
    }

private:
    static constexpr qsizetype kChunk = 1 << 20;

    QByteArrayView lineAt(qsizetype from, qsizetype end) const
    {
        if (end > from && buffer_[end - 1] == '\r')
            --end;
        return QByteArrayView(buffer_.constData() + from, end - from);
    }

    Status tooLong(QByteArrayView& line) const
    {
        line = QByteArrayView(buffer_.constData() + pos_, kMaxPlanLineBytes);
        return Status::TooLong;
    }

    QFile& file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    qint64 consumed_ = 0;
    bool atEnd_ = false;
};

// Turns the bytes of one line into the text of a field, in the encoding
// being tried, appended to the record being read. A line that is not valid
// UTF-8 marks the whole file as Windows-1252. A byte-order mark inside the
// text stays a character (the one in front of the file is skipped before
// the lines are read).
class LineDecoder {
public:
    explicit LineDecoder(const QByteArray& encoding) : decoder_(encoding) {}

    QString decode(QByteArrayView bytes)
    {
        QString text;
        append(bytes, text);
        return text;
    }

    void append(QByteArrayView bytes, QString& out)
    {
        // A field never holds a line break: stray CRs inside a line go.
        QByteArray stripped;
        if (!bytes.isEmpty() && std::memchr(bytes.data(), '\r', static_cast<std::size_t>(bytes.size()))) {
            stripped = bytes.toByteArray();
            stripped.replace('\r', QByteArrayView());
            bytes = stripped;
        }
        const qsizetype start = out.size();
        decoder_.appendTo(bytes, out);
        // A Windows-1252 line takes up to three times its bytes in UTF-8, the
        // form it is saved in once it holds a character Windows-1252 lacks;
        // a field that could then not be read back is refused now.
        if (bytes.size() > kMaxPlanLineBytes / 3 && utf8Length(QStringView(out).sliced(start)) > kMaxPlanLineBytes)
            tooLong_ = true;
    }

    bool invalid() const { return decoder_.invalid(); }
    bool tooLong() const { return tooLong_; }

private:
    TextDecoder decoder_;
    bool tooLong_ = false;
};

struct Version {
    const char* header;
    int linesPerRecord;
};
constexpr std::array<Version, 5> kVersions = {{
    {"Zorvik Planner 3.2", 12},
    {"Zorvik Planner 3.1", 12},
    {"Zorvik Planner 3.0", 12},
    {"Zorvik Planner 2.1", 10},
    {"Zorvik Planner 2.0", 10},
}};
constexpr qsizetype kVersionLength = 18;

// Lines per record of the version a header starts with, or 0 when it names
// none.
int linesPerRecord(QByteArrayView start)
{
    for (const Version& v : kVersions)
        if (start == QByteArrayView(v.header))
            return v.linesPerRecord;
    return 0;
}

// The edit-style digit: the 21st character of the header, or its last when
// it has exactly 20; 0 when it is not a digit other than 0, or when the
// header is shorter.
EditStyle editStyleOfHeader(const QString& header)
{
    if (header.size() < 20)
        return EditStyle::HomeAndOffice;
    const QStringView digit = QStringView(header).mid(header.size() == 20 ? 19 : 20, 1);
    return textValue(digit) == 0 ? EditStyle::HomeAndOffice : EditStyle::ProjectPlanning;
}

// Calls begin() now and end() on leaving. The bar counts records, not
// percent: it moves on by one per record and starts again from 0 each time
// it would reach 100, so even a plan of thousands of records shows that
// work goes on.
class ProgressScope {
public:
    explicit ProgressScope(ProgressSink* sink) : sink_(sink)
    {
        if (sink_)
            sink_->begin();
    }
    ~ProgressScope()
    {
        if (sink_)
            sink_->end();
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    void advance()
    {
        if (!sink_)
            return;
        if (++value_ == 100)
            value_ = 0;
        sink_->progress(value_);
    }

    // Back to 0, for a second pass over a file.
    void restart()
    {
        value_ = 0;
        if (sink_)
            sink_->progress(0);
    }

private:
    ProgressSink* sink_;
    int value_ = 0;
};

struct ParsedPlan {
    PlanReadStatus status = PlanReadStatus::Failed;
    QString detail;
    bool notUtf8 = false; // the UTF-8 attempt met a line that is not UTF-8
    std::vector<PackedRecord> records; // their blocks lie in `buffer`
    std::shared_ptr<RecordBuffer> buffer = std::make_shared<RecordBuffer>();
    EditStyle editStyle = EditStyle::HomeAndOffice;
    QString fileDateStyle;
};

ParsedPlan failure(PlanReadStatus status, QString detail)
{
    ParsedPlan p;
    p.status = status;
    p.detail = std::move(detail);
    return p;
}

ParsedPlan lineFailure(LineReader::Status status, const QFile& file)
{
    switch (status) {
    case LineReader::Status::EndOfFile:
        return failure(PlanReadStatus::Failed, QStringLiteral("the file ends before the plan does"));
    case LineReader::Status::TooLong:
        return failure(PlanReadStatus::Failed, QStringLiteral("a line is longer than %1 bytes").arg(kMaxPlanLineBytes));
    case LineReader::Status::TooMuch:
        return failure(PlanReadStatus::Failed, QStringLiteral("the plan is larger than %1 bytes").arg(kMaxPlanReadBytes));
    case LineReader::Status::ReadError:
    case LineReader::Status::Line:
        break;
    }
    return failure(PlanReadStatus::Failed, file.errorString());
}

// Converts the start and finish dates of the records being read. Nearly
// every date of a plan is already in the form a load gives it (two-digit day
// and month, four-digit year, written in the system's style): such a date is
// kept as it stands without being read and printed again.
class LoadDateConverter {
public:
    LoadDateConverter(const QString& fileStyle, const QString& systemStyle)
        : fileStyle_(fileStyle), systemStyle_(systemStyle),
          settledForm_(isKnownDateStyle(fileStyle) && fileStyle == systemStyle),
          dayFirst_(dateOrderFor(systemStyle) == DateOrder::DayFirst)
    {
    }

    // Converts the text from `start` to the end of `texts` in place.
    void convert(QString& texts, qsizetype start) const
    {
        const QStringView text = QStringView(texts).sliced(start);
        if (text.isEmpty() || isSettled(text))
            return;
        const QString converted = convertDateOnLoad(text.toString(), fileStyle_, systemStyle_);
        texts.resize(start);
        texts.append(converted);
    }

private:
    // Whether the text is a real date printed exactly as "dd/mm/yyyy" (or
    // "mm/dd/yyyy"), which reading and printing it again gives back as it is.
    bool isSettled(QStringView text) const
    {
        if (!settledForm_ || text.size() != 10 || text[2] != u'/' || text[5] != u'/')
            return false;
        int digits[8];
        int k = 0;
        for (const qsizetype i : {0, 1, 3, 4, 6, 7, 8, 9}) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return false;
            digits[k++] = c - u'0';
        }
        const int first = digits[0] * 10 + digits[1];
        const int second = digits[2] * 10 + digits[3];
        const int year = digits[4] * 1000 + digits[5] * 100 + digits[6] * 10 + digits[7];
        if (year < 1000)
            return false;
        const int day = dayFirst_ ? first : second;
        const int month = dayFirst_ ? second : first;
        return std::chrono::year_month_day(std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day)))
            .ok();
    }

    const QString& fileStyle_;
    const QString& systemStyle_;
    bool settledForm_;
    bool dayFirst_;
};

// One pass over the file in one encoding. With UTF-8 it stops as soon as a
// line turns out not to be UTF-8 (notUtf8), and the caller starts again in
// Windows-1252.
ParsedPlan parsePlan(QFile& file, const QByteArray& encoding, const QString& systemStyle, qint64 fileSize,
                     ProgressScope& progress, const PlanRecordFilter& keep)
{
    LineReader reader(file);
    LineDecoder decoder(encoding);
    QByteArrayView line;

    // The version is plain ASCII, so it can be matched on the bytes; that
    // also judges a header too long to be a line.
    LineReader::Status st = reader.next(line);
    if (st != LineReader::Status::Line && st != LineReader::Status::TooLong)
        return lineFailure(st, file);
    const int perRecord = linesPerRecord(line.first(std::min(line.size(), kVersionLength)));
    if (perRecord == 0)
        return failure(PlanReadStatus::NotAPlanFile, QStringLiteral("the first line names no planner version"));
    if (st != LineReader::Status::Line)
        return lineFailure(st, file);
    ParsedPlan plan;
    plan.editStyle = editStyleOfHeader(decoder.decode(line));

    st = reader.next(line);
    if (st != LineReader::Status::Line)
        return lineFailure(st, file);
    plan.fileDateStyle = decoder.decode(line);

    // The end line is judged as the text a field would hold (stray CRs
    // dropped), so no field read ever holds "plannerend" and a plan that was
    // read saves to a file that reads back the same.
    auto isEnd = [](QByteArrayView l) {
        constexpr QByteArrayView end("plannerend");
        qsizetype matched = 0;
        for (const char c : l) {
            if (c == '\r')
                continue;
            if (matched == end.size() || c != end[matched])
                return false;
            ++matched;
        }
        return matched == end.size();
    };
    // Room for the records a file of this size is likely to hold (a working
    // plan has 150 bytes or more a record), so the list is not copied as it
    // grows.
    // A filtered read keeps few records: the list grows with them.
    if (!keep)
        plan.records.reserve(static_cast<std::size_t>(std::min<qint64>(RecordStore::kMaxRecords, fileSize / 128 + 16)));
    // The limit counts every record of the file, kept or not.
    int recordsRead = 0;
    QString texts;
    std::array<std::uint32_t, Field::Count> ends{};
    const LoadDateConverter dates(plan.fileDateStyle, systemStyle);

    for (;;) {
        st = reader.next(line);
        if (st == LineReader::Status::EndOfFile)
            break; // a file cut at a record boundary loads what it holds
        progress.advance(); // once per record, and once for the end line
        if (st != LineReader::Status::Line)
            return lineFailure(st, file);
        if (isEnd(line))
            break;
        if (recordsRead >= RecordStore::kMaxRecords)
            return failure(PlanReadStatus::TooManyRecords,
                           QStringLiteral("the file holds more than %1 records").arg(RecordStore::kMaxRecords));
        ++recordsRead;
        // The record's texts are read one after another into one buffer and
        // packed from there, so a record costs a single allocation.
        texts.resize(0);
        int read = 0;
        decoder.append(line, texts);
        dates.convert(texts, 0);
        ends[read++] = static_cast<std::uint32_t>(texts.size());
        bool ended = false;
        for (int f = 2; f <= perRecord; ++f) {
            st = reader.next(line);
            if (st != LineReader::Status::Line)
                return lineFailure(st, file);
            if (isEnd(line)) {
                // A record cut short keeps what it has; the rest stay empty.
                ended = true;
                break;
            }
            const qsizetype start = texts.size();
            decoder.append(line, texts);
            if (f == Field::FinishDate)
                dates.convert(texts, start);
            ends[read++] = static_cast<std::uint32_t>(texts.size());
        }
        if (decoder.invalid()) {
            plan.notUtf8 = true;
            return plan;
        }
        if (decoder.tooLong())
            return lineFailure(LineReader::Status::TooLong, file);
        if (!keep) {
            plan.records.emplace_back(ends.data(), read, texts.constData(), plan.buffer.get());
        } else {
            // Judged in a block of its own, which a kept record keeps: the
            // plan's buffer then holds only what is kept.
            PackedRecord record(ends.data(), read, texts.constData());
            if (keep(RecordView(record)))
                plan.records.push_back(std::move(record));
        }
        if (ended)
            break;
    }
    if (decoder.invalid()) {
        plan.notUtf8 = true;
        return plan;
    }
    plan.status = PlanReadStatus::Loaded;
    return plan;
}

} // namespace

QString convertDateOnLoad(const QString& text, const QString& fileStyle, const QString& systemStyle)
{
    if (!isKnownDateStyle(fileStyle))
        return fileStyle == systemStyle ? text : swapDayMonth(text);
    if (fileStyle == systemStyle)
        return renderDateText(text, datePatternFor(fileStyle), dateOrderFor(systemStyle));
    // Read in the order the file was written in, so 05/11/1996 of a day-first
    // file stays 5 November whatever the system's order.
    const auto value = parseDateTime(text, dateOrderFor(fileStyle));
    return value ? formatDateTime(*value, datePatternFor(systemStyle)) : text;
}

PlanReadResult readPlanFile(const QString& path, RecordStore& store, DateOrder systemOrder, ProgressSink* progress,
                            const PlanRecordFilter& keep)
{
    ProgressScope scope(progress);
    PlanReadResult result;
    if (path.isEmpty())
        return result;

    auto fail = [&result](PlanReadStatus status, const QString& detail) {
        result.status = status;
        result.detail = detail;
        if (status == PlanReadStatus::NotAPlanFile) {
            result.message = kNotAPlanFileMessage;
            result.title = kNotAPlanFileTitle;
        } else {
            result.message = status == PlanReadStatus::TooManyRecords ? kTooManyRecordsMessage : kTroubleLoadingMessage;
            result.title = kFileLoadErrorTitle;
        }
        return result;
    };

    // The length is looked at before the file is opened, so a pipe or a
    // device (length 0) is never opened and cannot make the load wait.
    const QFileInfo info(path);
    if (!info.exists())
        return fail(PlanReadStatus::Failed, QStringLiteral("No such file or directory"));
    if (info.isDir())
        return fail(PlanReadStatus::Failed, QStringLiteral("Is a directory"));
    const qint64 size = info.size();
    if (size <= 20)
        return result;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(PlanReadStatus::Failed, file.errorString());

    // A byte-order mark in front (some editors write one) is no part of the
    // header; the plan is written back with it.
    constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
    const bool marked = file.read(kByteOrderMark.size()) == kByteOrderMark;
    const qint64 start = marked ? kByteOrderMark.size() : 0;
    if (!file.seek(start))
        return fail(PlanReadStatus::Failed, file.errorString());

    const QString systemStyle = detectDateStyle(systemOrder).value_or(store.systemDateStyle);
    QByteArray encoding = marked ? kUtf8BomEncoding : kUtf8Encoding;
    ParsedPlan plan = parsePlan(file, encoding, systemStyle, size, scope, keep);
    if (plan.notUtf8) {
        encoding = kWindows1252Encoding;
        if (!file.seek(start))
            return fail(PlanReadStatus::Failed, file.errorString());
        scope.restart();
        plan = parsePlan(file, encoding, systemStyle, size, scope, keep);
    }
    if (plan.status != PlanReadStatus::Loaded)
        return fail(plan.status, plan.detail);

    result.status = PlanReadStatus::Loaded;
    result.recordCount = static_cast<int>(plan.records.size());
    result.fileDateStyle = plan.fileDateStyle;
    result.encoding = encoding;
    store.adoptRecords(std::move(plan.records), std::move(plan.buffer));
    store.editStyle = plan.editStyle;
    store.systemDateStyle = systemStyle;
    store.fileDateStyle = systemStyle;
    store.planEncoding = encoding;
    return result;
}

// --- writing -------------------------------------------------------------------

namespace {

// Builds the file's bytes. Windows-1252 is tried when asked for; a character
// it cannot hold makes the whole file UTF-8.
class PlanEncoder {
public:
    explicit PlanEncoder(bool windows1252)
        : windows1252_(windows1252), utf8_(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless)
    {
    }

    // Appends the text and CR LF. Returns false when the text cannot be
    // written in Windows-1252.
    bool appendLine(QStringView text)
    {
        const qsizetype start = out_.size();
        bool ok = true;
        if (windows1252_) {
            ok = appendWindows1252(text, out_);
        } else {
            out_.resize(start + utf8_.requiredSpace(text.size()));
            char* end = utf8_.appendToBuffer(out_.data() + start, text);
            out_.resize(end - out_.constData());
        }
        // CR and LF inside a value are dropped: in both encodings they are
        // the only characters that give those bytes.
        const char* const added = out_.constData() + start;
        const char* const end = out_.constData() + out_.size();
        if (ok && std::find_if(added, end, [](char c) { return c == '\r' || c == '\n'; }) != end) {
            QByteArray tail = out_.mid(start);
            tail.replace('\r', QByteArrayView()).replace('\n', QByteArrayView());
            out_.resize(start);
            out_.append(tail);
        }
        out_.append("\r\n", 2);
        return ok;
    }

    // Appends the twelve lines of a narrow record whose texts are plain
    // ASCII without line breaks, as they stand; false (and nothing appended)
    // for any other record.
    bool appendAsciiRecord(const PackedRecord& record)
    {
        if (!record.isNarrow())
            return false;
        const QLatin1StringView all = record.allNarrowTexts();
        unsigned char above = 0;
        bool lineBreak = false;
        for (const char c : all) {
            above |= static_cast<unsigned char>(c) & 0x80;
            lineBreak = lineBreak || c == '\r' || c == '\n';
        }
        if (above || lineBreak)
            return false;
        for (int f = 1; f <= Field::Count; ++f) {
            const QLatin1StringView text = record.narrowText(f);
            out_.append(text.data(), text.size());
            out_.append("\r\n", 2);
        }
        return true;
    }

    void reserve(qsizetype bytes) { out_.reserve(bytes); }
    QByteArray bytes() && { return std::move(out_); }

private:
    bool windows1252_;
    QStringEncoder utf8_;
    QByteArray out_;
};

// Follows a chain of symbolic links to the file they end at, which need not
// exist yet. A loop, or a chain too long to be meant, gives the path itself.
QString resolveLinks(const QString& path)
{
    QFileInfo info(QFileInfo(path).absoluteFilePath());
    for (int hops = 0; info.isSymLink(); ++hops) {
        if (hops == 40)
            return path;
        info.setFile(info.symLinkTarget());
    }
    return info.absoluteFilePath();
}

QString systemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// After the rename the folder's entry must reach the disk too, or a power
// cut could bring back the old file, or none.
bool syncFolder(const QString& folder, QString& error)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = systemErrorText(errno);
        return false;
    }
    const int rc = ::fsync(fd);
    const int savedErrno = errno;
    ::close(fd);
    // Some file systems cannot sync a folder and say so; the rename itself
    // has happened.
    if (rc != 0 && savedErrno != EINVAL && savedErrno != EROFS) {
        error = systemErrorText(savedErrno);
        return false;
    }
    return true;
}

} // namespace

PlanWriteResult writePlanFile(const QString& path, const RecordStore& store, ProgressSink* progress)
{
    PlanWriteResult result;
    if (path.isEmpty())
        return result;
    ProgressScope scope(progress);

    const int n = store.recordCount();
    // A field the reader would refuse is not written: the plan on disk stays
    // as it was and the user is told which record to shorten. The fields are
    // measured as they are encoded, before anything goes to the disk.
    int tooLongRecord = 0;
    auto fits = [&tooLongRecord](QStringView text, int r) {
        if (text.size() > kMaxPlanLineBytes / 3 && utf8Length(text) > kMaxPlanLineBytes) {
            tooLongRecord = r;
            return false;
        }
        return true;
    };

    // Encodes the whole plan; false when Windows-1252 was asked for and a
    // character has no place in it, or a field is too long.
    auto encodePlan = [&](bool windows1252, QByteArray& bytes) {
        PlanEncoder encoder(windows1252);
        encoder.reserve(qsizetype(64) + qsizetype(n) * 200);
        bool ok = encoder.appendLine(kPlanFileVersion + (store.editStyle != EditStyle::HomeAndOffice ? QStringLiteral(" 1") : QStringLiteral(" 0")))
                  && encoder.appendLine(store.systemDateStyle);
        for (int r = 1; r <= n && ok; ++r) {
            const RecordView record = store.record(r);
            // A record in plain ASCII is the same bytes in both encodings.
            if (const PackedRecord* packed = record.packedRecord();
                packed && packed->length() <= kMaxPlanLineBytes && encoder.appendAsciiRecord(*packed)) {
                scope.advance();
                continue;
            }
            for (int f = 1; f <= Field::Count && ok; ++f) {
                const QStringView text = record[f];
                ok = fits(text, r) && encoder.appendLine(text);
            }
            scope.advance();
        }
        ok = ok && encoder.appendLine(kPlanEndLine);
        bytes = std::move(encoder).bytes();
        return ok;
    };
    auto tooLong = [&] {
        result.status = PlanWriteStatus::Failed;
        result.errorText = QStringLiteral("Record %1 has a field longer than %2 bytes, more than a plan "
                                          "file can hold. Shorten it and save again.")
                               .arg(tooLongRecord)
                               .arg(kMaxPlanLineBytes);
        return result;
    };

    bool windows1252 = store.planEncoding == kWindows1252Encoding;
    QByteArray bytes;
    // The reader takes a file that is valid UTF-8 as UTF-8, so Windows-1252
    // bytes that happen to form UTF-8 ("Ã©" is C3 A9, which UTF-8 reads as
    // "é") would come back as other text; such a plan is written in UTF-8.
    auto readsAsUtf8 = [](const QByteArray& b) {
        return std::any_of(b.begin(), b.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })
               && isValidUtf8(b);
    };
    if (!encodePlan(windows1252, bytes) || (windows1252 && readsAsUtf8(bytes))) {
        if (tooLongRecord != 0)
            return tooLong();
        windows1252 = false;
        scope.restart();
        if (!encodePlan(false, bytes) && tooLongRecord != 0)
            return tooLong();
    }
    const bool marked = !windows1252 && store.planEncoding == kUtf8BomEncoding;
    if (marked)
        bytes.prepend("\xEF\xBB\xBF");

    const QString target = resolveLinks(path);
    const QFileInfo targetInfo(target);
    const bool replacing = targetInfo.exists();
    const QFileDevice::Permissions permissions = replacing ? targetInfo.permissions() : QFileDevice::Permissions();

    // The new plan goes to a temporary file of our own naming beside the
    // target (so a temporary left by a kill can be recognised and removed
    // later, and no other file ever is), synced, then renamed over it.
    QTemporaryFile file(target + kPlanTemporaryInfix + QStringLiteral("XXXXXX"));
    file.setAutoRemove(true);
    auto failed = [&](const QString& error) {
        result.status = PlanWriteStatus::Failed;
        result.errorText = error;
        return result;
    };
    if (!file.open())
        return failed(file.errorString());
    // The old file's permissions, or for a new one what the user's umask
    // gives any new file.
    if (replacing) {
        if (!file.setPermissions(permissions))
            return failed(file.errorString());
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(file.handle(), 0666 & ~mask) != 0)
            return failed(systemErrorText(errno));
    }

    // Written straight to the descriptor: a write that stops short is
    // followed by one for the rest, which then fails with the reason (disk
    // full, file too large).
    constexpr qsizetype kChunk = 1 << 16;
    const int fd = file.handle();
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + at, static_cast<std::size_t>(std::min(kChunk, bytes.size() - at)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return failed(systemErrorText(written < 0 ? errno : ENOSPC));
        at += static_cast<qsizetype>(written);
    }
    if (::fsync(fd) != 0 && errno != EINVAL)
        return failed(systemErrorText(errno));
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return failed(systemErrorText(errno));
    file.setAutoRemove(false); // it is the plan now
    QString syncError;
    if (!syncFolder(targetInfo.absolutePath(), syncError)) {
        result.unconfirmed = true;
        result.errorText = syncError;
    }
    result.status = PlanWriteStatus::Written;
    result.encoding = windows1252 ? kWindows1252Encoding : marked ? kUtf8BomEncoding : kUtf8Encoding;
    return result;
}

int removePlanTemporaries(const QString& planPath)
{
    const QFileInfo plan(resolveLinks(planPath));
    const QString prefix = plan.fileName() + kPlanTemporaryInfix;
    QDir folder = plan.absoluteDir();
    int removed = 0;
    const QStringList candidates = folder.entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QString& name : candidates) {
        const QStringView suffix = QStringView(name).mid(prefix.size());
        const bool ours = suffix.size() == 6 && std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
                              return c.isLetterOrNumber() && c.unicode() < 128;
                          });
        if (ours && folder.remove(name))
            ++removed;
    }
    return removed;
}

} // namespace zp
