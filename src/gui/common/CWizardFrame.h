#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QStackedWidget;

// The frame the program's wizards share: a bold title over the page shown, a rule, and the
// buttons Help, "< Back", "Next >", Finish and Cancel. No button is an auto-default, so Enter in
// a page's field presses none unless the wizard makes one the default. Cancel rejects; the wizard
// connects the others and adds its pages.
class CWizardFrame : public QDialog
{
    Q_OBJECT

public:
    explicit CWizardFrame(QWidget* parent);

    QLabel* PageTitle() const { return m_title; }
    QPushButton* BackButton() const { return m_back; }
    QPushButton* NextButton() const { return m_next; }
    QPushButton* FinishButton() const { return m_finish; }
    QPushButton* CancelButton() const { return m_cancel; }
    QPushButton* HelpButton() const { return m_help; }

protected:
    QStackedWidget* Pages() const { return m_pages; }

private:
    QLabel* m_title;
    QStackedWidget* m_pages;
    QPushButton* m_back;
    QPushButton* m_next;
    QPushButton* m_finish;
    QPushButton* m_cancel;
    QPushButton* m_help;
};
