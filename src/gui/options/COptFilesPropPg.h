#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// Options page "Files": the files opened at start-up, how uploads are made, the defaults of new
// documents and the Document Folder. Values are stored by Apply (the sheet's OK), except the
// permissions after upload, which "Modify...." stores at once.
class COptFilesPropPg : public QWidget
{
    Q_OBJECT
public:
    explicit COptFilesPropPg(QWidget* parent = nullptr);

    enum Control : int {
        StartFilesList = 1005,
        AddButton = 1006,
        DeleteButton = 1007,
        MoveUpButton = 1017,
        MoveDownButton = 1018,
        TempFileBox = 1021,
        ChmodBox = 1022,
        ModifyButton = 1011,
        BlankDocumentBox = 1020,
        WordWrapBox = 1019,
        DocumentFolderField = 1329,
        SelectFolderButton = 1023,
    };
    QWidget* ControlWidget(int id) const;
    QTreeWidget* List() const { return m_list; }
    // The folder the page will store, as shown.
    QString DocumentFolderShown() const { return m_folderShown; }

    void Apply();
    static QString HelpTopic() { return QStringLiteral("optionsFiles.html"); }

private:
    void addFile();
    void deleteFile();
    void move(int step);
    void modifyPermissions();
    void selectFolder();
    void showFolder(const QString& folder);
    void updateChmodText();

    QTreeWidget* m_list;
    QCheckBox* m_tempFile;
    QCheckBox* m_chmod;
    QCheckBox* m_blankDocument;
    QCheckBox* m_wordWrap;
    QLabel* m_folderField;
    QPushButton* m_add;
    QPushButton* m_delete;
    QPushButton* m_up;
    QPushButton* m_down;
    QPushButton* m_modify;
    QPushButton* m_select;
    QString m_folderAtOpening;
    QString m_folderShown;
};
