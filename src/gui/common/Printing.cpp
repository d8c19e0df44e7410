#include "gui/common/Printing.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <memory>

namespace Printing {

QPrinter* SharedPrinter()
{
    static std::unique_ptr<QPrinter> printer;
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setPageMargins(QMarginsF(0.5, 0.5, 0.5, 0.5), QPageLayout::Inch);
    }
    return printer.get();
}

void PrintTextDocument(const QTextDocument& document, QPrinter* printer)
{
    // A copy laid out for the page size moves every line that would cross a page's end to the
    // next page. Each page then draws exactly its own lines, so that no line is printed twice
    // (clipping alone would still put a cut line's text into a PDF on both pages).
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->documentLayout()->setPaintDevice(printer);
    copy->setDocumentMargin(0);
    const QSizeF page = printer->pageLayout().paintRectPixels(printer->resolution()).size();
    copy->setPageSize(page);
    QPainter painter(printer);
    if (!painter.isActive())
        return;
    int pages = 1;
    struct Line
    {
        QTextLine line;
        QPointF origin; // the layout's top left in document coordinates
        int page;
    };
    QList<Line> lines;
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        const QPointF origin = copy->documentLayout()->blockBoundingRect(block).topLeft();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const int index = int((origin.y() + line.y()) / page.height());
            lines.append({ line, origin, index });
            pages = std::max(pages, index + 1);
        }
    }
    for (int index = 0; index < pages; ++index) {
        if (index > 0)
            printer->newPage();
        for (const Line& line : std::as_const(lines)) {
            if (line.page == index)
                line.line.draw(&painter, line.origin - QPointF(0, page.height() * index));
        }
    }
}

bool Print(QWidget* parent, const PrintFunction& print)
{
    QPrintDialog dialog(SharedPrinter(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    print(SharedPrinter());
    return true;
}

void Preview(QWidget* parent, const PrintFunction& print)
{
    QPrintPreviewDialog dialog(SharedPrinter(), parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
        [&print](QPrinter* printer) { print(printer); });
    dialog.exec();
}

void Setup(QWidget* parent)
{
    QPageSetupDialog dialog(SharedPrinter(), parent);
    dialog.exec();
}

} // namespace Printing
