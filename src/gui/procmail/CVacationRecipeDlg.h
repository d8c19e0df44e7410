#pragma once

#include "core/procmail/VacationRecipe.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// "Vacation" for the recipe: which mail is answered, with which response file, for which procmail
// and on which days. "Add Recipe" writes the recipe into the recipe file and queues the uploads;
// the dialog ends with OK only when the recipe was written. The caller has closed any editor of
// the recipe file before.
class CVacationRecipeDlg : public QDialog
{
    Q_OBJECT

public:
    // modifyAddress shows the Settings sheet's "Misc" page and returns true on OK.
    CVacationRecipeDlg(const QString& recipeFile, std::function<bool()> modifyAddress, QWidget* parent);

    QComboBox* ToCombo() const { return m_to; }
    QLineEdit* FileEdit() const { return m_file; }
    QRadioButton* OldVersionButton() const { return m_old; }
    QCheckBox* FirstDayBox() const { return m_useFirst; }
    QDateEdit* FirstDayEdit() const { return m_first; }
    QCheckBox* LastDayBox() const { return m_useLast; }
    QDateEdit* LastDayEdit() const { return m_last; }
    QPlainTextEdit* Preview() const { return m_preview; }
    QPushButton* ModifyAddressButton() const { return m_modifyAddress; }
    QPushButton* SelectButton() const { return m_select; }
    QPushButton* CreateButton() const { return m_create; }
    QPushButton* AddButton() const { return m_add; }

    // "Add Recipe": the checks, then the recipe. Stays open when a check stops it.
    void accept() override;

private:
    void fillList();
    void selectFile();
    void createFile();
    void updatePreview();
    // The values of the dialog on top of the addresses and the name from the settings.
    VacationRecipe::Options options(const QString& responseFile) const;
    bool checkResponseFile(const QString& path);
    void focusFile();

    QString m_recipeFile;
    std::function<bool()> m_modifyAddressSheet;
    QComboBox* m_to = nullptr;
    QLineEdit* m_file = nullptr;
    QRadioButton* m_new = nullptr;
    QRadioButton* m_old = nullptr;
    QCheckBox* m_useFirst = nullptr;
    QDateEdit* m_first = nullptr;
    QCheckBox* m_useLast = nullptr;
    QDateEdit* m_last = nullptr;
    QPlainTextEdit* m_preview = nullptr;
    QPushButton* m_modifyAddress = nullptr;
    QPushButton* m_select = nullptr;
    QPushButton* m_create = nullptr;
    QPushButton* m_add = nullptr;
};
