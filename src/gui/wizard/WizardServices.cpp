#include "gui/wizard/WizardServices.h"

#include "core/common/Prompt.h"
#include "core/recipes/ActionChecks.h"
#include "core/settings/Profile.h"
#include "gui/common/CCheckQuestionDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStyle>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>

#include <memory>

namespace WizardServices {

namespace {

    // The colour settings are stored as Windows colour references (red in the low byte), or as
    // 0xFF000000 for "Automatic": then the desktop's own colour of that role, so that an automatic
    // background never turns black behind black text.
    QColor colourSetting(Settings::Key key, const QPalette& palette, QPalette::ColorRole automatic)
    {
        const auto bits = static_cast<quint32>(GetSetting(key));
        if (bits == 0xFF000000u)
            return palette.color(automatic);
        return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
    }

    bool containsAny(const QString& text, QLatin1String characters)
    {
        for (const char c : characters)
            if (text.contains(QLatin1Char(c)))
                return true;
        return false;
    }

    // Yes and Cancel stay; only No goes on. The check box is stored unless the answer is Cancel.
    bool askToGoOn(Settings::Key switchedOff, const QString& text, const QString& checkText,
        const QString& helpTopic, QWidget* page)
    {
        bool off = GetSetting(switchedOff) != 0;
        const Prompt::Button answer = CCheckQuestionDlg::Ask(text, QStringLiteral("Edit your entry?"),
            checkText, &off, page, helpTopic, CCheckQuestionDlg::YesNoCancel);
        if (answer != Prompt::Cancel)
            SetSetting(switchedOff, off ? 1 : 0);
        return answer == Prompt::No;
    }

} // namespace

void FillExplanation(QTextEdit* box, const QStringList& segments)
{
    const QPalette desktop = QApplication::palette(box);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colourSetting(Settings::WizBackgroundColor, desktop, QPalette::Base));
    box->setPalette(palette);
    box->clear();
    QTextCharFormat normal;
    normal.setForeground(colourSetting(Settings::WizTextColor, desktop, QPalette::Text));
    normal.setFontWeight(QFont::Normal);
    QTextCharFormat highlight;
    highlight.setForeground(colourSetting(Settings::WizHighlightColor, desktop, QPalette::Link));
    highlight.setFontWeight(QFont::Bold);
    QTextCursor cursor(box->document());
    for (qsizetype i = 0; i < segments.size(); ++i) {
        QString segment = segments.at(i);
        segment.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        cursor.insertText(segment, i % 2 == 0 ? normal : highlight);
    }
    box->moveCursor(QTextCursor::Start);
}

bool RegexWarningGoOn(const QString& text, bool shortSet, QWidget* page)
{
    if (GetSetting(Settings::NoRegexWarning) != 0)
        return true;
    const QLatin1String characters = shortSet ? QLatin1String(".*[^$\\") : QLatin1String(".*[^$\\|()+?");
    if (!containsAny(text, characters))
        return true;
    return askToGoOn(Settings::NoRegexWarning,
        QStringLiteral(
            "Caution, you appear to be using one or more regular expression characters.  Be careful "
            "about what you are matching.  Be sure to test your recipe before use.  For more "
            "information on regular expressions hit the help button.\n\nWould you like to edit your "
            "entry?"),
        QStringLiteral("Don't warn me when I use regular expression characters."),
        QStringLiteral("rRegEx.html"), page);
}

bool SedWarningGoOn(const QString& text, QWidget* box, QWidget* page)
{
    if (GetSetting(Settings::NoSedRegexWarning) != 0 || !containsAny(text, QLatin1String("'/")))
        return true;
    if (askToGoOn(Settings::NoSedRegexWarning,
            QStringLiteral(
                "Caution, you appear to be using one or more special sed characters.  The single quote "
                "character (') and the slash character (/) can be tricky with sed.  Be sure to test "
                "your recipe before use.  For more information hit the help button.\n\nWould you like "
                "to edit your entry?"),
            QStringLiteral("Don't warn me when I use special sed characters."), QStringLiteral("rSed.html"),
            page))
        return true;
    FocusAndSelect(box);
    return false;
}

void FocusAndSelect(QWidget* box)
{
    box->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->selectAll();
    else if (auto* text = qobject_cast<QTextEdit*>(box))
        text->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
        plain->selectAll();
}

bool RefuseLineBreak(const QString& text, QWidget* box)
{
    if (!ActionChecks::HasLineBreakOrNul(text.toUtf8()))
        return false;
    Prompt::Tell(
        QStringLiteral("This entry contains a line break or a NUL character, which cannot be written "
                       "into a procmail recipe.  Please remove it."),
        QStringLiteral("Invalid character"), Prompt::Information);
    FocusAndSelect(box);
    return true;
}

void UseEntryFont(QWidget* box)
{
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

namespace {

    // The focused text box inside `page`, with what the toolbar may do with it.
    struct FocusedBox
    {
        QWidget* widget = nullptr;
        bool hasSelection = false;
        bool readOnly = true;
    };

    FocusedBox focusedBox(QWidget* page)
    {
        FocusedBox box;
        QWidget* focus = QApplication::focusWidget();
        if (!focus || !page->isAncestorOf(focus))
            return box;
        if (auto* line = qobject_cast<QLineEdit*>(focus)) {
            box = { line, line->hasSelectedText(), line->isReadOnly() };
        } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
            box = { text, text->textCursor().hasSelection(), text->isReadOnly() };
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
            box = { plain, plain->textCursor().hasSelection(), plain->isReadOnly() };
        }
        return box;
    }

} // namespace

QToolBar* CreateEditToolBar(QWidget* page)
{
    auto* bar = new QToolBar(page);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    QStyle* style = page->style();
    const auto addAction
        = [&](const char* theme, QStyle::StandardPixmap fallback, const QString& tip, const char* slot) {
              QAction* action = bar->addAction(
                  QIcon::fromTheme(QLatin1String(theme), style->standardIcon(fallback)), tip);
              QObject::connect(action, &QAction::triggered, page, [page, slot] {
                  if (QWidget* widget = focusedBox(page).widget)
                      QMetaObject::invokeMethod(widget, slot);
              });
              return action;
          };
    QAction* cut = addAction("edit-cut", QStyle::SP_DialogDiscardButton, QStringLiteral("Cut"), "cut");
    QAction* copy = addAction("edit-copy", QStyle::SP_FileDialogDetailedView, QStringLiteral("Copy"), "copy");
    QAction* paste = addAction("edit-paste", QStyle::SP_DialogApplyButton, QStringLiteral("Paste"), "paste");
    QPointer<QToolBar> guard(bar);
    const auto update = [guard, page, cut, copy, paste] {
        if (!guard)
            return;
        const FocusedBox box = focusedBox(page);
        copy->setEnabled(box.widget && box.hasSelection);
        cut->setEnabled(box.widget && box.hasSelection && !box.readOnly);
        paste->setEnabled(box.widget && !box.readOnly && !QApplication::clipboard()->text().isEmpty());
    };
    // The states follow the focus, the focused box's selection and the clipboard.
    auto selection = std::make_shared<QMetaObject::Connection>();
    QObject::connect(
        qApp, &QApplication::focusChanged, bar, [update, page, selection](QWidget*, QWidget* now) {
            QObject::disconnect(*selection);
            if (now && page->isAncestorOf(now)) {
                if (auto* line = qobject_cast<QLineEdit*>(now))
                    *selection = QObject::connect(line, &QLineEdit::selectionChanged, page, update);
                else if (auto* text = qobject_cast<QTextEdit*>(now))
                    *selection = QObject::connect(text, &QTextEdit::selectionChanged, page, update);
                else if (auto* plain = qobject_cast<QPlainTextEdit*>(now))
                    *selection = QObject::connect(plain, &QPlainTextEdit::selectionChanged, page, update);
            }
            update();
        });
    QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged, bar, update);
    update();
    return bar;
}

} // namespace WizardServices
