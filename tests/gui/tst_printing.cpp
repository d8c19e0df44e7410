// Printing to a PDF file, read back with poppler's pdftotext: a text document through File >
// Print with its half-inch margins and every line once, in order; a log as the view shows it
// (the shown columns, the rows in the sort order).
#include "core/log/CLogEntry.h"
#include "gui/common/CommandIds.h"
#include "gui/common/Printing.h"
#include "gui/editor/CZEPHView.h"
#include "gui/log/CLogDisplayView.h"
#include "support/NetTestFixture.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <memory>

namespace {

// pdftotext's output for `pdf` (with -bbox: words with their boxes in points), or a null array.
QByteArray pdfText(const QString& pdf, bool boxes)
{
    QProcess tool;
    QStringList args;
    if (boxes)
        args << QStringLiteral("-bbox");
    else
        args << QStringLiteral("-layout");
    args << pdf << QStringLiteral("-");
    tool.start(QStringLiteral("pdftotext"), args);
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return QByteArray();
    return tool.readAllStandardOutput();
}

int pdfPages(const QString& pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), { pdf });
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return -1;
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                              .match(QString::fromLatin1(tool.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Print"));
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
            "pdftotext is missing: install the Debian package poppler-utils (scripts/install-deps)");
    }
    void init() { m_fixture->Init(); }

    void textDocumentThroughFilePrint()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("text.pdf"));
        QPrinter* printer = Printing::SharedPrinter();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        printer->setPageSize(QPageSize(QPageSize::A4));

        QByteArray text;
        for (int i = 1; i <= 150; ++i)
            text += "Line" + QByteArray::number(1000 + i) + "\n";
        const QString path = m_fixture->Docs() + QStringLiteral("long.txt");
        QVERIFY(WriteTestFile(path, text));
        QString error;
        std::unique_ptr<CZEPHView> view(CZEPHView::OpenFile(path, &error));
        QVERIFY2(view, qPrintable(error));
        QVERIFY(view->IsCommandEnabled(Cmd::Print));
        QVERIFY(view->IsCommandEnabled(Cmd::PrintPreview));
        WhenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        view->RunCommand(Cmd::Print);

        QVERIFY(pdfPages(pdf) >= 2);
        const QByteArray words = pdfText(pdf, true);
        QVERIFY(!words.isEmpty());
        // Every line once, in order.
        const QRegularExpression word(
            QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>(Line\\d+)</word>"));
        QStringList seen;
        double leftmost = 1e9;
        double topmost = 1e9;
        for (auto it = word.globalMatch(QString::fromLatin1(words)); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            seen << match.captured(3);
            leftmost = qMin(leftmost, match.captured(1).toDouble());
            topmost = qMin(topmost, match.captured(2).toDouble());
        }
        QStringList expected;
        for (int i = 1; i <= 150; ++i)
            expected << QStringLiteral("Line%1").arg(1000 + i);
        QCOMPARE(seen, expected);
        // Half an inch is 36 points; the text starts there (a glyph's box may start a little later).
        QVERIFY2(leftmost >= 35 && leftmost < 42, qPrintable(QString::number(leftmost)));
        QVERIFY2(topmost >= 35 && topmost < 50, qPrintable(QString::number(topmost)));
    }

    void logAsShown()
    {
        const QString log = m_fixture->Docs() + QStringLiteral("zeph.log");
        QVERIFY(WriteTestFile(log,
            "From bob@example.org  Mon Mar  5 09:00:00 2007\n Subject: Bravo\n  Folder: spam\t\t12\n"
            "From amy@example.org  Tue Mar  6 09:00:00 2007\n Subject: Alpha\n  Folder: inbox\t\t34\n"
            "From cat@example.org  Wed Mar  7 09:00:00 2007\n Subject: Charlie\n  Folder: work\t\t56\n"));
        CLogDisplayView view;
        view.show();
        QVERIFY(view.OpenLog(log));
        QVERIFY(view.IsCommandEnabled(Cmd::Print));
        // Sorted by subject, the folder column hidden.
        QHeaderView* header = view.List()->horizontalHeader();
        const int subject = CLogEntry::SubjectColumn;
        view.SortByColumn(subject, false, true);
        QCOMPARE(view.List()->model()->index(0, subject).data().toString(), QStringLiteral("Alpha"));
        header->hideSection(CLogEntry::FolderColumn);

        bool cancelled = true;
        const std::unique_ptr<QTextDocument> pages = view.BuildPrintDocument(&cancelled);
        QVERIFY(!cancelled);
        const QString pdf = m_dir.filePath(QStringLiteral("log.pdf"));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        Printing::PrintTextDocument(*pages, &printer);
        const QString text = QString::fromLatin1(pdfText(pdf, false));
        const qsizetype alpha = text.indexOf(QStringLiteral("Alpha"));
        const qsizetype bravo = text.indexOf(QStringLiteral("Bravo"));
        const qsizetype charlie = text.indexOf(QStringLiteral("Charlie"));
        QVERIFY2(alpha >= 0 && alpha < bravo && bravo < charlie, qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Subject")));
        QVERIFY2(!text.contains(QStringLiteral("spam")) && !text.contains(QStringLiteral("inbox")),
            qPrintable(text));
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
