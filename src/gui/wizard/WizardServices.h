#pragma once

#include <QString>
#include <QStringList>

class QTextEdit;
class QToolBar;
class QWidget;

// What every page of the Recipe Wizard shares: the explanation pane, the warnings about
// characters that procmail or sed read specially, the entry font and the page toolbar.
namespace WizardServices {

// Fills a rich-text box from segments: even ones in the normal style and the text colour, odd ones
// bold in the highlight colour, on the background colour (the three wizard colour settings). A
// caller that needs two segments of one style puts an empty one between them. The caret goes to
// the start.
void FillExplanation(QTextEdit* box, const QStringList& segments);

// The regular-expression warning for `text`: true to go on, false to stay on the page. With
// shortSet only . * [ ^ $ \ count, otherwise also | ( ) + ?. Silent when the text has none of them
// or the user switched the warning off.
bool RegexWarningGoOn(const QString& text, bool shortSet, QWidget* page);

// The same for texts that end up in sed commands (the quote and the slash). On staying, `box`
// gets the focus with all its text selected.
bool SedWarningGoOn(const QString& text, QWidget* box, QWidget* page);

// Puts the focus in a line or text box and selects all its text.
void FocusAndSelect(QWidget* box);

// Single-line values go into one procmail line: a CR, LF or NUL would add lines of its own. Tells
// the user, focuses `box` with its text selected and returns true when `text` holds one.
bool RefuseLineBreak(const QString& text, QWidget* box);

// The system's fixed-pitch font, for every box in which procmail material is typed.
void UseEntryFont(QWidget* box);

// A flat toolbar with Cut, Copy and Paste that act on the focused text box of `page` and follow
// its selection, read-only state and the clipboard. The caller puts it at the top of its layout.
QToolBar* CreateEditToolBar(QWidget* page);

} // namespace WizardServices
