// Listing lines as real servers send them (vsftpd, pyftpdlib, GNU ls behind other daemons, the
// DOS style of Windows servers), each with what the parser makes of it. A line no dialect
// explains must come back as unparsed, never as a guessed entry.
#include "core/net/CFtpListing.h"

#include <QTest>

class TestFtpListing : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void wholeListing();
    void permissionValue_data();
    void permissionValue();
};

void TestFtpListing::lines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("kind");
    // type, permissions, size, name, link target: only for entries
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("permissions");
    QTest::addColumn<QByteArray>("size");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("target");
    const int entry = int(CFtpListing::LineKind::Entry);
    const int ignored = int(CFtpListing::LineKind::Ignored);
    const int unparsed = int(CFtpListing::LineKind::Unparsed);
    auto row = [](const char* title, const QByteArray& line, int kind, const QByteArray& type = {},
                   const QByteArray& permissions = {}, const QByteArray& size = {},
                   const QByteArray& name = {}, const QByteArray& target = {}) {
        QTest::newRow(title) << line << kind << type << permissions << size << name << target;
    };

    // Unix "ls -l": the time within the last six months, the year before.
    row("vsftpd, file with a time", "-rw-r--r--    1 1000     1000          612 Mar 05 09:04 zeph.recipes\r",
        entry, "-", "rw-r--r--", "612", "zeph.recipes");
    row("vsftpd, directory with a year", "drwxr-xr-x    2 1000     1000         4096 Oct 12  2019 Mail\r",
        entry, "d", "rwxr-xr-x", "4096", "Mail");
    row("pyftpdlib, file", "-rw-r--r--   1 zeph     zeph          204 Dec 31 23:59 .procmailrc\r", entry, "-",
        "rw-r--r--", "204", ".procmailrc");
    row("GNU ls, year padded like a time", "-rw-r--r-- 1 bob staff 120 Jan  1  2020 old.txt", entry, "-",
        "rw-r--r--", "120", "old.txt");
    row("total line", "total 24\r", ignored);
    row("the directory itself", "drwxr-xr-x    5 1000     1000         4096 Mar 05 09:04 .\r", ignored);
    row("the parent", "drwxr-xr-x    3 0        0            4096 Jan 01  2020 ..\r", ignored);
    row("empty line", "\r", ignored);
    row("symbolic link", "lrwxrwxrwx    1 0        0              11 Mar 05 09:04 www -> public_html\r",
        entry, "l", "rwxrwxrwx", "11", "www", "public_html");
    row("link with blanks on both sides", "lrwxrwxrwx 1 bob staff 24 Feb 29  2024 my link -> /home/bob/a b",
        entry, "l", "rwxrwxrwx", "24", "my link", "/home/bob/a b");
    row("link without a target", "lrwxrwxrwx 1 bob staff 3 Jan  1 12:00 broken", unparsed);
    // Found by fuzzing: an arrow with nothing after it.
    row("link with an empty target", "lrwxrwxrwx 1 bob staff 3 Jan  1 12:00 www -> ", unparsed);
    row("character device", "crw-rw-rw-    1 0        0          1,   3 Jan 01  2020 null", ignored);
    row("block device", "brw-rw----    1 0        6          8,   0 Jan 01  2020 sda", ignored);
    row("named pipe", "prw-r--r--    1 bob      staff           0 Mar  5 09:04 fifo", ignored);
    row("socket", "srwxr-xr-x    1 bob      staff           0 Mar  5 09:04 agent.sock", ignored);
    row("blanks inside the name",
        "-rw-r--r--    1 1000     1000           10 Mar 05 09:04 name with  spaces\r", entry, "-",
        "rw-r--r--", "10", "name with  spaces");
    row("leading blanks in the name",
        "-rw-r--r--    1 1000     1000           10 Mar 05 09:04   two leading\r", entry, "-", "rw-r--r--",
        "10", "  two leading");
    row("trailing blank in the name", "-rw-r--r-- 1 bob staff 10 Mar  5 09:04 trailing \r", entry, "-",
        "rw-r--r--", "10", "trailing ");
    row("a file whose name holds an arrow", "-rw-r--r-- 1 bob staff 5 Mar  5 09:04 a -> b", entry, "-",
        "rw-r--r--", "5", "a -> b");
    row("size over 4 GB", "-rw-r--r--    1 1000     1000     5368709120 Mar 05 09:04 big.iso\r", entry, "-",
        "rw-r--r--", "5368709120", "big.iso");
    row("no group column", "-rw-r--r--   1 owner      1234 Mar  5 09:04 nogroup.txt", entry, "-", "rw-r--r--",
        "1234", "nogroup.txt");
    row("numeric owner and group", "-rw-------   1 1000 1000 0 Jan  1  1970 empty", entry, "-", "rw-------",
        "0", "empty");
    row("ACL mark after the permissions", "-rw-r--r--+ 1 bob staff 10 Mar  5 09:04 acl.txt", entry, "-",
        "rw-r--r--", "10", "acl.txt");
    row("sticky directory", "drwxrwxrwt   10 0        0            4096 Mar  5 09:04 tmp", entry, "d",
        "rwxrwxrwt", "4096", "tmp");
    row("Unix style from a Windows server",
        "-r--r--r--   1 owner    group          1803 Jun 26  2012 Web.config\r", entry, "-", "r--r--r--",
        "1803", "Web.config");
    row("month in another language, UTF-8 name",
        "-rw-r--r-- 1 bob staff 10 M\xc3\xa4r  5 09:04 Gr\xc3\xbc\xc3\x9f\x65.txt", entry, "-", "rw-r--r--",
        "10", "Gr\xc3\xbc\xc3\x9f\x65.txt");
    row("a name that is a date", "-rw-r--r-- 1 bob staff 7 Mar  5 09:04 2 Feb 3 2020", entry, "-",
        "rw-r--r--", "7", "2 Feb 3 2020");
    row("too few fields", "-rw-r--r-- 1 u g 10 short", unparsed);
    row("nothing after the time", "-rw-r--r-- 1 bob staff 10 Mar  5 09:04 ", unparsed);

    // DOS style: no permissions; "<DIR>" in place of a size.
    row("DOS file, AM", "01-15-21  10:30AM                 1234 report.txt\r", entry, "-", "", "1234",
        "report.txt");
    row("DOS directory, PM", "12-31-20  11:59PM       <DIR>          Old Stuff\r", entry, "d", "", "",
        "Old Stuff");
    row("DOS, four-digit year and 24 hours", "03-05-2007  21:15                  612 zeph.log", entry, "-",
        "", "612", "zeph.log");
    row("DOS, over 4 GB", "03-05-2007  09:04AM           6442450944 disk.img\r", entry, "-", "", "6442450944",
        "disk.img");
    row("DOS, the directory itself", "03-05-2007  09:04AM       <DIR>          .\r", ignored);
    row("DOS, month 13", "13-05-21  10:30AM                   12 x.txt", unparsed);

    // Other dialects and stray text.
    row("EPLF", "+i8388621.48594,m825718503,r,s280,\tdjb.html\r", unparsed);
    row("a server message", "550 No files found.\r", unparsed);
    row("VMS", "CII-MANUAL.TEX;1  213/216  29-JAN-1996 03:33:12  [ANONYMOU,ANONYMOUS]   (RWED,RWED,,)",
        unparsed);
}

void TestFtpListing::lines()
{
    QFETCH(QByteArray, line);
    QFETCH(int, kind);
    CFtpListEntry parsed;
    parsed.name = "untouched";
    QCOMPARE(int(CFtpListing::ClassifyLine(line, &parsed)), kind);
    if (kind != int(CFtpListing::LineKind::Entry)) {
        QCOMPARE(parsed.name, QByteArray("untouched"));
        return;
    }
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, permissions);
    QFETCH(QByteArray, size);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, target);
    QCOMPARE(QByteArray(1, parsed.type), type);
    QCOMPARE(parsed.permissions, permissions);
    QCOMPARE(parsed.size, size);
    QCOMPARE(parsed.name, name);
    QCOMPARE(parsed.linkTarget, target);
}

// The whole reply keeps entries and unparsed lines in their order; a stop from the progress
// callback keeps what was read until then.
void TestFtpListing::wholeListing()
{
    const QList<QByteArray> lines = {
        "total 8\r",
        "drwxr-xr-x 2 u g 4096 Mar  5 09:04 Mail\r",
        "something odd\r",
        "-rw-r--r-- 1 u g 10 Mar  5 09:04 a.txt\r",
        "12-31-20  11:59PM       <DIR>          Old Stuff\r",
        "another odd line\r",
    };
    const CFtpListingResult all = CFtpListing::ParseAll(lines);
    QCOMPARE(all.entries.size(), 3);
    QCOMPARE(all.entries[0].name, QByteArray("Mail"));
    QCOMPARE(all.entries[1].name, QByteArray("a.txt"));
    QCOMPARE(all.entries[2].name, QByteArray("Old Stuff"));
    QCOMPARE(all.unparsed, QList<QByteArray>({ "something odd\r", "another odd line\r" }));

    QList<qsizetype> asked;
    const CFtpListingResult part = CFtpListing::ParseAll(lines, [&asked](qsizetype done) {
        asked.append(done);
        return done < 3;
    });
    QCOMPARE(asked, QList<qsizetype>({ 0, 1, 2, 3 }));
    QCOMPARE(part.entries.size(), 1);
    QCOMPARE(part.unparsed, QList<QByteArray>({ "something odd\r" }));
}

// The listed mode is where the permissions dialog starts; the set-id and sticky letters carry
// the execute bit only in lower case.
void TestFtpListing::permissionValue_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QByteArray("rwxr-xr-x") << 755;
    QTest::newRow("nothing") << QByteArray("---------") << 0;
    QTest::newRow("set-id and sticky with execute") << QByteArray("rwsr-sr-t") << 755;
    QTest::newRow("set-id and sticky without execute") << QByteArray("rwSr-Sr-T") << 644;
    QTest::newRow("DOS style has none") << QByteArray() << -1;
    QTest::newRow("too short") << QByteArray("rw-r--r-") << -1;
    QTest::newRow("a letter out of place") << QByteArray("rw-r--r-q") << -1;
    QTest::newRow("write where read belongs") << QByteArray("ww-r--r--") << -1;
}

void TestFtpListing::permissionValue()
{
    QFETCH(QByteArray, text);
    QFETCH(int, value);
    QCOMPARE(CFtpListing::PermissionValue(text), value);
}

QTEST_GUILESS_MAIN(TestFtpListing)
#include "tst_ftplisting.moc"
