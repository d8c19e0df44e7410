#include "gui/common/CFileEditorDlg.h"

#include "core/common/AtomicFile.h"
#include "core/common/Prompt.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CMessageLine.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/FontSetting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringDecoder>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QString TextFilter = QStringLiteral("Text files (*.txt);;All files (*)");
constexpr qint64 MaxFileSize = 10 * 1024 * 1024;
} // namespace

CFileEditorDlg::CFileEditorDlg(QString* savedPath, QWidget* parent, bool wordWrap)
    : CResizingDialog(150, parent, QString(), 1.2)
    , m_newLetter(true)
    , m_savedPath(savedPath)
{
    build(wordWrap);
    m_untitled = 1;
    setWindowTitle(QStringLiteral("Reply letter - [%1]").arg(untitledName()));
}

CFileEditorDlg::CFileEditorDlg(const QString& path, QWidget* parent, bool wordWrap)
    : CResizingDialog(150, parent, QString(), 1.2)
    , m_newLetter(false)
{
    build(wordWrap);
    LoadFile(path);
    m_message->setText(
        QStringLiteral("After you have finished editing the file, from the 'File' menu select 'Save', then "
                       "click the 'Close' button."));
    m_cancel->hide();
    m_ok->setText(QStringLiteral("Close"));
}

QString CFileEditorDlg::untitledName() const
{
    return QStringLiteral("Untitled%1").arg(m_untitled);
}

void CFileEditorDlg::build(bool wordWrap)
{
    auto* layout = new QVBoxLayout(this);
    auto* menu = new QMenuBar(this);
    layout->setMenuBar(menu);
    QMenu* file = menu->addMenu(QStringLiteral("&File"));
    QAction* newAction = file->addAction(QStringLiteral("&New"), this, &CFileEditorDlg::NewText);
    QAction* openAction = file->addAction(QStringLiteral("&Open..."), this, &CFileEditorDlg::OpenFile);
    m_saveAction = file->addAction(QStringLiteral("&Save"), this, [this] { Save(); });
    m_saveAction->setShortcut(QKeySequence::Save);
    file->addAction(QStringLiteral("Save &As..."), this, [this] { SaveAs(); });
    QMenu* edit = menu->addMenu(QStringLiteral("&Edit"));
    m_edit = new QPlainTextEdit(this);
    m_undoAction = edit->addAction(QStringLiteral("&Undo"), m_edit, &QPlainTextEdit::undo);
    m_cutAction = edit->addAction(QStringLiteral("Cu&t"), m_edit, &QPlainTextEdit::cut);
    m_copyAction = edit->addAction(QStringLiteral("&Copy"), m_edit, &QPlainTextEdit::copy);
    m_pasteAction = edit->addAction(QStringLiteral("&Paste"), m_edit, &QPlainTextEdit::paste);
    m_wrapAction = edit->addAction(QStringLiteral("&Word Wrap"), this, &CFileEditorDlg::ToggleWordWrap);
    m_wrapAction->setCheckable(true);
    QMenu* help = menu->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About ZEPH..."), this, [this] {
        Prompt::Tell(QStringLiteral("ZEPH %1").arg(QApplication::applicationVersion()),
            QStringLiteral("About ZEPH"), Prompt::Information);
    });
    auto* toolbar = new QToolBar(this);
    for (QAction* action : { newAction, openAction, m_saveAction })
        toolbar->addAction(action);
    toolbar->addSeparator();
    for (QAction* action : { m_cutAction, m_copyAction, m_pasteAction, m_undoAction })
        toolbar->addAction(action);
    layout->addWidget(toolbar);
    m_message = new CMessageLine(this,
        QStringLiteral("After you have composed your reply message, from the 'File' menu "
                       "select 'Save', then click the 'OK' button."));
    layout->addWidget(m_message);
    QFont font;
    if (LoadFontSetting(Settings::EditorFont, &font))
        m_edit->setFont(font);
    else
        m_edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_edit->setMinimumSize(480, 280);
    layout->addWidget(m_edit, 1);
    auto* row = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    row->addStretch();
    row->addWidget(m_ok);
    row->addWidget(m_cancel);
    row->addStretch();
    layout->addLayout(row);
    connect(m_ok, &QPushButton::clicked, this, &CFileEditorDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CFileEditorDlg::reject);
    m_wordWrap = !wordWrap;
    ToggleWordWrap();
    connect(m_edit->document(), &QTextDocument::modificationChanged, this, &CFileEditorDlg::updateStates);
    connect(m_edit, &QPlainTextEdit::selectionChanged, this, &CFileEditorDlg::updateStates);
    connect(m_edit, &QPlainTextEdit::undoAvailable, this, &CFileEditorDlg::updateStates);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CFileEditorDlg::updateStates);
    m_edit->setFocus();
    m_edit->document()->setModified(false);
    updateStates();
}

void CFileEditorDlg::updateStates()
{
    const bool selection = m_edit->textCursor().hasSelection();
    m_saveAction->setEnabled(m_edit->document()->isModified());
    m_undoAction->setEnabled(m_edit->document()->isUndoAvailable());
    m_cutAction->setEnabled(selection);
    m_copyAction->setEnabled(selection);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    m_pasteAction->setEnabled(data && data->hasText());
    m_wrapAction->setChecked(m_wordWrap);
}

void CFileEditorDlg::ToggleWordWrap()
{
    m_wordWrap = !m_wordWrap;
    m_edit->setLineWrapMode(m_wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    if (m_wrapAction)
        m_wrapAction->setChecked(m_wordWrap);
}

bool CFileEditorDlg::LoadFile(const QString& path)
{
    QFile file(path);
    const QFileInfo info(path);
    QString problem;
    QByteArray bytes;
    if (info.size() > MaxFileSize)
        problem = QStringLiteral("The file is larger than %1 MB.").arg(MaxFileSize / (1024 * 1024));
    else if (!file.open(QIODevice::ReadOnly))
        problem = file.errorString();
    else {
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            problem = file.errorString();
        else if (bytes.contains('\0'))
            problem = QStringLiteral("It is not a text file (it contains NUL bytes).");
    }
    if (!problem.isEmpty()) {
        Prompt::Tell(QStringLiteral("The file %1 could not be opened.  %2").arg(path, problem),
            QStringLiteral("ZEPH"), Prompt::Warning);
        return false;
    }
    m_edit->setPlainText(m_codec.Decode(bytes));
    m_path = info.absoluteFilePath();
    setWindowTitle(m_path);
    m_edit->document()->setModified(false);
    updateStates();
    return true;
}

bool CFileEditorDlg::SaveChangesCheck()
{
    if (!m_edit->document()->isModified())
        return true;
    const Prompt::Button answer = Prompt::Ask(
        QStringLiteral("The text in the %1 file has changed.\n\nDo you  want to save the changes?")
            .arg(m_path.isEmpty() ? untitledName() : m_path),
        QStringLiteral("Save changes to file?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
        Prompt::Yes);
    if (answer == Prompt::Cancel)
        return false;
    if (answer == Prompt::Yes)
        return Save();
    return true;
}

void CFileEditorDlg::NewText()
{
    if (!SaveChangesCheck())
        return;
    ++m_untitled;
    m_path.clear();
    m_edit->clear();
    m_edit->document()->setModified(false);
    setWindowTitle(QStringLiteral("Reply letter - [%1]").arg(untitledName()));
    updateStates();
}

void CFileEditorDlg::OpenFile()
{
    if (!SaveChangesCheck())
        return;
    const QString path = FileDialogs::GetOpenFileName(
        this, QStringLiteral("Open"), Workspace::GetDocumentFolder(), TextFilter);
    if (!path.isEmpty())
        LoadFile(path);
}

bool CFileEditorDlg::writeTo(const QString& path)
{
    const QByteArray bytes = m_codec.Encode(m_edit->toPlainText(), TextFileCodec::IsFileForHost(path));
    QString error;
    if (!SaveFileAtomically(path, bytes, &error)) {
        Prompt::Tell(QStringLiteral("The file %1 could not be saved: %2").arg(path, error),
            QStringLiteral("ZEPH"), Prompt::Stop);
        return false;
    }
    m_lastSaved = path;
    return true;
}

bool CFileEditorDlg::Save()
{
    if (m_path.isEmpty())
        return SaveAs();
    if (!m_edit->document()->isModified())
        return true;
    if (!writeTo(m_path))
        return false;
    m_edit->document()->setModified(false);
    updateStates();
    return true;
}

bool CFileEditorDlg::SaveAs()
{
    const QString path = FileDialogs::GetSaveFileName(this, QStringLiteral("Save As"),
        Workspace::GetDocumentFolder() + QStringLiteral("Untitled.txt"), TextFilter);
    if (path.isEmpty() || !writeTo(path))
        return false;
    m_path = QFileInfo(path).absoluteFilePath();
    setWindowTitle(QStringLiteral("Reply letter - [%1]").arg(m_path));
    m_edit->document()->setModified(false);
    updateStates();
    return true;
}

void CFileEditorDlg::accept()
{
    if (!SaveChangesCheck())
        return;
    if (m_newLetter && m_savedPath)
        *m_savedPath = m_lastSaved;
    CResizingDialog::accept();
}

void CFileEditorDlg::reject()
{
    if (!SaveChangesCheck())
        return;
    if (m_newLetter && m_savedPath)
        m_savedPath->clear();
    CResizingDialog::reject();
}
