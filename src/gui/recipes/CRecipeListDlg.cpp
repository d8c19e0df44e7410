#include "gui/recipes/CRecipeListDlg.h"

#include "core/common/Prompt.h"
#include "core/common/TextFileCodec.h"
#include "core/net/PendingFiles.h"
#include "core/recipes/CRecipeDefinition.h"
#include "core/recipes/RecipeDataFileRemoval.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CWorkingDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/FontSetting.h"
#include "gui/common/Help.h"
#include "gui/common/IShell.h"
#include "gui/recipes/CRecipeListView.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString HelpTopic = QStringLiteral("rEditViewDlg.html");
const QString NothingSelectedCaption = QStringLiteral("Nothing selected");
constexpr int EntryRole = Qt::UserRole;

// Names and texts of the recipe file as the editor shows them: UTF-8, or Latin-1 when the bytes
// are not UTF-8.
QString Shown(const QByteArray& bytes)
{
    TextFileCodec codec;
    return codec.Decode(bytes);
}

// The row images: a filled green dot for a recipe that works, a grey ring for one switched off.
QIcon RowIcon(bool disabled)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (disabled) {
        painter.setPen(QPen(QColor(128, 128, 128), 2));
        painter.setBrush(Qt::NoBrush);
    } else {
        painter.setPen(QColor(30, 110, 40));
        painter.setBrush(QColor(60, 170, 70));
    }
    painter.drawEllipse(QRectF(3, 3, 10, 10));
    return QIcon(pixmap);
}

} // namespace

CRecipeListDlg::CRecipeListDlg(IShell& shell, const QString& recipeFilePath, QWidget* parent)
    : CResizingDialog(154, parent, QString(), 1.0)
    , m_shell(shell)
    , m_path(recipeFilePath)
    , m_list(new CRecipeListView(this))
{
    setObjectName(QStringLiteral("RecipeListDlg"));
    setWindowTitle(QStringLiteral("Position/Edit Recipes"));
    SetHelpTopic(this, HelpTopic);

    QFont font;
    if (LoadFontSetting(Settings::LogFont, &font))
        m_list->setFont(font);

    QStyle* style = QApplication::style();
    // The & marks give every command a key; the tool tips are those of the buttons.
    auto button = [this](const char* name, const QString& text, const QString& tip, const QIcon& icon) {
        auto* b = new QPushButton(icon, text, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        return b;
    };
    m_moveUp = button("MoveUp", QStringLiteral("Move &Up"), QStringLiteral("Move selected recipe up"),
        style->standardIcon(QStyle::SP_ArrowUp));
    m_moveDown = button("MoveDown", QStringLiteral("Move &Down"), QStringLiteral("Move selected recipe down"),
        style->standardIcon(QStyle::SP_ArrowDown));
    m_edit = button(
        "Edit", QStringLiteral("&Edit"), QStringLiteral("Edit selected recipe with Recipe Wizard"), QIcon());
    m_view = button("View", QStringLiteral("&View"), QStringLiteral("View selected recipe"),
        style->standardIcon(QStyle::SP_FileDialogContentsView));
    m_enable = button(
        "Enable", QStringLiteral("E&nable"), QStringLiteral("Enable selected recipe"), RowIcon(false));
    m_disable = button(
        "Disable", QStringLiteral("D&isable"), QStringLiteral("Disable selected recipe"), RowIcon(true));
    m_manually = button("ManuallyEdit", QStringLiteral("&Manually Edit"),
        QStringLiteral("Manually edit selected recipe"), QIcon());
    m_delete = button("Delete", QStringLiteral("De&lete"), QStringLiteral("Delete selected recipe"),
        style->standardIcon(QStyle::SP_TrashIcon));
    auto* tryMessage = button("TryMessage", QStringLiteral("&Try a Message..."),
        QStringLiteral("Run the recipes in this order on a sample message"), QIcon());
    tryMessage->setVisible(shell.CanTryMessages());
    m_ok = button("OK", QStringLiteral("OK"), QString(), QIcon());
    m_cancel = button("Cancel", QStringLiteral("Close"), QString(), QIcon());
    m_apply = button("Apply", QStringLiteral("&Apply"), QString(), QIcon());
    auto* help = button("Help", QStringLiteral("&Help"), QStringLiteral("Display Help"),
        style->standardIcon(QStyle::SP_DialogHelpButton));
    m_ok->setAutoDefault(true);
    m_ok->setDefault(true);
    m_showPending
        = new QCheckBox(QStringLiteral("When closing, show Pending &Files Dialog (if appropriate)"), this);
    m_showPending->setObjectName(QStringLiteral("ShowPendingFiles"));
    m_showPending->setChecked(GetSetting(Settings::RecipeListShowPendingFiles) != 0);

    auto* commands = new QVBoxLayout;
    for (QPushButton* b : { m_moveUp, m_moveDown, m_edit, m_view, m_enable, m_disable, m_manually, m_delete })
        commands->addWidget(b);
    commands->addStretch();
    commands->addWidget(tryMessage);
    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(commands);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_showPending);
    bottom->addStretch();
    for (QPushButton* b : { m_ok, m_cancel, m_apply, help })
        bottom->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    m_list->setMinimumSize(320, 240);

    connect(m_moveUp, &QPushButton::clicked, this, &CRecipeListDlg::MoveUp);
    connect(m_moveDown, &QPushButton::clicked, this, &CRecipeListDlg::MoveDown);
    connect(m_edit, &QPushButton::clicked, this, &CRecipeListDlg::Edit);
    connect(m_view, &QPushButton::clicked, this, &CRecipeListDlg::View);
    connect(m_enable, &QPushButton::clicked, this, &CRecipeListDlg::Enable);
    connect(m_disable, &QPushButton::clicked, this, &CRecipeListDlg::Disable);
    connect(m_manually, &QPushButton::clicked, this, &CRecipeListDlg::ManuallyEdit);
    connect(m_delete, &QPushButton::clicked, this, &CRecipeListDlg::Delete);
    // The rows as they stand, saved or not: the user tries an order before choosing it.
    connect(tryMessage, &QPushButton::clicked, this, [this] {
        QByteArray text;
        for (const CRecipeListEntry& entry : Entries())
            text += entry.text + '\n';
        m_shell.TryMessage(text, this);
    });
    connect(m_ok, &QPushButton::clicked, this, &CRecipeListDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CRecipeListDlg::reject);
    connect(m_apply, &QPushButton::clicked, this, &CRecipeListDlg::Apply);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelpTopic(this, HelpTopic); });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CRecipeListDlg::UpdateButtons);
    connect(m_list, &CRecipeListView::moveRequested, this, &CRecipeListDlg::MoveRow);

    // Moving by keyboard as well as by mouse; Delete works in the list.
    const std::pair<QKeySequence, void (CRecipeListDlg::*)()> keys[] = {
        { QKeySequence(Qt::CTRL | Qt::Key_Up), &CRecipeListDlg::MoveUp },
        { QKeySequence(Qt::ALT | Qt::Key_Up), &CRecipeListDlg::MoveUp },
        { QKeySequence(Qt::CTRL | Qt::Key_Down), &CRecipeListDlg::MoveDown },
        { QKeySequence(Qt::ALT | Qt::Key_Down), &CRecipeListDlg::MoveDown },
        { QKeySequence(Qt::Key_Delete), &CRecipeListDlg::Delete },
    };
    for (const auto& [sequence, command] : keys) {
        auto* shortcut = new QShortcut(sequence, m_list);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, command);
    }
    SetModified(false);
}

void CRecipeListDlg::Run(IShell& shell)
{
    const QString path = Workspace::GetRecipeFilePath();
    if (path.isEmpty() || !shell.CloseDocumentFor(path))
        return;
    bool manualEdit = false;
    QByteArray name;
    {
        CRecipeListDlg dialog(shell, path, shell.Window());
        if (!dialog.Load())
            return;
        dialog.exec();
        manualEdit = dialog.ManualEditRequested();
        name = dialog.ManualEditName();
    }
    if (manualEdit) {
        CDocumentWindow* editor = shell.OpenDocument(path, DocumentKind::Text);
        if (editor && !shell.GoToRecipe(editor, Shown(name)))
            Prompt::Tell(QStringLiteral("The recipe named \"%1\" was not found.").arg(Shown(name)),
                QStringLiteral("Recipe not found"), Prompt::Information);
    }
    shell.UpdateCommandStates();
    if (GetSetting(Settings::RecipeListShowPendingFiles) != 0 && HasPending()) {
        // Posted, so the pending files show after this command is done.
        IShell* target = &shell;
        QTimer::singleShot(0, shell.Window(), [target] { target->RunCommand(Cmd::PendingFiles); });
    }
}

bool CRecipeListDlg::Load()
{
    return Parse(Pass::Opening);
}

bool CRecipeListDlg::Parse(Pass pass)
{
    QList<CRecipeListEntry> entries;
    QList<QByteArray> groups;
    {
        CWorkingDlg working(isVisible() ? static_cast<QWidget*>(this) : parentWidget(),
            QStringLiteral("Parsing file"),
            QStringLiteral("Parsing %1.\n\nPlease wait....").arg(QDir::toNativeSeparators(m_path)), true);
        working.Create();
        const bool parsed = CRecipeFile::ParseRecipeList(m_path, &entries, &groups, [&working](int percent) {
            working.SetPos(percent);
            return !working.CheckCancel();
        });
        if (!parsed)
            return false;
        if (!entries.isEmpty() || pass == Pass::AfterEdit) {
            working.SetTitle(QStringLiteral("Loading..."));
            working.SetMessage(QStringLiteral("Loading list control.\n\nPlease wait...."));
            working.SetPos(0);
            m_list->clear();
            m_entries = entries;
            m_deletedNames.clear();
            for (qsizetype i = 0; i < m_entries.size(); ++i) {
                auto* item = new QTreeWidgetItem({ Shown(m_entries.at(i).name) });
                item->setData(0, EntryRole, static_cast<int>(i));
                item->setIcon(0, RowIcon(m_entries.at(i).disabled));
                // Rows are dropped between rows, never onto one.
                item->setFlags(item->flags() & ~Qt::ItemIsDropEnabled);
                m_list->addTopLevelItem(item);
                if ((i + 1) % 16 == 0) {
                    working.SetPos(static_cast<int>((i + 1) * 100 / m_entries.size()));
                    if (working.CheckCancel())
                        return false;
                }
            }
            working.SetPos(100);
        }
    }
    if (entries.isEmpty() && pass == Pass::Opening) {
        const Prompt::Button answer = Prompt::Ask(
            QStringLiteral("No recipes were found in the file %1.  Would you like to open it as a text file?")
                .arg(QDir::toNativeSeparators(m_path)),
            QStringLiteral("No recipes found"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No);
        if (answer == Prompt::Yes)
            m_shell.OpenDocument(m_path, DocumentKind::Text);
        return false;
    }
    // The generated markers around lines outside the blocks are not in the file yet.
    SetModified(!groups.isEmpty());
    if (!groups.isEmpty() && pass == Pass::Opening)
        ShowUnparsedGroups(groups);
    if (pass == Pass::Opening)
        SelectRow(0);
    UpdateButtons();
    return true;
}

void CRecipeListDlg::ShowUnparsedGroups(const QList<QByteArray>& groups)
{
    QString text = QStringLiteral(
        "One or more lines in the file %1 were not contained within the 'begin' and 'end' recipe markers.  "
        "This typically means someone has edited the file manually and didn't add the %2 begin recipe "
        "file marker and/or didn't add the %3 end recipe file marker.\n\nTo allow you to modify this file "
        "while keeping the recipes and comments in the order you wish, ZEPH has added 'begin' and 'end' "
        "recipe markers around each group of lines it found outside of the markers.  To save the file "
        "with these new 'begin' and 'end' markers, hit the 'OK' or 'Apply' button on the next dialog.  "
        "Hit 'Cancel' on the next dialog to discard the new markers.")
                       .arg(QDir::toNativeSeparators(m_path), QString::fromLatin1(CRecipeFile::BeginMarker),
                           QString::fromLatin1(CRecipeFile::EndMarker));
    if (groups.size() == 1)
        text += QStringLiteral("  There was one group of lines found outside the markers, it is listed "
                               "below.  A recipe name has also been assigned to it:\n\n");
    else
        text += QStringLiteral("  There were %1 groups of lines found outside the markers, they are listed "
                               "below.  A recipe name has also been assigned to each:\n\n")
                    .arg(groups.size());
    for (const QByteArray& group : groups)
        text += Shown(group) + QLatin1Char('\n');
    CTextViewerDlg viewer(
        text, QStringLiteral("Unparsed Data"), parentWidget(), QStringLiteral("Unparsed Data"), false, 1.5);
    viewer.exec();
}

int CRecipeListDlg::SelectedRow() const
{
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.first());
}

const CRecipeListEntry& CRecipeListDlg::EntryAt(int row) const
{
    return m_entries.at(m_list->topLevelItem(row)->data(0, EntryRole).toInt());
}

CRecipeListEntry& CRecipeListDlg::EntryAt(int row)
{
    return m_entries[m_list->topLevelItem(row)->data(0, EntryRole).toInt()];
}

QList<CRecipeListEntry> CRecipeListDlg::Entries() const
{
    QList<CRecipeListEntry> list;
    list.reserve(m_list->topLevelItemCount());
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        list.append(EntryAt(row));
    return list;
}

void CRecipeListDlg::SelectRow(int row)
{
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (!item)
        return;
    m_list->setCurrentItem(item);
    item->setSelected(true);
    m_list->scrollToItem(item);
}

void CRecipeListDlg::SetModified(bool modified)
{
    m_modified = modified;
    m_cancel->setText(modified ? QStringLiteral("Cancel") : QStringLiteral("Close"));
    m_apply->setEnabled(modified);
}

void CRecipeListDlg::UpdateButtons()
{
    const int row = SelectedRow();
    const bool selected = row >= 0;
    for (QPushButton* b : { m_moveUp, m_moveDown, m_edit, m_view, m_manually, m_delete })
        b->setEnabled(selected);
    m_disable->setEnabled(selected && !EntryAt(row).disabled);
    m_enable->setEnabled(selected && EntryAt(row).disabled);
}

bool CRecipeListDlg::NothingSelected(const QString& text) const
{
    if (SelectedRow() >= 0)
        return false;
    Prompt::Tell(text, NothingSelectedCaption, Prompt::Information);
    return true;
}

void CRecipeListDlg::MoveRow(int from, int before)
{
    const int count = m_list->topLevelItemCount();
    if (from < 0 || from >= count || before < 0 || before > count)
        return;
    const int to = before > from ? before - 1 : before;
    if (to == from) {
        SelectRow(from);
        return;
    }
    QTreeWidgetItem* item = m_list->takeTopLevelItem(from);
    m_list->insertTopLevelItem(to, item);
    m_list->clearSelection();
    SelectRow(to);
    SetModified(true);
    UpdateButtons();
}

void CRecipeListDlg::MoveUp()
{
    if (NothingSelected(QStringLiteral("Please select an item in the list to move the selected row up.")))
        return;
    const int row = SelectedRow();
    if (row == 0) {
        SelectRow(row);
        QApplication::beep();
        return;
    }
    MoveRow(row, row - 1);
}

void CRecipeListDlg::MoveDown()
{
    if (NothingSelected(QStringLiteral("Please select an item in the list to move the selected row down.")))
        return;
    const int row = SelectedRow();
    if (row == m_list->topLevelItemCount() - 1) {
        SelectRow(row);
        QApplication::beep();
        return;
    }
    MoveRow(row, row + 2);
}

void CRecipeListDlg::SetDisabled(bool disabled)
{
    const int row = SelectedRow();
    CRecipeListEntry& entry = EntryAt(row);
    if (entry.disabled != disabled) {
        entry.text = disabled ? CRecipeFile::DisableRecipeText(entry.text, entry.name)
                              : CRecipeFile::EnableRecipeText(entry.text);
        entry.disabled = disabled;
        m_list->topLevelItem(row)->setIcon(0, RowIcon(disabled));
        SetModified(true);
    }
    // The next thing one usually wants after switching a recipe is to look at it.
    m_ok->setDefault(false);
    m_manually->setDefault(true);
    UpdateButtons();
}

void CRecipeListDlg::Disable()
{
    if (!NothingSelected(QStringLiteral("Please select a recipe in the list to comment.")))
        SetDisabled(true);
}

void CRecipeListDlg::Enable()
{
    if (!NothingSelected(QStringLiteral("Please select a recipe in the list to uncomment.")))
        SetDisabled(false);
}

void CRecipeListDlg::View()
{
    if (NothingSelected(QStringLiteral("Please select an item in the list to view.")))
        return;
    const CRecipeListEntry& entry = EntryAt(SelectedRow());
    CTextViewerDlg viewer(Shown(entry.text), QStringLiteral("View Recipe"), this,
        QStringLiteral("Recipe: ") + Shown(entry.name), true, 1.5);
    viewer.exec();
}

void CRecipeListDlg::Delete()
{
    if (NothingSelected(QStringLiteral("Please select an item in the list or choose cancel to quit.")))
        return;
    if (Prompt::Ask(QStringLiteral("Are you sure you want to delete the selected entry?"),
            QStringLiteral("Okay to delete?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No)
        != Prompt::Yes)
        return;
    const int row = SelectedRow();
    m_deletedNames.append(EntryAt(row).name);
    delete m_list->takeTopLevelItem(row);
    m_list->clearSelection();
    SetModified(true);
    UpdateButtons();
}

bool CRecipeListDlg::Apply()
{
    if (!m_modified)
        return true;
    const QList<CRecipeListEntry> entries = Entries();
    // The file first: when it cannot be written, the recipes are still in it and their data
    // files must stay too.
    if (!CRecipeFile::WriteRecipeList(m_path, entries))
        return false;
    for (const QByteArray& name : std::as_const(m_deletedNames)) {
        // A name that a remaining entry still carries keeps its data file: it is that recipe's.
        const bool stillListed = std::any_of(entries.cbegin(), entries.cend(),
            [&name](const CRecipeListEntry& entry) { return entry.name == name; });
        QString error;
        if (!stillListed && !RecipeDataFileRemoval::Delete(name, &error))
            Prompt::Tell(QStringLiteral("The recipe list was saved, but the recipe data file %1 could not be "
                                        "deleted.  The error was:\n\n%2")
                             .arg(QDir::toNativeSeparators(CRecipeDefinition::RecipeDataPath(name)), error),
                QStringLiteral("Delete failed"), Prompt::Warning);
    }
    m_deletedNames.clear();
    SetModified(false);
    AddPending(m_path, Workspace::GetRemoteZephDir() + QStringLiteral("/zeph.recipes"));
    return true;
}

void CRecipeListDlg::accept()
{
    // OK closes only once the list is safely written; after a failure the dialog stays open.
    if (Apply())
        CResizingDialog::accept();
}

void CRecipeListDlg::done(int result)
{
    SetSetting(Settings::RecipeListShowPendingFiles, m_showPending->isChecked() ? 1 : 0);
    CResizingDialog::done(result);
}

bool CRecipeListDlg::SaveOrDiscard()
{
    if (!m_modified)
        return true;
    const Prompt::Button answer = Prompt::Ask(
        QStringLiteral(
            "The recipe list has been modified.  Before performing the next function you must either "
            "save or discard the changes to the recipe list.  If you would like to save the changes, "
            "press \"Yes\".  To discard the changes select \"No\".\n\nSave changes to recipe list?"),
        QStringLiteral("Save changes to recipe list?"), Prompt::Question,
        Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::Yes);
    if (answer == Prompt::Yes)
        return Apply();
    return answer == Prompt::No;
}

void CRecipeListDlg::Edit()
{
    if (NothingSelected(QStringLiteral("Please select an item in the list to edit.")))
        return;
    if (!SaveOrDiscard())
        return;
    const int row = SelectedRow();
    const CRecipeListEntry entry = EntryAt(row);
    if (entry.disabled)
        Prompt::Tell(
            QStringLiteral("The recipe you have selected for editing is currently commented out.  If you "
                           "go through all the wizard pages and hit 'Finish' on the last page to save "
                           "any changes, this recipe will be updated with your changes and will also no "
                           "longer be commented out."),
            QStringLiteral("Editing commented out recipe"), Prompt::Information);
    const int top = m_list->verticalScrollBar()->value();
    const bool finished = m_shell.EditRecipe(Shown(entry.name), false);
    if (!finished && !m_modified)
        return;
    // The wizard changed the file, or the changes in the list were discarded: show the file.
    if (!Parse(Pass::AfterEdit)) {
        reject();
        return;
    }
    SelectRow(qMin(row, m_list->topLevelItemCount() - 1));
    m_list->verticalScrollBar()->setValue(top);
}

void CRecipeListDlg::ManuallyEdit()
{
    const int row = SelectedRow();
    if (row < 0 || !SaveOrDiscard())
        return;
    m_manualEdit = true;
    m_manualEditName = EntryAt(row).name;
    reject();
}
