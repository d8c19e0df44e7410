#include "gui/editor/CZEPHView.h"

#include "core/common/AtomicFile.h"
#include "core/common/Prompt.h"
#include "core/common/RegularFileCheck.h"
#include "core/recipes/CRecipeFile.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CFindReplaceDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/FontSetting.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"
#include "gui/common/Printing.h"
#include "gui/editor/CHardWrapDlg.h"
#include "gui/editor/EditorTextOps.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringDecoder>
#include <QStyle>
#include <QTextBlock>
#include <QThread>
#include <QVBoxLayout>

namespace {

QList<CZEPHView*>& allViews()
{
    static QList<CZEPHView*> views;
    return views;
}

} // namespace

CZEPHView::CZEPHView(QWidget* parent)
    : CDocumentWindow(DocumentKind::Text, parent)
    , m_edit(new QPlainTextEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    setFocusProxy(m_edit);
    SetHelpTopic(this, QStringLiteral("editor.html"));
    m_edit->installEventFilter(this);
    m_edit->viewport()->installEventFilter(this);
    m_edit->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_edit->setTabChangesFocus(false);
    QFont font;
    if (LoadFontSetting(Settings::EditorFont, &font))
        m_edit->setFont(font);
    else
        m_edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    SetWordWrap(GetSetting(Settings::WordWrapOn) != 0);
    connect(m_edit->document(), &QTextDocument::modificationChanged, this, [this] { emit StateChanged(); });
    connect(m_edit, &QPlainTextEdit::selectionChanged, this, [this] { emit StateChanged(); });
    connect(m_edit, &QPlainTextEdit::undoAvailable, this, [this] { emit StateChanged(); });
    connect(m_edit, &QPlainTextEdit::cursorPositionChanged, this, &CZEPHView::updateLineColumn);
    allViews().append(this);
}

CZEPHView::~CZEPHView()
{
    allViews().removeAll(this);
    stopReader();
    if (m_active) {
        if (IShell* shell = Shell()) {
            shell->SetLineColumnText(QString());
            shell->RecipeListBox()->clear();
        }
    }
}

CZEPHView* CZEPHView::NewDocument(int number)
{
    auto* view = new CZEPHView;
    view->m_untitled = QStringLiteral("ZEPH%1").arg(number);
    return view;
}

CZEPHView* CZEPHView::OpenFile(const QString& path, QString* error)
{
    auto* view = new CZEPHView;
    if (!view->load(path, error)) {
        delete view;
        return nullptr;
    }
    return view;
}

bool CZEPHView::load(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("The file %1 does not exist.").arg(path);
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("%1 is a folder, not a file.").arg(path);
        return false;
    }
    // Before anything opens it: opening a named pipe would wait for a writer with the window frozen.
    if (!RegularFileCheck::CanRead(path, QStringLiteral("in the text editor"), error))
        return false;
    if (info.size() > MaxFileSize) {
        *error
            = QStringLiteral("The file %1 is %2 MB large.  The ZEPH editor opens text files of up to %3 MB; "
                             "please use another program for this file.")
                  .arg(path)
                  .arg(double(info.size()) / (1024.0 * 1024.0), 0, 'f', 1)
                  .arg(MaxFileSize / (1024 * 1024));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The file %1 could not be opened: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxFileSize) {
        *error = QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString());
        return false;
    }
    if (bytes.contains('\0')) {
        *error = QStringLiteral(
            "The file %1 does not appear to be a text file (it contains NUL bytes).  ZEPH does not "
            "open it in the text editor, so that nothing in it is changed.")
                     .arg(path);
        return false;
    }
    const QString text = m_codec.Decode(bytes);
    m_path = info.absoluteFilePath();
    m_edit->setPlainText(text);
    m_edit->document()->setModified(false);
    rememberFileState();
    m_namesValid = false;
    emit StateChanged();
    return true;
}

void CZEPHView::rememberFileState()
{
    const QFileInfo info(m_path);
    m_fileTime = info.exists() ? info.lastModified() : QDateTime();
    m_fileSize = info.exists() ? info.size() : -1;
    m_fileMissingAsked = false;
}

QString CZEPHView::Title() const
{
    QString title = m_path.isEmpty() ? m_untitled : QFileInfo(m_path).fileName();
    if (title.size() >= 2 && IsModified())
        title += QStringLiteral(" *");
    return title;
}

bool CZEPHView::IsModified() const
{
    return m_edit->document()->isModified();
}

void CZEPHView::DiscardChanges()
{
    m_edit->document()->setModified(false);
}

QIcon CZEPHView::Icon() const
{
    return style()->standardIcon(QStyle::SP_FileIcon);
}

QByteArray CZEPHView::FileBytes() const
{
    return m_codec.Encode(m_edit->toPlainText(), TextFileCodec::IsFileForHost(m_path));
}

bool CZEPHView::writeTo(const QString& path)
{
    const QByteArray bytes = FileBytes();
    QString error;
    if (!SaveFileAtomically(path, bytes, &error)) {
        Prompt::Tell(
            QStringLiteral("The file %1 could not be saved: %2\n\nYour changes are still in the editor.")
                .arg(path, error),
            QStringLiteral("ZEPH"), Prompt::Stop);
        return false;
    }
    return true;
}

bool CZEPHView::Save()
{
    const QFileInfo info(m_path);
    // A file marked read-only (even one its owner or root could write) is not overwritten.
    const bool readOnly
        = info.exists() && (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner));
    if (m_path.isEmpty() || readOnly)
        return SaveAs();
    if (!writeTo(m_path))
        return false;
    m_edit->document()->setModified(false);
    rememberFileState();
    InvalidateRecipeNames();
    if (m_active)
        fillRecipeList();
    emit StateChanged();
    return true;
}

bool CZEPHView::SaveAs()
{
    QString suggested = Title();
    if (suggested.endsWith(QLatin1String(" *")))
        suggested.chop(2);
    const QString path = FileDialogs::GetSaveFileName(this, QStringLiteral("Save As"),
        Workspace::GetDocumentFolder() + suggested, QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return false;
    if (!writeTo(path))
        return false;
    m_path = QFileInfo(path).absoluteFilePath();
    m_edit->document()->setModified(false);
    rememberFileState();
    InvalidateRecipeNames();
    if (IShell* shell = Shell())
        shell->AddRecentFile(m_path);
    if (m_active)
        fillRecipeList();
    emit StateChanged();
    return true;
}

// --- Commands ------------------------------------------------------------------------------------

const QList<int>& CZEPHView::Commands()
{
    static const QList<int> ids = { Cmd::Save, Cmd::SaveAs, Cmd::Print, Cmd::PrintPreview, Cmd::Undo,
        Cmd::Cut, Cmd::Copy, Cmd::Paste, Cmd::SelectAll, Cmd::Find, Cmd::FindNext, Cmd::Replace,
        Cmd::WordWrap, Cmd::HardLineWrap, Cmd::Comment, Cmd::Uncomment, Cmd::Font };
    return ids;
}

bool CZEPHView::HasCommand(int id) const
{
    return Commands().contains(id);
}

bool CZEPHView::IsCommandEnabled(int id) const
{
    const bool selection = m_edit->textCursor().hasSelection();
    switch (id) {
    case Cmd::Undo:
        return m_edit->document()->isUndoAvailable();
    case Cmd::Cut:
    case Cmd::Copy:
        return selection;
    case Cmd::Comment:
    case Cmd::Uncomment:
        return selection;
    case Cmd::Paste: {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        return data && data->hasText();
    }
    case Cmd::FindNext:
        return true;
    default:
        return true;
    }
}

QString CZEPHView::DisabledTip(int id) const
{
    switch (id) {
    case Cmd::Undo:
        return QStringLiteral("Nothing to undo");
    case Cmd::Cut:
    case Cmd::Copy:
    case Cmd::Comment:
    case Cmd::Uncomment:
        return QStringLiteral("Select some text first");
    case Cmd::Paste:
        return QStringLiteral("Copy some text first");
    default:
        return QString();
    }
}

bool CZEPHView::IsCommandChecked(int id) const
{
    return id == Cmd::WordWrap && m_wordWrap;
}

void CZEPHView::RunCommand(int id)
{
    switch (id) {
    case Cmd::Save:
        Save();
        break;
    case Cmd::SaveAs:
        SaveAs();
        break;
    case Cmd::Print:
        Printing::Print(
            this, [this](QPrinter* printer) { Printing::PrintTextDocument(*m_edit->document(), printer); });
        break;
    case Cmd::PrintPreview:
        Printing::Preview(
            this, [this](QPrinter* printer) { Printing::PrintTextDocument(*m_edit->document(), printer); });
        if (IShell* shell = Shell())
            shell->SetLineColumnText(QString());
        break;
    case Cmd::Undo:
        m_edit->undo();
        break;
    case Cmd::Cut:
        m_edit->cut();
        break;
    case Cmd::Copy:
        m_edit->copy();
        break;
    case Cmd::Paste:
        m_edit->paste();
        break;
    case Cmd::SelectAll:
        m_edit->selectAll();
        break;
    case Cmd::Find:
        showFindDialog(false);
        break;
    case Cmd::Replace:
        showFindDialog(true);
        break;
    case Cmd::FindNext:
        if (m_findText.isEmpty())
            showFindDialog(false);
        else
            find(true);
        break;
    case Cmd::WordWrap:
        SetWordWrap(!m_wordWrap);
        break;
    case Cmd::HardLineWrap:
        askHardLineWrap();
        break;
    case Cmd::Comment:
        CommentSelection();
        break;
    case Cmd::Uncomment:
        UncommentSelection();
        break;
    case Cmd::Font:
        chooseFont();
        break;
    default:
        break;
    }
    emit StateChanged();
}

void CZEPHView::SetWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    m_edit->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

namespace {

// The selection with '\n' line breaks, and whether it starts at a line start.
QString selectedPlainText(const QTextCursor& cursor, bool* atLineStart)
{
    QTextCursor start(cursor.document());
    start.setPosition(cursor.selectionStart());
    *atLineStart = start.atBlockStart();
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

void replaceSelection(QPlainTextEdit* edit, const QString& text)
{
    QTextCursor cursor = edit->textCursor();
    const int start = cursor.selectionStart();
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
    // Keep the changed lines selected, so the command can be undone or repeated on them.
    cursor.setPosition(start);
    cursor.setPosition(start + int(text.size()), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

} // namespace

void CZEPHView::CommentSelection()
{
    if (!m_edit->textCursor().hasSelection())
        return;
    bool atLineStart = false;
    const QString text = selectedPlainText(m_edit->textCursor(), &atLineStart);
    const QString prefix = EditorTextOps::EffectiveCommentString(GetSettingString(Settings::CommentString));
    replaceSelection(m_edit, EditorTextOps::Comment(text, atLineStart, prefix));
}

void CZEPHView::UncommentSelection()
{
    if (!m_edit->textCursor().hasSelection())
        return;
    bool atLineStart = false;
    const QString text = selectedPlainText(m_edit->textCursor(), &atLineStart);
    const QString prefix = EditorTextOps::EffectiveCommentString(GetSettingString(Settings::CommentString));
    replaceSelection(m_edit, EditorTextOps::Uncomment(text, atLineStart, prefix));
}

void CZEPHView::InsertHardLineWrap(int column)
{
    const int caret = m_edit->textCursor().position();
    const QString wrapped = EditorTextOps::HardWrap(m_edit->toPlainText(), column);
    QTextCursor cursor(m_edit->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(wrapped);
    cursor.endEditBlock();
    cursor.setPosition(qMin(caret, m_edit->document()->characterCount() - 1));
    m_edit->setTextCursor(cursor);
}

void CZEPHView::askHardLineWrap()
{
    CHardWrapDlg dialog(GetSetting(Settings::LineWrapColumn), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    SetSetting(Settings::LineWrapColumn, dialog.Column());
    InsertHardLineWrap(dialog.Column());
}

bool CZEPHView::GoToRecipe(const QString& name)
{
    const QString wanted = QStringLiteral("##_ZEPH_RECIPE_BEGIN_##") + name;
    for (QTextBlock block = m_edit->document()->begin(); block.isValid(); block = block.next()) {
        if (block.text() != wanted)
            continue;
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        const int firstVisible = m_edit->verticalScrollBar()->value();
        m_edit->setTextCursor(cursor);
        if (!m_wordWrap && block.blockNumber() > firstVisible + 2)
            m_edit->verticalScrollBar()->setValue(block.blockNumber() - 1);
        m_edit->ensureCursorVisible();
        return true;
    }
    return false;
}

void CZEPHView::chooseFont()
{
    bool ok = false;
    QFont initial = m_edit->font();
    LoadFontSetting(Settings::EditorFont, &initial);
    const QFont font = QFontDialog::getFont(&ok, initial, this, QStringLiteral("Font"));
    if (!ok)
        return;
    StoreFontSetting(Settings::EditorFont, font);
    ApplyFontToAll();
}

void CZEPHView::ApplyFontToAll()
{
    QFont font;
    if (!LoadFontSetting(Settings::EditorFont, &font))
        return;
    for (CZEPHView* view : std::as_const(allViews()))
        view->m_edit->setFont(font);
}

// --- Find ----------------------------------------------------------------------------------------

void CZEPHView::showFindDialog(bool replace)
{
    if (m_findDialog)
        m_findDialog->close();
    QString initial = m_edit->textCursor().selectedText();
    if (initial.isEmpty() || initial.contains(QChar::ParagraphSeparator))
        initial = m_findText;
    auto* dialog = new CFindReplaceDlg(replace, initial, this);
    m_findDialog = dialog;
    connect(dialog, &CFindReplaceDlg::FindNext, this, [this, dialog] {
        m_findText = dialog->FindText();
        m_findCase = dialog->MatchCase();
        m_findWord = dialog->WholeWord();
        find(dialog->SearchDown());
    });
    connect(dialog, &CFindReplaceDlg::ReplaceOne, this, [this, dialog] {
        m_findText = dialog->FindText();
        m_findCase = dialog->MatchCase();
        m_findWord = dialog->WholeWord();
        QTextCursor cursor = m_edit->textCursor();
        const Qt::CaseSensitivity cs = m_findCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        if (cursor.hasSelection() && cursor.selectedText().compare(m_findText, cs) == 0)
            cursor.insertText(dialog->ReplaceText());
        find(true);
    });
    connect(dialog, &CFindReplaceDlg::ReplaceAll, this, [this, dialog] {
        m_findText = dialog->FindText();
        m_findCase = dialog->MatchCase();
        m_findWord = dialog->WholeWord();
        QTextDocument::FindFlags flags;
        if (m_findCase)
            flags |= QTextDocument::FindCaseSensitively;
        if (m_findWord)
            flags |= QTextDocument::FindWholeWords;
        QTextCursor edit(m_edit->document());
        edit.beginEditBlock();
        QTextCursor found = m_edit->document()->find(m_findText, 0, flags);
        while (!found.isNull()) {
            found.insertText(dialog->ReplaceText());
            found = m_edit->document()->find(m_findText, found.position(), flags);
        }
        edit.endEditBlock();
    });
    dialog->show();
}

void CZEPHView::find(bool forward)
{
    QTextDocument::FindFlags flags;
    if (m_findCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (m_findWord)
        flags |= QTextDocument::FindWholeWords;
    if (!forward)
        flags |= QTextDocument::FindBackward;
    if (!m_edit->find(m_findText, flags)) {
        Prompt::Tell(QStringLiteral("Finished searching for the string \"%1\".").arg(m_findText),
            QStringLiteral("Finished searching"), Prompt::Information);
    }
}

// --- Activation, outside changes -----------------------------------------------------------------

void CZEPHView::Activated()
{
    m_active = true;
    updateLineColumn();
    CheckOutsideChange();
    fillRecipeList();
    if (IShell* shell = Shell()) {
        QComboBox* list = shell->RecipeListBox();
        disconnect(list, nullptr, this, nullptr);
        connect(list, &QComboBox::activated, this, &CZEPHView::recipeChosen);
    }
}

void CZEPHView::Deactivated()
{
    m_active = false;
    if (IShell* shell = Shell()) {
        QComboBox* list = shell->RecipeListBox();
        if (list->count() > 0)
            m_savedIndex = list->currentIndex();
        disconnect(list, nullptr, this, nullptr);
        list->clear();
        shell->SetLineColumnText(QString());
    }
}

void CZEPHView::CheckOutsideChange()
{
    if (m_path.isEmpty() || m_checking)
        return;
    m_checking = true;
    const QFileInfo info(m_path);
    if (!info.exists()) {
        if (!m_fileMissingAsked) {
            // Asked once per change: the stored state is updated before the question.
            m_fileMissingAsked = true;
            m_fileTime = QDateTime();
            m_fileSize = -1;
            const Prompt::Button answer
                = Prompt::Ask(QStringLiteral("The file %1 has been deleted or is no longer available.  Do "
                                             "you want to keep the file open?")
                                  .arg(m_path),
                    QStringLiteral("File deleted!"), Prompt::Question, Prompt::Yes | Prompt::No, Prompt::Yes);
            if (answer == Prompt::No) {
                DiscardChanges();
                m_checking = false;
                if (IShell* shell = Shell())
                    shell->CloseDocument(this);
                return;
            }
            // Kept open: the text is now the only copy, so it counts as unsaved.
            m_edit->document()->setModified(true);
        }
        m_checking = false;
        return;
    }
    if (info.lastModified() == m_fileTime && info.size() == m_fileSize) {
        m_checking = false;
        return;
    }
    m_fileTime = info.lastModified();
    m_fileSize = info.size();
    m_fileMissingAsked = false;
    Prompt::Button answer = Prompt::Ask(
        QStringLiteral("The file %1 has been modified on disk.  Do you want to load this new version?")
            .arg(m_path),
        QStringLiteral("File changed!"), Prompt::Question, Prompt::Yes | Prompt::No, Prompt::Yes);
    if (answer == Prompt::Yes && IsModified()) {
        answer = Prompt::Ask(
            QStringLiteral("The document %1 has unsaved changes that loading the new version will "
                           "discard.\n\nLoad the new version anyway?")
                .arg(QFileInfo(m_path).fileName()),
            QStringLiteral("File changed!"), Prompt::Question, Prompt::Yes | Prompt::No, Prompt::No);
    }
    if (answer == Prompt::Yes) {
        QString error;
        const QString path = m_path;
        if (!load(path, &error))
            Prompt::Tell(error, QStringLiteral("File changed!"), Prompt::Warning);
        InvalidateRecipeNames();
        if (m_active)
            fillRecipeList();
    }
    m_checking = false;
    emit StateChanged();
}

void CZEPHView::updateLineColumn()
{
    if (!m_active)
        return;
    IShell* shell = Shell();
    if (!shell)
        return;
    const QTextCursor cursor = m_edit->textCursor();
    QTextCursor start(m_edit->document());
    start.setPosition(cursor.selectionStart());
    shell->SetLineColumnText(
        QStringLiteral("Ln %1, Col %2").arg(start.blockNumber() + 1).arg(start.positionInBlock() + 1));
}

bool CZEPHView::eventFilter(QObject* watched, QEvent* event)
{
    // The plain text edit gets the right button's event through its viewport.
    if ((watched == m_edit || watched == m_edit->viewport()) && event->type() == QEvent::ContextMenu) {
        IShell* shell = Shell();
        if (!shell)
            return false;
        shell->UpdateCommandStates();
        QMenu menu(this);
        for (int id : { int(Cmd::Undo), 0, int(Cmd::Cut), int(Cmd::Copy), int(Cmd::Paste),
                 int(Cmd::SelectAll), 0, int(Cmd::Find), int(Cmd::FindNext), int(Cmd::Replace), 0,
                 int(Cmd::Comment), int(Cmd::Uncomment), 0, int(Cmd::WordWrap), int(Cmd::Font),
                 int(Cmd::HardLineWrap), 0, int(Cmd::PrintPreview) }) {
            if (id == 0)
                menu.addSeparator();
            else
                menu.addAction(shell->CommandAction(id));
        }
        menu.exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (watched == m_edit && event->type() == QEvent::FocusIn && Shell())
        Shell()->UpdateCommandStates();
    return CDocumentWindow::eventFilter(watched, event);
}

// --- Recipe list ---------------------------------------------------------------------------------

void CZEPHView::InvalidateRecipeNames()
{
    m_namesValid = false;
}

void CZEPHView::InvalidateAllRecipeNames()
{
    for (CZEPHView* view : std::as_const(allViews())) {
        view->InvalidateRecipeNames();
        if (view->m_active)
            view->fillRecipeList();
    }
}

void CZEPHView::fillRecipeList()
{
    IShell* shell = Shell();
    if (!shell || !m_active)
        return;
    QComboBox* list = shell->RecipeListBox();
    list->clear();
    if (!m_path.endsWith(QLatin1String(".recipes")))
        return;
    if (m_namesValid && !m_reader) {
        list->addItems(m_recipeNames);
        if (m_savedIndex >= 0 && m_savedIndex < list->count())
            list->setCurrentIndex(m_savedIndex);
        else
            list->setCurrentIndex(-1);
        return;
    }
    startReader();
}

void CZEPHView::startReader()
{
    if (m_reader || m_path.isEmpty())
        return;
    auto stop = std::make_shared<std::atomic_bool>(false);
    auto names = std::make_shared<QStringList>();
    auto ok = std::make_shared<bool>(false);
    const QString path = m_path;
    const bool alphabetical = GetSetting(Settings::ToolbarComboAlphabetical) == 1;
    m_stopReader = stop;
    m_reader = QThread::create([path, stop, names, ok, alphabetical] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        QByteArray bytes;
        while (!file.atEnd() && !*stop) {
            const QByteArray chunk = file.read(1 << 20);
            if (chunk.isEmpty() && file.error() != QFileDevice::NoError)
                return;
            bytes += chunk;
        }
        if (*stop)
            return;
        const QList<QByteArray> found
            = CRecipeFile::ReadRecipeNames(std::move(bytes), [stop] { return stop->load(); });
        if (*stop)
            return;
        for (const QByteArray& name : found)
            names->append(QString::fromUtf8(name));
        if (alphabetical)
            names->sort(Qt::CaseInsensitive);
        *ok = true;
    });
    connect(m_reader, &QThread::finished, this, [this, names, ok, stop] {
        m_reader->deleteLater();
        m_reader = nullptr;
        if (*stop)
            return;
        m_recipeNames = *ok ? *names : QStringList();
        m_namesValid = *ok;
        if (m_active)
            fillRecipeList();
        emit RecipeNamesRead();
    });
    m_reader->start();
}

void CZEPHView::stopReader()
{
    if (!m_reader)
        return;
    *m_stopReader = true;
    m_reader->wait();
    delete m_reader;
    m_reader = nullptr;
}

void CZEPHView::recipeChosen(int index)
{
    IShell* shell = Shell();
    if (!shell || index < 0)
        return;
    m_savedIndex = index;
    if (!GoToRecipe(shell->RecipeListBox()->itemText(index)))
        QApplication::beep();
    m_edit->setFocus();
}

void CZEPHView::ApplyRecipeListSize(QComboBox* list)
{
    auto percent = [](Settings::Key setting) {
        const int value = GetSetting(setting);
        return value < 10 || value > 400 ? 100 : value;
    };
    list->setFixedWidth(150 * percent(Settings::ToolbarComboWidth) / 100);
    list->view()->setMinimumHeight(250 * percent(Settings::ToolbarComboLength) / 100);
}

void CZEPHView::InstallRecipeListMenu(QComboBox* list)
{
    ApplyRecipeListSize(list);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list, &QComboBox::customContextMenuRequested, list, [list](const QPoint& at) {
        QMenu menu(list);
        QMenu* sort = menu.addMenu(QStringLiteral("&Sort"));
        const int alphabetical = GetSetting(Settings::ToolbarComboAlphabetical);
        QAction* byName = sort->addAction(QStringLiteral("Alphabetically"));
        QAction* inOrder = sort->addAction(QStringLiteral("First To Last "));
        byName->setCheckable(true);
        inOrder->setCheckable(true);
        byName->setChecked(alphabetical == 1);
        inOrder->setChecked(alphabetical != 1);
        auto percentMenu = [&menu](const QString& title, Settings::Key setting) {
            QMenu* sub = menu.addMenu(title);
            int current = GetSetting(setting);
            if (current != 50 && current != 150 && current != 200)
                current = 100;
            for (int percent : { 50, 100, 150, 200 }) {
                QAction* action = sub->addAction(QStringLiteral("%1%").arg(percent));
                action->setCheckable(true);
                action->setChecked(percent == current);
                action->setData(percent);
            }
            return sub;
        };
        QMenu* width = percentMenu(QStringLiteral("&Width"), Settings::ToolbarComboWidth);
        QMenu* length = percentMenu(QStringLiteral("&Length"), Settings::ToolbarComboLength);
        QAction* chosen = menu.exec(list->mapToGlobal(at));
        if (!chosen)
            return;
        if (chosen == byName || chosen == inOrder) {
            SetSetting(Settings::ToolbarComboAlphabetical, chosen == byName ? 1 : 0);
            InvalidateAllRecipeNames();
        } else if (chosen->parent() == width || chosen->parent() == length) {
            SetSetting(chosen->parent() == width ? Settings::ToolbarComboWidth : Settings::ToolbarComboLength,
                chosen->data().toInt());
            ApplyRecipeListSize(list);
        }
    });
}
