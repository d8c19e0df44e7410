#include "gui/log/CLogDisplayView.h"

#include "core/common/AtomicFile.h"
#include "core/common/Prompt.h"
#include "core/common/RegularFileCheck.h"
#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CFindReplaceDlg.h"
#include "gui/common/COptPropSheet.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CWorkingDlg.h"
#include "gui/common/ColumnLayout.h"
#include "gui/common/CommandIds.h"
#include "gui/common/FontSetting.h"
#include "gui/common/Help.h"
#include "gui/common/Printing.h"
#include "gui/log/CLogTableModel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QProxyStyle>
#include <QScrollBar>
#include <QTableView>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>

#include <sys/stat.h>

namespace {

QList<CLogDisplayView*>& openViews()
{
    static QList<CLogDisplayView*> views;
    return views;
}

// The number in "Unparsed Data%d", shared by every log window of the run.
int& unparsedCounter()
{
    static int counter = 1;
    return counter;
}

// How long work runs before the working dialog shows, and how often it then runs pending events.
int g_workingDelayMs = 300;
int g_workingStepMs = 50;

// The working dialog over a long loop: pending events run only every 50 ms, so the loop stays
// fast and the windows stay responsive.
class WorkingDialog
{
public:
    WorkingDialog(QWidget* parent, const QString& title, const QString& message)
        : m_dialog(parent, title, message, true)
    {
        m_timer.start();
    }
    // False when the user cancelled.
    bool Step(qint64 done, qint64 total)
    {
        if (m_timer.elapsed() < g_workingStepMs && done < total)
            return true;
        if (!m_shown) {
            // Short work never flashes a window.
            if (m_timer.elapsed() < g_workingDelayMs && done < total)
                return true;
            m_dialog.Create();
            m_shown = true;
        }
        m_timer.restart();
        m_dialog.SetPos(
            total > 0 ? static_cast<int>(qBound(qint64(0), done * 100 / total, qint64(100))) : 100);
        return !m_dialog.CheckCancel();
    }

private:
    CWorkingDlg m_dialog;
    QElapsedTimer m_timer;
    bool m_shown = false;
};

// Row tips: shown after half a second of rest, kept for nine seconds, following the mouse to
// another row after a tenth of a second, and never wider than 500 pixels.
constexpr int kTipShowMs = 500;
constexpr int kTipStayMs = 9000;
constexpr int kTipMoveMs = 100;
constexpr int kTipMaxWidth = 500;

// The list's own style: the viewport asks it how long the mouse rests before a tip, and the header
// draws the sort arrow with it. Qt hands an ascending column to the style as "sort down", which
// draws a down arrow; users read an up arrow as ascending.
class LogListStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return kTipShowMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override
    {
        const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
        if (element != PE_IndicatorHeaderArrow || !header) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        QStyleOptionHeader flipped(*header);
        if (header->sortIndicator == QStyleOptionHeader::SortDown)
            flipped.sortIndicator = QStyleOptionHeader::SortUp;
        else if (header->sortIndicator == QStyleOptionHeader::SortUp)
            flipped.sortIndicator = QStyleOptionHeader::SortDown;
        QProxyStyle::drawPrimitive(element, &flipped, painter, widget);
    }
};

bool sameFile(const QString& a, const QString& b)
{
    struct stat sa;
    struct stat sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0
        || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace

CLogDisplayView::CLogDisplayView(QWidget* parent)
    : CDocumentWindow(DocumentKind::Log, parent)
    , m_model(new CLogTableModel(&m_doc, this))
    , m_list(new QTableView(this))
    , m_toolBar(new QToolBar(QStringLiteral("Log Toolbar"), this))
    , m_popup(new QMenu(QStringLiteral("Popup Log Menu"), this))
{
    setObjectName(QStringLiteral("CLogDisplayView"));
    SetHelpTopic(this, QStringLiteral("log.html"));
    openViews().append(this);

    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    m_list->setCornerButtonEnabled(false);
    m_list->setShowGrid(false);
    m_list->setAlternatingRowColors(false);
    m_list->verticalHeader()->hide();
    // Fixed row heights: a million rows scroll without measuring any of them.
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_list->horizontalHeader()->setSectionsMovable(true);
    m_list->horizontalHeader()->setSectionsClickable(true);
    m_list->horizontalHeader()->setSortIndicatorShown(false);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->horizontalHeader()->setToolTip(QStringLiteral("Click to sort. Drag to reposition"));
    m_list->horizontalHeader()->setResizeContentsPrecision(1000);
    m_list->viewport()->installEventFilter(this);
    m_list->installEventFilter(this);
    m_list->viewport()->setMouseTracking(true);
    m_listStyle = new LogListStyle;
    m_listStyle->setParent(this);
    m_list->viewport()->setStyle(m_listStyle);
    m_list->horizontalHeader()->setStyle(m_listStyle);
    m_tipMoveTimer = new QTimer(this);
    m_tipMoveTimer->setSingleShot(true);
    connect(m_tipMoveTimer, &QTimer::timeout, this, [this] {
        const QPoint global = QCursor::pos();
        const QPoint local = m_list->viewport()->mapFromGlobal(global);
        const int row = m_list->viewport()->rect().contains(local) ? m_list->indexAt(local).row() : -1;
        if (m_tooltipsOn && row >= 0)
            ShowRowTip(row, global);
    });
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this,
        [this](int column) { SortByColumn(column, true); });
    connect(m_list, &QTableView::doubleClicked, this, [this] { ViewEntryDetails(true); });

    QAction* details
        = AddAction(QStringLiteral("View Entry &Details"), QKeySequence(), [this] { ViewEntryDetails(); });
    QAction* find = AddAction(QStringLiteral("&Find..."), QKeySequence::Find, [this] { ShowFind(); });
    m_findNextAction
        = AddAction(QStringLiteral("Find &Next"), QKeySequence::FindNext, [this] { FindNext(); });
    m_findNextAction->setEnabled(false);
    QAction* edit = AddAction(QStringLiteral("&Edit Recipe"), QKeySequence(), [this] { EditRecipe(); });
    QAction* manual = AddAction(
        QStringLiteral("&Manually Edit Recipe"), QKeySequence(), [this] { ManuallyEditRecipe(); });
    QAction* view = AddAction(QStringLiteral("&View Recipe"), QKeySequence(), [this] { ViewRecipe(); });
    QAction* why = AddAction(QStringLiteral("W&hy Did This Land Here?"), QKeySequence(), [this] {
        const QList<int> rows = SelectedRows();
        if (rows.isEmpty()) {
            Prompt::Tell(QStringLiteral("Please highlight the entry you wish to explain."),
                QStringLiteral("No entry selected"), Prompt::Information);
            return;
        }
        QStringList columns;
        for (int column = 0; column < CLogEntry::ColumnCount; ++column)
            columns << m_doc.CellText(rows.first(), column);
        emit whyLandedRequested(columns);
    });
    QAction* asText
        = AddAction(QStringLiteral("Open log as &Text"), QKeySequence(), [this] { OpenLogAsText(); });
    QAction* options = AddAction(QStringLiteral("&Options"), QKeySequence(), [this] { ShowOptions(); });
    QAction* font = AddAction(QStringLiteral("&Font"), QKeySequence(), [this] { ChooseFont(); });
    QAction* selectAll
        = AddAction(QStringLiteral("Select &All"), QKeySequence::SelectAll, [this] { SelectAll(); });
    QAction* saveAs = AddAction(QStringLiteral("Save &As..."), QKeySequence::SaveAs, [this] { SaveAs(); });
    m_toolbarAction
        = AddAction(QStringLiteral("Log Toolbar"), QKeySequence(), [this] { ToggleLogToolbar(); });
    m_toolbarAction->setCheckable(true);

    m_toolBar->addAction(details);
    m_toolBar->addAction(find);
    m_toolBar->addSeparator();
    m_toolBar->addAction(edit);
    m_toolBar->addAction(manual);
    m_toolBar->addAction(view);
    m_toolBar->addSeparator();
    m_toolBar->addAction(asText);
    m_toolBar->addAction(options);
    m_toolBar->addAction(font);

    m_popup->addAction(details);
    m_popup->addAction(edit);
    m_popup->addAction(manual);
    m_popup->addAction(view);
    m_popup->addAction(why);
    m_popup->addSeparator();
    m_popup->addAction(find);
    m_popup->addAction(m_findNextAction);
    m_popup->addAction(selectAll);
    m_popup->addSeparator();
    m_popup->addAction(asText);
    m_popup->addAction(saveAs);
    m_popup->addAction(options);
    m_popup->addAction(font);
    m_popup->addAction(m_toolbarAction);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_list);
}

CLogDisplayView::~CLogDisplayView()
{
    m_list->viewport()->setStyle(nullptr);
    m_list->horizontalHeader()->setStyle(nullptr);
    if (m_findDialog)
        delete m_findDialog;
    openViews().removeAll(this);
}

QList<CLogDisplayView*> CLogDisplayView::OpenViews()
{
    return openViews();
}

QAction* CLogDisplayView::AddAction(
    const QString& text, const QKeySequence& shortcut, std::function<void()> command)
{
    auto* action = new QAction(text, this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
    addAction(action);
    return action;
}

bool CLogDisplayView::OpenLog(const QString& path)
{
    m_toolBar->setVisible(GetSetting(Settings::ShowLogToolbar) != 0);
    m_toolbarAction->setChecked(m_toolBar->isVisibleTo(this));
    ApplyFont();
    m_list->setShowGrid(GetSetting(Settings::LogShowGridlines) == 1);

    // The view closes again when the log is refused, too large for the user or without entries.
    auto notOpened = [this] {
        m_closing = true;
        QMetaObject::invokeMethod(this, &CLogDisplayView::closeRequested, Qt::QueuedConnection);
        return false;
    };
    // A FIFO would block the read before Cancel is shown, so the file is examined first.
    qint64 size = 0;
    QString refusal;
    if (!RegularFileCheck::CanRead(path, QStringLiteral("as a log"), &refusal, &size)) {
        Prompt::Tell(refusal, QStringLiteral("ZEPH"), Prompt::Warning);
        return notOpened();
    }
    // The whole log is read into memory: above the size the user set, ask first.
    constexpr qint64 megabyte = 1024 * 1024;
    const qint64 limit = static_cast<qint64>(GetSetting(Settings::LogAskAboveMegabytes)) * megabyte;
    if (limit > 0 && size > limit
        && Prompt::Ask(
               QStringLiteral("The log file %1 is %2 MB, larger than %3 MB.  ZEPH reads the whole log "
                              "into memory, which for a file this size can take long or fail.  Do you "
                              "want to open it anyway?")
                   .arg(path)
                   .arg((size + megabyte - 1) / megabyte)
                   .arg(limit / megabyte),
               QStringLiteral("Large log file"), Prompt::Question, Prompt::Yes | Prompt::No, Prompt::No)
            != Prompt::Yes)
        return notOpened();

    {
        WorkingDialog working(window(), QStringLiteral("Parsing file"),
            QStringLiteral("Parsing %1.\n\nPlease wait....").arg(QDir::toNativeSeparators(path)));
        m_doc.Open(path, [&working](qint64 done, qint64 total) { return working.Step(done, total); });
    }
    if (!m_doc.ErrorText().isEmpty())
        Prompt::Tell(m_doc.ErrorText(), QStringLiteral("ZEPH"), Prompt::Warning);

    if (m_doc.GetEntryCount() == 0) {
        const Prompt::Button answer = Prompt::Ask(
            QStringLiteral(
                "No standard log entries were found in the file %1.  Would you like to open it as a plain "
                "text file?")
                .arg(path),
            QStringLiteral("Open as text file?"), Prompt::Question, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::Yes);
        if (answer == Prompt::Yes)
            emit openAsTextRequested(path);
        return notOpened();
    }

    if (m_doc.GetUnparsedCount() > 0) {
        const QString title = QStringLiteral("Unparsed Data%1").arg(unparsedCounter());
        Prompt::Tell(
            QStringLiteral("There were %1 lines in the file %2 that ZEPH was unable to parse.  Those lines "
                           "will be displayed using the file name \"%3\".  Click on that tab to view the "
                           "data.")
                .arg(m_doc.GetUnparsedCount())
                .arg(path, title),
            QStringLiteral("Unparsed data"), Prompt::Information);
        emit unparsedDataReady(title, m_doc.GetUnparsedText());
        ++unparsedCounter();
    }

    m_model->OrderChanged();
    QAbstractItemModel* model = m_model;
    emit model->layoutChanged();
    m_entriesText = QStringLiteral("%1 Entries").arg(m_doc.GetEntryCount());
    emit entriesTextChanged(m_entriesText);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);

    SizeColumns();
    RestoreOrder();
    m_opened = true;
    if (m_sortColumn < 0) {
        const int column = GetSetting(Settings::LogSortedCol);
        SortByColumn(column, false, GetSetting(Settings::LogSortAscending) != 0);
    }
    return true;
}

void CLogDisplayView::SortByColumn(int column, bool headerClick, bool ascending)
{
    if (column == m_sortColumn)
        m_ascending = !m_ascending;
    else
        m_ascending = headerClick ? true : ascending;
    m_sortColumn = column;
    m_doc.SortEntries(column, m_ascending);
    m_model->OrderChanged();
    if (column >= 0 && column < CLogEntry::ColumnCount) {
        m_list->horizontalHeader()->setSortIndicatorShown(true);
        m_list->horizontalHeader()->setSortIndicator(
            column, m_ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    m_list->viewport()->update();
}

QList<int> CLogDisplayView::SelectedRows() const
{
    QList<int> rows;
    if (!m_list->selectionModel())
        return rows;
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    for (const QModelIndex& index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList CLogDisplayView::DisplayOrderLabels(QList<int>* columns) const
{
    QStringList labels;
    const QHeaderView* header = m_list->horizontalHeader();
    for (int visual = 0; visual < CLogEntry::ColumnCount; ++visual) {
        const int column = header->logicalIndex(visual);
        columns->append(column);
        labels.append(CLogTableModel::ColumnHeader(column).toUpper() + QStringLiteral(": "));
    }
    return labels;
}

std::unique_ptr<QTextDocument> CLogDisplayView::BuildPrintDocument(bool* cancelled) const
{
    // What the user sees: the shown columns in their order, the rows in the sort order.
    *cancelled = false;
    const QHeaderView* header = m_list->horizontalHeader();
    QList<int> columns;
    for (int visual = 0; visual < CLogEntry::ColumnCount; ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column))
            columns.append(column);
    }
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\"><tr>");
    for (const int column : std::as_const(columns))
        html += QStringLiteral("<th align=\"left\">%1</th>")
                    .arg(CLogTableModel::ColumnHeader(column).toHtmlEscaped());
    html += QStringLiteral("</tr>");
    const qsizetype rows = m_doc.GetEntryCount();
    WorkingDialog working(
        window(), QStringLiteral("Printing"), QStringLiteral("Preparing the pages.\n\nPlease wait...."));
    for (qsizetype row = 0; row < rows; ++row) {
        html += QStringLiteral("<tr>");
        for (const int column : std::as_const(columns))
            html += QStringLiteral("<td>%1</td>").arg(m_doc.CellText(row, column).toHtmlEscaped());
        html += QStringLiteral("</tr>");
        if ((row + 1) % 256 == 0 && !working.Step(int(row + 1), int(rows))) {
            *cancelled = true;
            return nullptr;
        }
    }
    html += QStringLiteral("</table>");
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(m_list->font());
    document->setHtml(html);
    return document;
}

QString CLogDisplayView::RowToolTip(int row) const
{
    if (row < 0 || row >= m_doc.GetEntryCount())
        return QString();
    QList<int> columns;
    const QStringList labels = DisplayOrderLabels(&columns);
    QStringList lines;
    for (int i = 0; i < columns.size(); ++i) {
        const QString text = m_doc.CellText(row, columns[i], CLogTableModel::CellLimit);
        if (!text.isEmpty())
            lines.append(labels[i] + text);
    }
    return lines.join(QLatin1Char('\n')).replace(QLatin1Char('\t'), QLatin1Char(' '));
}

void CLogDisplayView::ShowRowTip(int row, const QPoint& globalPos)
{
    m_tipMoveTimer->stop();
    m_tipRow = row;
    const QRect rowRect(
        0, m_list->rowViewportPosition(row), m_list->viewport()->width(), m_list->rowHeight(row));
    QToolTip::showText(globalPos, WrapTipText(RowToolTip(row), QFontMetrics(QToolTip::font()), kTipMaxWidth),
        m_list->viewport(), rowRect, kTipStayMs);
}

QString CLogDisplayView::WrapTipText(const QString& text, const QFontMetrics& metrics, int maxWidth)
{
    QStringList out;
    for (QString rest : text.split(QLatin1Char('\n'))) {
        while (rest.size() > 1 && metrics.horizontalAdvance(rest) > maxWidth) {
            // The longest start of the line that fits, at least one character.
            qsizetype low = 1;
            qsizetype high = rest.size() - 1;
            while (low < high) {
                const qsizetype mid = (low + high + 1) / 2;
                if (metrics.horizontalAdvance(rest.left(mid)) <= maxWidth)
                    low = mid;
                else
                    high = mid - 1;
            }
            qsizetype fit = low;
            if (fit > 1 && rest.at(fit - 1).isHighSurrogate())
                --fit;
            // Break after the last blank that fits; a word wider than the tip breaks inside.
            const qsizetype blank = rest.lastIndexOf(QLatin1Char(' '), fit);
            if (blank > 0) {
                out.append(rest.left(blank));
                rest.remove(0, blank + 1);
            } else {
                out.append(rest.left(fit));
                rest.remove(0, fit);
            }
        }
        out.append(rest);
    }
    return out.join(QLatin1Char('\n'));
}

QString CLogDisplayView::DetailsText(bool* cancelled) const
{
    if (cancelled)
        *cancelled = false;
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty())
        return QString();
    QList<int> columns;
    const QStringList labels = DisplayOrderLabels(&columns);
    WorkingDialog working(
        window(), QStringLiteral("Loading log data"), QStringLiteral("Loading log data.\n\nPlease wait...."));
    QString text;
    QString block;
    for (int n = 0; n < rows.size(); ++n) {
        for (int i = 0; i < columns.size(); ++i) {
            const int column = columns[i];
            const QString value = m_doc.CellText(rows[n], column);
            const bool optional = column == CLogEntry::RecipeNameColumn
                || column == CLogEntry::HeaderFromColumn || column == CLogEntry::HeaderToColumn;
            if (optional && value.isEmpty())
                continue;
            block += labels[i] + value + QLatin1Char('\n');
        }
        block += QLatin1Char('\n');
        if ((n + 1) % 50 == 0) {
            text += block;
            block.clear();
        }
        if ((n + 1) % 16 == 0 && !working.Step(n + 1, rows.size())) {
            if (cancelled)
                *cancelled = true;
            return QString();
        }
    }
    return text + block;
}

void CLogDisplayView::ViewEntryDetails(bool silentWithoutSelection)
{
    if (SelectedRows().isEmpty()) {
        if (!silentWithoutSelection)
            Prompt::Tell(QStringLiteral("Please highlight the entry you wish to view."),
                QStringLiteral("No entry selected"), Prompt::Information);
        return;
    }
    bool cancelled = false;
    const QString text = DetailsText(&cancelled);
    if (cancelled)
        return;
    auto* viewer = new CTextViewerDlg(
        text, QStringLiteral("Log Entries"), this, QStringLiteral("Log Entries"), false, 1.4);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
}

QString CLogDisplayView::FirstSelectedRecipe(bool* anySelected) const
{
    const QList<int> rows = SelectedRows();
    *anySelected = !rows.isEmpty();
    return rows.isEmpty() ? QString() : m_doc.CellText(rows.first(), CLogEntry::RecipeNameColumn);
}

void CLogDisplayView::EditRecipe()
{
    bool selected = false;
    const QString name = FirstSelectedRecipe(&selected);
    if (!name.isEmpty()) {
        emit editRecipeRequested(name);
        return;
    }
    if (selected)
        Prompt::Tell(QStringLiteral(
                         "ZEPH cannot determine which recipe you wish to edit because the highlighted log "
                         "entry does not have a recipe name.  To insure that the recipe name is included in "
                         "the log entry, edit the corresponding recipe and select 'Extended Logging' on "
                         "the 'Recipe Name and Logging' page (the fifth wizard page)."),
            QStringLiteral("No associated recipe name"), Prompt::Information);
    else
        Prompt::Tell(QStringLiteral("Please highlight the entry you wish to edit."),
            QStringLiteral("No entry selected"), Prompt::Information);
}

void CLogDisplayView::ManuallyEditRecipe()
{
    bool selected = false;
    emit manualEditRequested(FirstSelectedRecipe(&selected));
}

void CLogDisplayView::ViewRecipe()
{
    bool selected = false;
    const QString name = FirstSelectedRecipe(&selected);
    if (name.isEmpty()) {
        if (selected)
            Prompt::Tell(
                QStringLiteral("ZEPH cannot determine which recipe you wish to view because the highlighted "
                               "log entry does not have a recipe name.  To insure that the recipe name is "
                               "included in the log entry, edit the corresponding recipe and select "
                               "'Extended Logging' on the 'Recipe Name and Logging' page (the fifth wizard "
                               "page)."),
                QStringLiteral("No associated recipe name"), Prompt::Information);
        else
            Prompt::Tell(QStringLiteral("Please highlight the entry with the recipe name you wish to view."),
                QStringLiteral("No entry selected"), Prompt::Information);
        return;
    }
    const QString path = m_recipeFilePath.isEmpty() ? Workspace::GetRecipeFilePath() : m_recipeFilePath;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QByteArray nameBytes = name.toUtf8();
    const QByteArray begin = "##_ZEPH_RECIPE_BEGIN_##" + nameBytes;
    const QByteArray end = "##_ZEPH_RECIPE_END_##" + nameBytes;
    bool foundBegin = false;
    bool foundEnd = false;
    QByteArray collected;
    QFile file(path);
    QString fileError;
    if (path.isEmpty()) {
        fileError = QStringLiteral("The recipe file could not be found.");
    } else if (!file.open(QIODevice::ReadOnly)) {
        fileError = QStringLiteral("%1 could not be opened: %2").arg(path, file.errorString());
    } else {
        while (!file.atEnd()) {
            QByteArray line = file.readLine();
            if (line.endsWith('\n'))
                line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
            if (!foundBegin) {
                if (line != begin)
                    continue;
                foundBegin = true;
            }
            collected += line + '\n';
            if (line == end) {
                foundEnd = true;
                break;
            }
        }
    }
    QApplication::restoreOverrideCursor();
    if (!fileError.isEmpty())
        Prompt::Tell(fileError, QStringLiteral("ZEPH"), Prompt::Warning);
    if (foundBegin && foundEnd) {
        auto* viewer = new CTextViewerDlg(QString::fromUtf8(collected), QStringLiteral("View Recipe"), this,
            QStringLiteral("Recipe: ") + name, true, 1.5);
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->show();
        return;
    }
    Prompt::Tell(
        QStringLiteral("ZEPH was unable to find the %1 for the recipe \"%2\" in %3.")
            .arg(foundBegin ? QStringLiteral("end marker") : QStringLiteral("beginning and end markers"),
                name, path),
        QStringLiteral("Recipe not found"), Prompt::Information);
}

void CLogDisplayView::OpenLogAsText()
{
    emit openAsTextRequested(m_doc.Path());
}

void CLogDisplayView::ShowOptions()
{
    // From a log list the sheet has Apply, so the list can be watched while options change.
    COptPropSheet sheet(QStringLiteral("Options"), this, COptPropSheet::LogFilesPage, true);
    sheet.exec();
}

void CLogDisplayView::ShowFind()
{
    if (m_findDialog) {
        // One Find window per list: bring the open one forward.
        m_findDialog->raise();
        m_findDialog->activateWindow();
        return;
    }
    m_findDialog = new CFindReplaceDlg(false, m_findText, this);
    m_findDialog->SetWholeWordAvailable(false);
    m_findDialog->SetDirectionAvailable(false);
    m_findDialog->SetMatchCase(m_matchCase);
    connect(m_findDialog, &CFindReplaceDlg::FindNext, this, [this] {
        const QString text = m_findDialog->FindText();
        if (text.isEmpty())
            return;
        SetFind(text, m_findDialog->MatchCase());
        Search();
    });
    m_findDialog->show();
}

void CLogDisplayView::SetFind(const QString& text, bool matchCase)
{
    if (text != m_findText)
        m_lastFound = -1;
    m_findText = text;
    m_matchCase = matchCase;
    m_findNextAction->setEnabled(!m_findText.isEmpty());
}

void CLogDisplayView::FindNext()
{
    if (!m_findText.isEmpty())
        Search();
}

bool CLogDisplayView::Search()
{
    if (m_searching)
        return false;
    m_searching = true;
    m_searchCancelled = false;
    qsizetype found = -1;
    {
        // A search through a large log takes a while: progress shows and Cancel stops it.
        WorkingDialog working(window(), QStringLiteral("Searching"),
            QStringLiteral("Searching for \"%1\".\n\nPlease wait....").arg(m_findText));
        found = m_doc.FindEntry(
            m_findText, m_lastFound + 1, m_matchCase,
            [&working](qint64 done, qint64 total) { return working.Step(done, total); }, &m_searchCancelled);
    }
    m_searching = false;
    if (m_searchCancelled)
        return false; // the user stopped it: the next search starts where this one did
    if (found < 0) {
        Prompt::Tell(QStringLiteral("Finished searching for \"%1\".").arg(m_findText),
            QStringLiteral("Finished searching"), Prompt::Information);
        m_lastFound = -1;
        return false;
    }
    const QModelIndex index = m_model->index(static_cast<int>(found), 0);
    m_list->clearSelection();
    m_list->scrollTo(index);
    m_list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_lastFound = found;
    return true;
}

void CLogDisplayView::SetWorkingDialogTiming(int showAfterMs, int stepMs)
{
    g_workingDelayMs = showAfterMs;
    g_workingStepMs = stepMs;
}

void CLogDisplayView::SelectAll()
{
    m_list->selectAll();
}

void CLogDisplayView::SaveAs()
{
    QFileDialog dialog(this, QStringLiteral("Save As"), Workspace::GetDocumentFolder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("log"));
    dialog.setNameFilters({ QStringLiteral("ZEPH Log (*.log)"), QStringLiteral("Text files (*.txt)") });
    dialog.selectFile(QStringLiteral("Untitled"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveAsPath(dialog.selectedFiles().first());
}

bool CLogDisplayView::SaveAsPath(const QString& path)
{
    // The same file under any spelling or link: copying it onto itself would empty it.
    if (path == m_doc.Path() || sameFile(path, m_doc.Path()))
        return false;
    QString error;
    if (!CopyFileAtomically(m_doc.Path(), path, &error)) {
        Prompt::Tell(
            QStringLiteral("Error trying to save file %1.  The error was:\r\n\r\n%2").arg(path, error),
            QStringLiteral("Error!"), Prompt::Warning);
        return false;
    }
    Prompt::Tell(QStringLiteral("The file was saved as %1").arg(path), QStringLiteral("File Saved"),
        Prompt::Information);
    return true;
}

void CLogDisplayView::ApplyFont()
{
    QFont font;
    if (LoadFontSetting(Settings::LogFont, &font))
        m_list->setFont(font);
    else
        m_list->setFont(QApplication::font(m_list));
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
}

void CLogDisplayView::ApplyFontToAll()
{
    for (CLogDisplayView* view : openViews())
        view->ApplyFont();
}

void CLogDisplayView::ChooseFont()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_list->font(), this, QStringLiteral("Font"));
    if (!ok)
        return;
    StoreFontSetting(Settings::LogFont, font);
    ApplyFontToAll();
}

void CLogDisplayView::ToggleLogToolbar()
{
    const bool show = GetSetting(Settings::ShowLogToolbar) == 0;
    SetSetting(Settings::ShowLogToolbar, show ? 1 : 0);
    m_toolBar->setVisible(show);
    m_toolbarAction->setChecked(show);
}

void CLogDisplayView::Activate()
{
    emit entriesTextChanged(m_entriesText);
    const bool showToolbar = GetSetting(Settings::ShowLogToolbar) != 0;
    m_toolBar->setVisible(showToolbar);
    m_toolbarAction->setChecked(showToolbar);
    m_tooltipsOn = GetSetting(Settings::LogShowTooltips) != 0;
    if (!m_tooltipsOn)
        QToolTip::hideText();
}

void CLogDisplayView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Activate();
}

bool CLogDisplayView::RestoreOrder()
{
    return RestoreColumnOrder(m_list->horizontalHeader(), Settings::LogColumnOrder);
}

void CLogDisplayView::SizeColumns()
{
    if (GetSetting(Settings::LogUseSavedColSizes) == 1) {
        RestoreColumnWidths(m_list->horizontalHeader(), Settings::LogColumnWidths);
        return;
    }
    // Widest cell among the rows the header samples, or the header text, whichever is wider.
    m_list->setUpdatesEnabled(false);
    m_list->resizeColumnsToContents();
    m_list->setUpdatesEnabled(true);
}

void CLogDisplayView::SaveViewSettings()
{
    if (m_closing || !m_opened)
        return;
    SaveColumnOrder(m_list->horizontalHeader(), Settings::LogColumnOrder);
    SaveColumnWidths(m_list->horizontalHeader(), Settings::LogColumnWidths);
    if (m_sortColumn >= 0 && m_sortColumn <= 8) {
        SetSetting(Settings::LogSortedCol, m_sortColumn);
        SetSetting(Settings::LogSortAscending, m_ascending ? 1 : 0);
    }
}

void CLogDisplayView::OptionsChanged(bool gridLines, bool columnSizing, bool colours)
{
    for (CLogDisplayView* view : openViews()) {
        if (gridLines)
            view->m_list->setShowGrid(GetSetting(Settings::LogShowGridlines) == 1);
        if (columnSizing) {
            view->SizeColumns();
            view->RestoreOrder();
        }
        if (colours) {
            view->m_doc.RecolourEntries();
            view->m_model->ColoursChanged();
        }
        view->m_list->viewport()->update();
    }
}

void CLogDisplayView::ShowContextMenu(const QPoint& globalPos)
{
    m_popup->popup(globalPos);
}

bool CLogDisplayView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (!m_tooltipsOn) {
            QToolTip::hideText();
            return true;
        }
        const int row = m_list->indexAt(help->pos()).row();
        if (row < 0) {
            m_tipRow = -1;
            m_tipMoveTimer->stop();
            QToolTip::hideText();
            return true;
        }
        if (QToolTip::isVisible() && row != m_tipRow) {
            // The open tip moves to the new row after a short pause.
            if (!m_tipMoveTimer->isActive())
                m_tipMoveTimer->start(kTipMoveMs);
            return true;
        }
        ShowRowTip(row, help->globalPos());
        return true;
    }
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ViewEntryDetails(true);
            return true;
        }
    }
    if ((watched == m_list || watched == m_list->viewport()) && event->type() == QEvent::ContextMenu) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() == QContextMenuEvent::Mouse) {
            ShowContextMenu(menu->globalPos());
        } else {
            const QList<int> rows = SelectedRows();
            QPoint at;
            if (!rows.isEmpty()) {
                const int row = rows.first();
                at = QPoint(5, m_list->rowViewportPosition(row) + m_list->rowHeight(row));
            } else {
                at = QPoint(5, m_list->viewport()->height() - 5);
            }
            ShowContextMenu(m_list->viewport()->mapToGlobal(at));
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString CLogDisplayView::Title() const
{
    return QFileInfo(m_doc.Path()).fileName();
}

const QList<int>& CLogDisplayView::Commands()
{
    static const QList<int> ids = { Cmd::ViewEntryDetails, Cmd::EditRecipe, Cmd::ManuallyEditRecipe,
        Cmd::ViewRecipe, Cmd::OpenLogAsText, Cmd::Find, Cmd::FindNext, Cmd::SelectAll, Cmd::SaveAs, Cmd::Save,
        Cmd::Font, Cmd::LogToolbar, Cmd::Print, Cmd::PrintPreview };
    return ids;
}

bool CLogDisplayView::HasCommand(int id) const
{
    // Options belongs to the frame (the Options sheet); an active log only takes it over for its
    // own options, so it is not one of the log's declared commands.
    return Commands().contains(id) || id == Cmd::Options;
}

bool CLogDisplayView::IsCommandEnabled(int id) const
{
    if (id == Cmd::Save)
        return false; // a log is never written back
    if (id == Cmd::FindNext)
        return !m_findText.isEmpty();
    return HasCommand(id);
}

QString CLogDisplayView::DisabledTip(int id) const
{
    if (id == Cmd::Save)
        return QStringLiteral("A log is not written back; use Save As for a copy");
    if (id == Cmd::FindNext)
        return QStringLiteral("Find some text first");
    return QString();
}

bool CLogDisplayView::IsCommandChecked(int id) const
{
    return id == Cmd::LogToolbar && GetSetting(Settings::ShowLogToolbar) != 0;
}

void CLogDisplayView::RunCommand(int id)
{
    switch (id) {
    case Cmd::ViewEntryDetails:
        ViewEntryDetails();
        break;
    case Cmd::EditRecipe:
        EditRecipe();
        break;
    case Cmd::ManuallyEditRecipe:
        ManuallyEditRecipe();
        break;
    case Cmd::ViewRecipe:
        ViewRecipe();
        break;
    case Cmd::OpenLogAsText:
        OpenLogAsText();
        break;
    case Cmd::Options:
        ShowOptions();
        break;
    case Cmd::Find:
        ShowFind();
        break;
    case Cmd::FindNext:
        FindNext();
        break;
    case Cmd::SelectAll:
        SelectAll();
        break;
    case Cmd::SaveAs:
        SaveAs();
        break;
    case Cmd::Font:
        ChooseFont();
        break;
    case Cmd::LogToolbar:
        ToggleLogToolbar();
        break;
    case Cmd::Print:
    case Cmd::PrintPreview: {
        bool cancelled = false;
        const std::unique_ptr<QTextDocument> pages = BuildPrintDocument(&cancelled);
        if (cancelled)
            break;
        const auto print = [&pages](QPrinter* printer) { Printing::PrintTextDocument(*pages, printer); };
        if (id == Cmd::Print)
            Printing::Print(this, print);
        else
            Printing::Preview(this, print);
        break;
    }
    default:
        break;
    }
    emit StateChanged();
}

void CLogDisplayView::Activated()
{
    Activate();
}

void CLogDisplayView::closeEvent(QCloseEvent* event)
{
    SaveViewSettings();
    CDocumentWindow::closeEvent(event);
}
