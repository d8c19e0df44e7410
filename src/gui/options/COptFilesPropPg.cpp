#include "gui/options/COptFilesPropPg.h"

#include "core/common/Prompt.h"
#include "core/net/CFtpClient.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CPermissionsDlg.h"
#include "gui/common/FileDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// A row of the start-up files. It takes no drops: a row dropped onto it would become its child
// and drop out of the list.
void addRow(QTreeWidget* list, const QString& path)
{
    auto* item = new QTreeWidgetItem(list, { path });
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled);
}

void tellNothingSelected(const QString& text)
{
    Prompt::Tell(text, QStringLiteral("Nothing selected"), Prompt::Information);
}

// A sunken field that shows a path as plain text ("&" is no mnemonic), cut at its end with an
// ellipsis when it is wider than the field.
class PathField : public QLabel
{
public:
    explicit PathField(QWidget* parent)
        : QLabel(parent)
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setTextFormat(Qt::PlainText);
        setMinimumWidth(120);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }
    void SetPath(const QString& path)
    {
        m_path = path;
        setToolTip(path);
        refresh();
    }
    QString Path() const { return m_path; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        refresh();
    }

private:
    void refresh()
    {
        setText(fontMetrics().elidedText(m_path, Qt::ElideRight, qMax(0, contentsRect().width() - 4)));
    }
    QString m_path;
};

} // namespace

COptFilesPropPg::COptFilesPropPg(QWidget* parent)
    : QWidget(parent)
    , m_list(new QTreeWidget(this))
    , m_tempFile(new QCheckBox(QStringLiteral("Use a temporary file when uploading"), this))
    , m_chmod(new QCheckBox(this))
    , m_blankDocument(new QCheckBox(QStringLiteral("&Open blank document at startup"), this))
    , m_wordWrap(new QCheckBox(QStringLiteral("&Word wrap files by default"), this))
    , m_folderField(new PathField(this))
    , m_add(new QPushButton(QStringLiteral("&Add"), this))
    , m_delete(new QPushButton(QStringLiteral("&Delete"), this))
    , m_up(new QPushButton(QStringLiteral("Move &Up"), this))
    , m_down(new QPushButton(QStringLiteral("Move D&own"), this))
    , m_modify(new QPushButton(QStringLiteral("Modify...."), this))
    , m_select(new QPushButton(QStringLiteral("Select...."), this))
{
    m_list->setHeaderLabels({ QStringLiteral("File name") });
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Rows move by dragging them inside the list; they never become children of another row.
    m_list->setDragDropMode(QAbstractItemView::InternalMove);
    m_list->setDefaultDropAction(Qt::MoveAction);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : { m_add, m_delete, m_up, m_down }) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* uploading = new QGroupBox(QStringLiteral("Uploading Files"), this);
    auto* uploadLayout = new QVBoxLayout(uploading);
    uploadLayout->addWidget(m_tempFile);
    auto* chmodRow = new QHBoxLayout;
    chmodRow->addWidget(m_chmod, 1);
    chmodRow->addWidget(m_modify);
    uploadLayout->addLayout(chmodRow);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("Document Folder:"), this));
    folderRow->addWidget(m_folderField, 1);
    folderRow->addWidget(m_select);
    m_modify->setAutoDefault(false);
    m_select->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter Files you want opened at startup."), this));
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);
    layout->addWidget(uploading);
    layout->addWidget(m_blankDocument);
    layout->addWidget(m_wordWrap);
    layout->addLayout(folderRow);

    m_tempFile->setChecked(GetSetting(Settings::UploadWithTempFile) != 0);
    m_chmod->setChecked(GetSetting(Settings::ChmodOnUpload) != 0);
    m_blankDocument->setChecked(GetSetting(Settings::NewDocumentAtStartup) != 0);
    m_wordWrap->setChecked(GetSetting(Settings::WordWrapOn) != 0);
    updateChmodText();
    m_folderAtOpening = Workspace::GetDocumentFolder();
    showFolder(m_folderAtOpening);
    for (const QString& path : GetSettingStringArray(Settings::StartFiles))
        addRow(m_list, path);
    m_list->resizeColumnToContents(0);

    connect(m_add, &QPushButton::clicked, this, &COptFilesPropPg::addFile);
    connect(m_delete, &QPushButton::clicked, this, &COptFilesPropPg::deleteFile);
    connect(m_up, &QPushButton::clicked, this, [this] { move(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { move(1); });
    connect(m_modify, &QPushButton::clicked, this, &COptFilesPropPg::modifyPermissions);
    connect(m_select, &QPushButton::clicked, this, &COptFilesPropPg::selectFolder);
}

QWidget* COptFilesPropPg::ControlWidget(int id) const
{
    switch (id) {
    case StartFilesList:
        return m_list;
    case AddButton:
        return m_add;
    case DeleteButton:
        return m_delete;
    case MoveUpButton:
        return m_up;
    case MoveDownButton:
        return m_down;
    case TempFileBox:
        return m_tempFile;
    case ChmodBox:
        return m_chmod;
    case ModifyButton:
        return m_modify;
    case BlankDocumentBox:
        return m_blankDocument;
    case WordWrapBox:
        return m_wordWrap;
    case DocumentFolderField:
        return m_folderField;
    case SelectFolderButton:
        return m_select;
    default:
        return nullptr;
    }
}

void COptFilesPropPg::updateChmodText()
{
    m_chmod->setText(QStringLiteral("After uploading change permissions to %1")
                         .arg(CFtpClient::PermissionText(GetSetting(Settings::OnUploadChmodPerms))));
}

void COptFilesPropPg::showFolder(const QString& folder)
{
    m_folderShown = folder;
    static_cast<PathField*>(m_folderField)->SetPath(folder);
}

void COptFilesPropPg::addFile()
{
    const QString path = FileDialogs::GetOpenFileName(this, QStringLiteral("Select file to open at startup"),
        Workspace::GetDocumentFolder(), QStringLiteral("All files (*);;Text files (*.txt)"));
    if (path.isEmpty())
        return;
    addRow(m_list, QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    m_list->resizeColumnToContents(0);
}

void COptFilesPropPg::deleteFile()
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        tellNothingSelected(QStringLiteral("Please select an item in the list or choose cancel to quit."));
        return;
    }
    if (Prompt::Ask(QStringLiteral("Are you sure you want to delete the selected entry from the list?"),
            QStringLiteral("Okay to delete?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No)
        != Prompt::Yes)
        return;
    int first = m_list->topLevelItemCount();
    for (QTreeWidgetItem* item : selected)
        first = qMin(first, m_list->indexOfTopLevelItem(item));
    delete m_list->takeTopLevelItem(first);
}

void COptFilesPropPg::move(int step)
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        tellNothingSelected(step < 0
                ? QStringLiteral("Please select an item in the list to move the selected row up.")
                : QStringLiteral("Please select an item in the list to move the selected row down."));
        return;
    }
    int row = m_list->topLevelItemCount();
    for (QTreeWidgetItem* item : selected)
        row = qMin(row, m_list->indexOfTopLevelItem(item));
    const int target = row + step;
    if (target < 0 || target >= m_list->topLevelItemCount())
        return;
    QTreeWidgetItem* item = m_list->takeTopLevelItem(row);
    m_list->insertTopLevelItem(target, item);
    m_list->clearSelection();
    item->setSelected(true);
    m_list->setCurrentItem(item);
    m_list->setFocus();
}

void COptFilesPropPg::modifyPermissions()
{
    int permissions = GetSetting(Settings::OnUploadChmodPerms);
    CPermissionsDlg dialog(&permissions, true, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Stored at once: the choice made in that dialog stays even when the sheet is cancelled.
    SetSetting(Settings::OnUploadChmodPerms, permissions);
    updateChmodText();
}

void COptFilesPropPg::selectFolder()
{
    // Nothing is moved: the question says so, and the old folder stays as it is.
    if (Prompt::Ask(
            QStringLiteral(
                "Warning, changing the value of the Document Folder will change where ZEPH expects to "
                "find certain files.  If you modify this path you are responsible for moving any files "
                "that ZEPH has already created in the old folder and 'Data' subfolder.  In the Document "
                "Folder ZEPH expects to find many files such as .procmailrc, zeph.recipes, man pages, and "
                "the 'Data' subdirectory (which contains '.zeph' files created by the recipe wizard)."
                "\r\n\r\nAre you sure you want to modify the Document Folder setting?  (Hit 'No' unless "
                "you are sure of the consequences.)"),
            QStringLiteral("Okay to modify Document Folder?"), Prompt::Question,
            Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No)
        != Prompt::Yes)
        return;
    QString start = m_folderShown;
    while (start.size() > 1 && start.endsWith(QLatin1Char('/')))
        start.chop(1);
    const QString chosen
        = FileDialogs::GetExistingDirectory(this, QStringLiteral("Please select a folder"), start);
    if (!chosen.isEmpty())
        showFolder(chosen);
}

void COptFilesPropPg::Apply()
{
    QStringList files;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        files.append(m_list->topLevelItem(i)->text(0));
    SetSettingStringArray(Settings::StartFiles, files);
    SetSetting(Settings::UploadWithTempFile, m_tempFile->isChecked() ? 1 : 0);
    SetSetting(Settings::ChmodOnUpload, m_chmod->isChecked() ? 1 : 0);
    SetSetting(Settings::NewDocumentAtStartup, m_blankDocument->isChecked() ? 1 : 0);
    SetSetting(Settings::WordWrapOn, m_wordWrap->isChecked() ? 1 : 0);
    if (m_folderShown != m_folderAtOpening) {
        Workspace::SetDocumentFolder(m_folderShown);
        m_folderAtOpening = Workspace::GetDocumentFolder();
        m_folderShown = m_folderAtOpening;
        QDir::setCurrent(m_folderAtOpening);
    }
}
