#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modeless find (and replace) dialog of the text editor and the log view. It only collects
// what to look for; its owner searches when a signal arrives. The editor uses every choice; the
// log view opens a find-only window without whole-word and direction (a list is searched from
// the last match down and wraps), pre-filled with its last search.
class CFindReplaceDlg : public QDialog
{
    Q_OBJECT

public:
    CFindReplaceDlg(bool replace, const QString& initialText, QWidget* parent = nullptr);

    QString FindText() const;
    QString ReplaceText() const;
    bool MatchCase() const;
    bool WholeWord() const;
    bool SearchDown() const;
    // The log view has no whole-word search, say.
    void SetWholeWordAvailable(bool available);
    // Hides the Up/Down choice; SearchDown() then answers true.
    void SetDirectionAvailable(bool available);
    void SetFindText(const QString& text);
    void SetMatchCase(bool matchCase);

signals:
    void FindNext();
    void ReplaceOne();
    void ReplaceAll();

private:
    void updateButtons();

    QLineEdit* m_find;
    QLineEdit* m_replace = nullptr;
    QCheckBox* m_case;
    QCheckBox* m_word;
    QRadioButton* m_down;
    QGroupBox* m_direction = nullptr;
    QPushButton* m_findNext;
    QPushButton* m_replaceOne = nullptr;
    QPushButton* m_replaceAll = nullptr;
};
