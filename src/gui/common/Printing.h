#pragma once

#include <functional>

class QPrinter;
class QTextDocument;
class QWidget;

// Printing for every document: one printer for the whole program (File > Print Setup chooses
// it), pages with half-inch margins on all four sides.
namespace Printing {

// The program's printer, made on first use with half-inch margins.
QPrinter* SharedPrinter();

// Lays `document` out on the printer's pages (inside the margins) and prints every page. The
// document is not changed: a copy is laid out.
void PrintTextDocument(const QTextDocument& document, QPrinter* printer);

using PrintFunction = std::function<void(QPrinter*)>;
// File > Print: the print dialog, then `print`; false when the user cancelled.
bool Print(QWidget* parent, const PrintFunction& print);
// File > Print Preview.
void Preview(QWidget* parent, const PrintFunction& print);
// File > Print Setup: the page setup dialog for the shared printer.
void Setup(QWidget* parent);

} // namespace Printing
