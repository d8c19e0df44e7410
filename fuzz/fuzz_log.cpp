// The procmail log parser: a log file is whatever procmail, the user's own recipes and anything
// else that wrote to it left there. Every entry's fields, cells, date text and sort keys are read,
// every column is sorted both ways and a search runs for bytes of the input.
#include "FuzzSupport.h"
#include "core/log/CLogColourRules.h"
#include "core/log/CLogDisplayDoc.h"

#include <QSet>

namespace {

void CheckOrder(const CLogDisplayDoc& doc, qsizetype count)
{
    FuzzSupport::Check(doc.GetEntryCount() == count, "sorting changed the number of entries");
    QSet<const CLogEntry*> entries;
    for (qsizetype i = 0; i < count; ++i)
        entries.insert(&doc.GetEntry(i));
    FuzzSupport::Check(entries.size() == count, "sorting lost or doubled an entry");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray log = FuzzSupport::Bytes(data, size);
    // The first byte picks the date order and the separator, so that every date text form is met.
    static const QString separators[] = { QStringLiteral("/"), QStringLiteral("-"), QString(),
        QStringLiteral("\u00e9"), QStringLiteral("\U0001F600") };
    const int pick = size > 0 ? data[0] : 0;
    CLogDisplayDoc doc;
    doc.SetDateFormat(pick % 3, separators[(pick / 3) % 5]);
    doc.OpenData(log);
    FuzzSupport::Check(doc.ErrorText().isEmpty(), "parsing a log in memory reported an error");

    const qsizetype count = doc.GetEntryCount();
    const qint64 lineCount = log.count('\n') + 1;
    for (qsizetype i = 0; i < count; ++i) {
        const CLogEntry& e = doc.GetEntry(i);
        for (int column = 0; column < CLogEntry::ColumnCount; ++column) {
            doc.CellText(i, column);
            doc.CellText(i, column, 3);
        }
        e.DateSortKey();
        e.SubjectSortKey();
        doc.EntryColour(i);
    }
    for (qsizetype i = 0; i < doc.GetUnparsedCount(); ++i) {
        const qint64 number = doc.GetUnparsedLine(i).number;
        FuzzSupport::Check(number >= 1 && number <= lineCount, "unparsed line number out of range");
    }
    doc.GetUnparsedText();

    CLogColourRules rules;
    rules.SetRules({ { CLogColourRules::Subject, QStringLiteral("a"), 0x00FF0000u },
        { CLogColourRules::Folder, QStringLiteral("\u00e9"), 0x0000FF00u },
        { CLogColourRules::EnvelopeSender, QString::fromLatin1(log.left(2)), 0x000000FFu } });
    doc.SetColourRules(rules);

    for (int column = 0; column < CLogEntry::ColumnCount; ++column) {
        doc.SortEntries(column, true);
        CheckOrder(doc, count);
        doc.SortEntries(column, false);
        CheckOrder(doc, count);
    }

    // A needle of a few input bytes, read both as Latin-1 and as UTF-8.
    const QByteArray needle = log.mid(1, 3);
    for (const QString& text : { QString::fromLatin1(needle), QString::fromUtf8(needle) }) {
        const qsizetype hit = doc.FindEntry(text, 0, false);
        FuzzSupport::Check(hit >= -1 && hit < count, "search result out of range");
        doc.FindEntry(text, count / 2, true);
    }
    return 0;
}
