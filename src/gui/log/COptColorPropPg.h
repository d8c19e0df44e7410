#pragma once

#include <QList>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QToolButton;

// Options page "Log colors": seven rules, each a field, a text and a colour; an entry whose
// field contains the text is shown in the colour.
class COptColorPropPg : public QWidget
{
    Q_OBJECT

public:
    explicit COptColorPropPg(QWidget* parent = nullptr);

    // Writes the seven rules; true when any of them differs from what the page opened with.
    bool Apply();
    static QString HelpTopic() { return QStringLiteral("optionsColor.html"); }

    // For tests and the keyboard: the controls of rule row n (0 to 6).
    QComboBox* FieldBox(int row) const { return m_rows[row].field; }
    QLineEdit* TextBox(int row) const { return m_rows[row].text; }
    QToolButton* ColourButton(int row) const { return m_rows[row].button; }
    void SetRowColour(int row, quint32 colour);
    quint32 RowColour(int row) const { return m_rows[row].colour; }

private:
    struct Row
    {
        QComboBox* field = nullptr;
        QLineEdit* text = nullptr;
        QToolButton* button = nullptr;
        quint32 colour = 0;
        int openedField = -1;
        QString openedText;
        quint32 openedColour = 0;
    };
    void ChooseColour(int row);

    QList<Row> m_rows;
};
