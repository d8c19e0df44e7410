#pragma once

#include <QColor>
#include <QWidget>

// A progress bar that draws itself and can write the percentage in its middle.
class CPercentProgressCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CPercentProgressCtrl(QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    // Returns the previous position.
    int SetPos(int position);
    int Pos() const { return m_pos; }
    int OffsetPos(int delta) { return SetPos(m_pos + delta); }
    void SetStep(int step) { m_step = step; }
    int StepIt() { return SetPos(m_pos + m_step); }
    void SetShowPercent(bool show);
    void SetCustomText(const QString& text);
    void SetBarColour(const QColor& colour);
    void SetBackgroundColour(const QColor& colour);
    void SetTextColours(const QColor& text, const QColor& textOverBar);
    // The text drawn in the bar ("%d%%" of the position, or the custom text).
    QString Text() const;
    int Percent() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override { return { 200, 20 }; }

private:
    int m_lower = 0;
    int m_upper = 100;
    int m_pos = 0;
    int m_step = 10;
    bool m_showPercent = false;
    QString m_customText;
    QColor m_bar;
    QColor m_background;
    QColor m_text;
    QColor m_textOverBar;
};
