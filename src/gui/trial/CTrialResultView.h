#pragma once

#include "core/recipes/CRecipeFile.h"
#include "gui/trial/CTrialWorker.h"

#include <QSet>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// What a dry run found: every recipe of the file in order with matched or not, where the mail
// landed, what would be sent (each mail's text on request) and procmail's complaints.
class CTrialResultView : public QWidget
{
    Q_OBJECT

public:
    explicit CTrialResultView(QWidget* parent = nullptr);

    // The recipes the rows stand for, in file order; their results show after a run.
    void SetEntries(const QList<CRecipeListEntry>& entries);
    // Recipes whose answer the run cannot give (they test what the message lacks): shown as
    // unknown whatever procmail did with them.
    void SetUnknown(const QSet<QByteArray>& names) { m_unknown = names; }

    void ShowOutcome(const CTrialWorker::Outcome& outcome);
    // Forgets the last result and shows `text` in its place.
    void ShowNote(const QString& text);

    QTreeWidget* Recipes() const { return m_recipes; }
    QTreeWidget* Deliveries() const { return m_deliveries; }
    QTreeWidget* Sent() const { return m_sent; }
    QPushButton* ViewSentButton() const { return m_viewSent; }
    QPlainTextEdit* Complaints() const { return m_complaints; }
    QLabel* Note() const { return m_note; }

    void ViewSelectedMail();

private:
    QList<CRecipeListEntry> m_entries;
    QSet<QByteArray> m_unknown;
    QList<QByteArray> m_sentTexts;

    QLabel* m_note;
    QTreeWidget* m_recipes;
    QTreeWidget* m_deliveries;
    QTreeWidget* m_sent;
    QPushButton* m_viewSent;
    QPlainTextEdit* m_complaints;
};
