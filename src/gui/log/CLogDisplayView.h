#pragma once

#include "core/log/CLogDisplayDoc.h"
#include "gui/common/CDocumentWindow.h"
#include "gui/common/CFindReplaceDlg.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class CLogTableModel;
class QAction;
class QFontMetrics;
class QProxyStyle;
class QTimer;
class QMenu;
class QTableView;
class QTextDocument;
class QToolBar;

// One procmail log as a sortable, coloured, searchable table with its own log toolbar, in a
// document window of the main window. From a selected entry the user sees all its fields, opens
// the recipe that logged it, or saves a copy of the log. The table is a model over the document:
// no row holds text of its own.
class CLogDisplayView : public CDocumentWindow
{
    Q_OBJECT

public:
    explicit CLogDisplayView(QWidget* parent = nullptr);
    ~CLogDisplayView() override;

    // The document window's side.
    QString Path() const override { return m_doc.Path(); }
    QString Title() const override;
    // The commands every log view performs.
    static const QList<int>& Commands();
    bool HasCommand(int id) const override;
    bool IsCommandEnabled(int id) const override;
    QString DisabledTip(int id) const override;
    bool IsCommandChecked(int id) const override;
    void RunCommand(int id) override;
    void Activated() override;

    // Reads and shows the log. False when the file is not a regular file, when the user chose
    // not to open a log larger than the set size, or when the log had no entries (the user was
    // asked whether to open it as text); the view then asked to be closed (closeRequested)
    // without storing its layout.
    bool OpenLog(const QString& path);

    CLogDisplayDoc& Document() { return m_doc; }
    QTableView* List() const { return m_list; }
    QToolBar* LogToolBar() const { return m_toolBar; }
    CLogTableModel* Model() const { return m_model; }
    QMenu* PopupMenu() const { return m_popup; }
    QString EntriesText() const { return m_entriesText; }
    int SortColumn() const { return m_sortColumn; }
    bool SortAscending() const { return m_ascending; }
    bool IsClosing() const { return m_closing; }

    // A header click (flips the direction on the sorted column, else ascending) or a
    // restoring sort (keeps the given direction).
    void SortByColumn(int column, bool headerClick, bool ascending = true);

    // Commands of the log view.
    void ViewEntryDetails(bool silentWithoutSelection = false);
    void EditRecipe();
    void ManuallyEditRecipe();
    void ViewRecipe();
    void OpenLogAsText();
    void ShowOptions();
    void ShowFind();
    void FindNext();
    void SelectAll();
    void SaveAs();
    // Copies the log file to `path` (replacing it atomically) and tells the user the outcome;
    // nothing happens when `path` is the log file itself.
    bool SaveAsPath(const QString& path);
    void ChooseFont();
    void ToggleLogToolbar();
    // When the view becomes active: the toolbar and the row tips follow the settings.
    void Activate();

    // The search of the Find window: the text, the match-case choice, then one search. A long
    // search shows the working dialog; Cancel there leaves the last found entry as it was.
    void SetFind(const QString& text, bool matchCase);
    bool Search();
    bool SearchCancelled() const { return m_searchCancelled; }
    qsizetype LastFoundIndex() const { return m_lastFound; }
    CFindReplaceDlg* FindDialog() const { return m_findDialog; }
    // Long parses and searches show the working dialog after `showAfterMs` and then run pending
    // events every `stepMs` (300 and 50 unless changed).
    static void SetWorkingDialogTiming(int showAfterMs, int stepMs);

    // The tip of a row: every non-empty column in display order, "LABEL: value" per line.
    QString RowToolTip(int row) const;
    // Shows the tip of a row at a point of the screen, wrapped to the tip's width.
    void ShowRowTip(int row, const QPoint& globalPos);
    // Breaks every line wider than `maxWidth` at its last fitting blank, or inside a word
    // that alone is wider.
    static QString WrapTipText(const QString& text, const QFontMetrics& metrics, int maxWidth);
    int TipRow() const { return m_tipRow; }
    // The details text of the selected rows, as the details window shows it.
    QString DetailsText(bool* cancelled = nullptr) const;
    // The pages of Print and Print Preview: a table of the shown columns in their order, the rows
    // in the sort order. Null when the user cancelled the preparation.
    std::unique_ptr<QTextDocument> BuildPrintDocument(bool* cancelled) const;
    // The recipe file that View Recipe reads; the identity's own unless a test sets another.
    void SetRecipeFilePath(const QString& path) { m_recipeFilePath = path; }
    // Sizes the columns from the settings (saved widths or fit to the data).
    void SizeColumns();
    // Stores column order, widths and sort; done on closing unless the view closed itself.
    void SaveViewSettings();

    // After the options pages were applied: every open log list follows them.
    static void OptionsChanged(bool gridLines, bool columnSizing, bool colours);
    static void ApplyFontToAll();
    static QList<CLogDisplayView*> OpenViews();

signals:
    void openAsTextRequested(const QString& path);
    void unparsedDataReady(const QString& title, const QByteArray& text);
    void editRecipeRequested(const QString& name);
    void manualEditRequested(const QString& name);
    // "Why did this land here?" on the first selected entry: its column texts, in column order.
    void whyLandedRequested(const QStringList& columns);
    void closeRequested();
    void entriesTextChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddAction(const QString& text, const QKeySequence& shortcut, std::function<void()> command);
    QList<int> SelectedRows() const;
    QString FirstSelectedRecipe(bool* anySelected) const;
    QStringList DisplayOrderLabels(QList<int>* columns) const;
    void ApplyFont();
    void ShowContextMenu(const QPoint& globalPos);
    bool RestoreOrder();

    CLogDisplayDoc m_doc;
    CLogTableModel* m_model;
    QTableView* m_list;
    QToolBar* m_toolBar;
    QMenu* m_popup;
    QAction* m_findNextAction = nullptr;
    QAction* m_toolbarAction = nullptr;
    QString m_entriesText;
    QString m_recipeFilePath;
    int m_sortColumn = -1;
    bool m_ascending = true;
    bool m_closing = false;
    bool m_opened = false;
    bool m_tooltipsOn = true;
    QPointer<CFindReplaceDlg> m_findDialog;
    QString m_findText;
    bool m_matchCase = false;
    qsizetype m_lastFound = -1;
    bool m_searching = false;
    bool m_searchCancelled = false;
    int m_tipRow = -1;
    QProxyStyle* m_listStyle = nullptr;
    QTimer* m_tipMoveTimer = nullptr;
};
