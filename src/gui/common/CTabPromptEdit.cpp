#include "gui/common/CTabPromptEdit.h"

#include "core/settings/Profile.h"
#include "gui/common/CCheckQuestionDlg.h"
#include "gui/common/Help.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

CTabPromptEdit::CTabPromptEdit(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setTabChangesFocus(false);
}

bool CTabPromptEdit::event(QEvent* event)
{
    // The box sees Tab before the dialog's focus handling does.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier) {
            HandleTab();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void CTabPromptEdit::HandleTab()
{
    const int mode = GetSetting(Settings::RecipeWizEditTab);
    if (mode == 1) {
        insertPlainText(QStringLiteral("\t"));
        return;
    }
    if (mode != 0) {
        focusNextChild();
        return;
    }
    bool remember = false;
    const Prompt::Button answer = CCheckQuestionDlg::Ask(
        QStringLiteral(
            "You have hit the 'tab' key.  The standard windows behavior in this situtation is to move the "
            "focus "
            "to the next control in the dialog, however it's possible that in this instance you want to "
            "insert "
            "a 'tab' character into the edit box.\r\n\r\nWould you like to insert a tab character?"),
        QStringLiteral("Add tab character?"), QStringLiteral("Remember my response, don't ask me next time"),
        &remember, this, QStringLiteral("rWizEditTab.html"), CCheckQuestionDlg::YesNoCancel);
    if (answer == Prompt::Cancel)
        return;
    if (!remember)
        SetSetting(Settings::RecipeWizEditTab, 0);
    else
        SetSetting(Settings::RecipeWizEditTab, answer == Prompt::Yes ? 1 : 2);
    if (answer == Prompt::Yes)
        insertPlainText(QStringLiteral("\t"));
    else
        focusNextChild();
}

void CTabPromptEdit::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const bool selection = textCursor().hasSelection();
    menu.addAction(QStringLiteral("&Undo"), this, &QPlainTextEdit::undo)
        ->setEnabled(document()->isUndoAvailable());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Cu&t"), this, &QPlainTextEdit::cut)
        ->setEnabled(selection && !isReadOnly());
    menu.addAction(QStringLiteral("&Copy"), this, &QPlainTextEdit::copy)->setEnabled(selection);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    menu.addAction(QStringLiteral("&Paste"), this, &QPlainTextEdit::paste)
        ->setEnabled(data && data->hasText());
    menu.addSeparator();
    menu.addAction(QStringLiteral("Insert &Tab"), this, [this] { insertPlainText(QStringLiteral("\t")); });
    QAction* prompt = menu.addAction(QStringLiteral("P&rompt on Tab"), this,
        [] { SetSetting(Settings::RecipeWizEditTab, GetSetting(Settings::RecipeWizEditTab) == 0 ? 2 : 0); });
    prompt->setCheckable(true);
    prompt->setChecked(GetSetting(Settings::RecipeWizEditTab) == 0);
    menu.addSeparator();
    menu.addAction(
        QStringLiteral("&Help"), this, [this] { ShowHelpTopic(this, QStringLiteral("rWizEditTab.html")); });
    const QPoint at
        = event->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5)) : event->globalPos();
    menu.exec(at);
}
