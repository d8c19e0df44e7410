#pragma once

#include <QDialog>

class COptColorPropPg;
class COptLogPropPg;
class QTabWidget;

// The Options sheet with the two log pages, as the log view's Options command opens it. OK
// writes both pages and brings every open log list up to date.
class CLogOptionsSheet : public QDialog
{
    Q_OBJECT

public:
    explicit CLogOptionsSheet(QWidget* parent = nullptr);
    COptLogPropPg* LogPage() const { return m_logPage; }
    COptColorPropPg* ColourPage() const { return m_colourPage; }
    QTabWidget* Tabs() const { return m_tabs; }

    void accept() override;

private:
    QTabWidget* m_tabs;
    COptLogPropPg* m_logPage;
    COptColorPropPg* m_colourPage;
};
