#pragma once

#include "core/common/TextFileCodec.h"
#include "gui/common/CResizingDialog.h"

class CMessageLine;
class QAction;
class QPlainTextEdit;
class QPushButton;

// A modal editor for one local text file: either a new reply letter (the caller gets the path
// saved last) or an existing file (".procmailrc", ".forward", ".qmail").
class CFileEditorDlg : public CResizingDialog
{
    Q_OBJECT

public:
    // New-letter mode.
    CFileEditorDlg(QString* savedPath, QWidget* parent, bool wordWrap);
    // Existing-file mode.
    CFileEditorDlg(const QString& path, QWidget* parent, bool wordWrap);

    QPlainTextEdit* Editor() const { return m_edit; }
    QString CurrentPath() const { return m_path; }
    bool LoadFile(const QString& path);
    void NewText();
    void OpenFile();
    bool Save();
    bool SaveAs();
    void ToggleWordWrap();
    // The save question; false when the command must stop.
    bool SaveChangesCheck();

    void accept() override;
    void reject() override;

private:
    void build(bool wordWrap);
    void updateStates();
    bool writeTo(const QString& path);
    QString untitledName() const;

    bool m_newLetter;
    QString* m_savedPath = nullptr;
    QString m_lastSaved;
    QString m_path;
    TextFileCodec m_codec;
    int m_untitled = 1;
    bool m_wordWrap = false;
    QPlainTextEdit* m_edit = nullptr;
    CMessageLine* m_message = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_wrapAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_cutAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_pasteAction = nullptr;
};
