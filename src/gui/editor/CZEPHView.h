#pragma once

#include "core/common/TextFileCodec.h"
#include "gui/common/CDocumentWindow.h"

#include <QDateTime>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <memory>

class QComboBox;
class QPlainTextEdit;
class QThread;
class CFindReplaceDlg;

// A text document in an editor window. The file's bytes are shown as text; the document keeps
// the line-end style it was read with (CR LF when the first line ends so, else LF; files for the
// host always LF) and the encoding (UTF-8, else Latin-1), and saves with them.
class CZEPHView : public CDocumentWindow
{
    Q_OBJECT

public:
    // The largest file the editor opens.
    static constexpr qint64 MaxFileSize = 10 * 1024 * 1024;

    // nullptr with a message for the user when the file cannot be shown.
    static CZEPHView* OpenFile(const QString& path, QString* error);
    static CZEPHView* NewDocument(int number);
    ~CZEPHView() override;

    QString Path() const override { return m_path; }
    QString Title() const override;
    bool IsModified() const override;
    bool Save() override;
    bool SaveAs();
    void DiscardChanges() override;
    QIcon Icon() const override;

    // The commands every text document performs.
    static const QList<int>& Commands();
    bool HasCommand(int id) const override;
    bool IsCommandEnabled(int id) const override;
    QString DisabledTip(int id) const override;
    bool IsCommandChecked(int id) const override;
    void RunCommand(int id) override;
    void Activated() override;
    void Deactivated() override;

    QPlainTextEdit* Editor() const { return m_edit; }
    bool UsesCrLf() const { return m_codec.UsesCrLf(); }
    // The text as it would be written to disk.
    QByteArray FileBytes() const;

    void CommentSelection();
    void UncommentSelection();
    void InsertHardLineWrap(int column);
    bool GoToRecipe(const QString& name);
    // The check for changes made outside the program (run on activation).
    void CheckOutsideChange();
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool wrap);

    // Recipe names of a recipe file (read on a worker thread).
    QStringList RecipeNames() const { return m_recipeNames; }
    bool RecipeNamesValid() const { return m_namesValid; }
    bool ReadingRecipeNames() const { return m_reader != nullptr; }
    void InvalidateRecipeNames();
    // A new document's name in place of "ZEPH<n>" (the log list's unparsed lines).
    void SetUntitledName(const QString& name)
    {
        m_untitled = name;
        emit StateChanged();
    }
    static void InvalidateAllRecipeNames();
    // The context menu of the Text Toolbar's recipe list (sort, width, length), and the list's
    // stored size.
    static void InstallRecipeListMenu(QComboBox* list);
    // The list's width and the height of its dropped-down part, from the stored percentages.
    static void ApplyRecipeListSize(QComboBox* list);
    // Applies "Settings"/"Font" to every open editor.
    static void ApplyFontToAll();

signals:
    void RecipeNamesRead();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CZEPHView(QWidget* parent = nullptr);
    bool load(const QString& path, QString* error);
    bool writeTo(const QString& path);
    void rememberFileState();
    void startReader();
    void stopReader();
    void fillRecipeList();
    void recipeChosen(int index);
    void updateLineColumn();
    void find(bool forward);
    void showFindDialog(bool replace);
    void chooseFont();
    void askHardLineWrap();

    QPlainTextEdit* m_edit;
    QString m_path;
    QString m_untitled;
    TextFileCodec m_codec;
    QDateTime m_fileTime;
    qint64 m_fileSize = -1;
    bool m_fileMissingAsked = false;
    bool m_wordWrap = false;
    bool m_active = false;
    bool m_checking = false;
    QStringList m_recipeNames;
    bool m_namesValid = false;
    int m_savedIndex = -1;
    QThread* m_reader = nullptr;
    std::shared_ptr<std::atomic_bool> m_stopReader;
    QString m_findText;
    bool m_findCase = false;
    bool m_findWord = false;
    QPointer<CFindReplaceDlg> m_findDialog;
};
