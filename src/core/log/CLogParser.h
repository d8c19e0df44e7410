#pragma once

#include "core/log/LogFields.h"

#include <QString>

#include <functional>
#include <memory>

class MappedLogFile;

// Reads a procmail log: procmail's own abstracts (envelope line, optional subject line, folder
// line) and the longer entries that our recipes write in front of them (recipe name, To and From
// lines). Every other non-empty line is unparsed data with its line number. Entries and unparsed
// lines go to a handler as they are found, so that a reader that prints them needs to keep none.
class CLogParser
{
public:
    // The parts of an entry, in the order of its lines: the envelope part is the sender and the
    // date, the folder part the folder and the size.
    enum Part : unsigned {
        RecipePart = 1,
        ToPart = 2,
        FromPart = 4,
        EnvelopePart = 8,
        SubjectPart = 16,
        FolderPart = 32,
        AllParts = 63
    };

    class Handler
    {
    public:
        virtual ~Handler() = default;
        // The parts of each entry (a set of Part) that Entry needs in `fields`; the envelope
        // and folder lines take the longest to take apart. The other fields may be empty.
        virtual unsigned Parts() const { return AllParts; }
        // An entry whose lines run from `begin` to `end`. Returning false stops the parse.
        virtual bool Entry(const LogFields& fields, const char* begin, const char* end) = 0;
        // A line that belongs to no entry; `number` counts from 1.
        virtual void Unparsed(qint64 number, const char* text, qsizetype length) = 0;
    };

    // `done` runs from 0 to `total` bytes; returning false cancels.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    enum class Ending { Completed, Cancelled, Stopped };

    // Parses `length` bytes at `data`. With `file` (the mapping the bytes belong to), a log that
    // became shorter meanwhile is read up to its new end; `parsed` (when given) gets how many
    // bytes were read.
    static Ending Parse(const char* data, qint64 length, const MappedLogFile* file, Handler& handler,
        const Progress& progress = Progress(), qint64* parsed = nullptr);

    // How to parse a log in pieces, side by side on several threads: `make` gives the handler of
    // a piece (on the thread that parses it), and `take` gets each piece's handler back in file
    // order on the calling thread, with the number of the piece's first line in the file (the
    // handler heard line numbers counted from 1 at the piece's start); it returns false to stop
    // the parse. `progress` hears of each piece taken.
    struct Pieces
    {
        qint64 bytes = 1 << 20; // the size a piece starts at, before it is stretched to a line end
        int threads = 2;
        std::function<std::unique_ptr<Handler>()> make;
        std::function<bool(Handler& handler, qint64 firstLine)> take;
        Progress progress;
    };
    // Entries and unparsed lines reach the pieces' handlers exactly as a handler of the whole log
    // would get them from Parse.
    static Ending ParseInPieces(const char* data, qint64 length, const MappedLogFile* file,
        const Pieces& pieces, qint64* parsed = nullptr);
    // The number of threads worth running here.
    static int Threads();

    // Reads the entry whose first line starts at `begin`, within `end`. Returns the end of its
    // last line (past the line feed), or nullptr when no whole entry starts there.
    static const char* ReadEntry(const char* begin, const char* end, LogFields* fields);

    // Reads only the `parts` (a set of Part) of an entry that the parse found whole: the lines
    // after the last part asked for are not read, and the envelope line is taken apart only when
    // asked for, so that a sort by one column costs a fraction of reading every field. The other
    // fields are left empty.
    static void ReadParts(const char* begin, const char* end, unsigned parts, LogFields* fields);

    // Says that the log at `path` became shorter while it was read: `length` bytes at open, of
    // which `parsed` were read.
    static QString ShrinkError(const QString& path, qint64 length, qint64 parsed);
};
