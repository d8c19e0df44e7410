#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// Options page "Log files": how log lists size their columns and show dates, tips and grid
// lines, and what happens to the remote log.
class COptLogPropPg : public QWidget
{
    Q_OBJECT

public:
    explicit COptLogPropPg(QWidget* parent = nullptr);

    struct Changes
    {
        bool gridLinesClicked = false;
        bool columnSizingClicked = false;
    };
    // Writes every setting of the page; says which choices the user touched.
    Changes Apply();
    static QString HelpTopic() { return QStringLiteral("optionsLog.html"); }
    // "12/01/07" and its siblings for a format and a one-character separator.
    static QString ExampleText(int format, const QString& separator);

private:
    void UpdateExample();

    QRadioButton* m_fitColumns;
    QRadioButton* m_savedColumns;
    QCheckBox* m_alwaysText;
    QCheckBox* m_gridLines;
    QCheckBox* m_tooltips;
    QCheckBox* m_deleteRemote;
    QCheckBox* m_warn;
    QSpinBox* m_warnDays;
    QComboBox* m_format;
    QLineEdit* m_separator;
    QLabel* m_example;
    bool m_gridClicked = false;
    bool m_sizingClicked = false;
};
