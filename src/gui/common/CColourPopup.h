#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

// The palette that a colour button opens: 40 named colours in 8 columns, with an optional
// "automatic" entry above and a "custom colour" entry below. Colour values are 0x00RRGGBB;
// AutomaticColour stands for the automatic entry.
class CColourPopup : public QWidget
{
    Q_OBJECT

public:
    static constexpr quint32 AutomaticColour = 0xFF000000u;

    struct NamedColour
    {
        const char* name;
        int red, green, blue;
    };
    static const QList<NamedColour>& Palette();

    CColourPopup(const QPoint& at, quint32 current, const QString& automaticText, const QString& customText,
        QWidget* owner);

    // -1 automatic, 0..39 a cell, 40 custom; -2 nothing.
    int Highlight() const { return m_highlight; }
    int CurrentEntry() const { return m_current; }
    void MoveHighlight(int key);
    void AcceptHighlight();
    void Cancel();
    // Tests answer the custom colour dialog with this (an invalid colour cancels).
    static void SetCustomColourChooser(QColor (*chooser)(const QColor&));

signals:
    void ColourChanged(quint32 colour);
    void ColourAccepted(quint32 colour);
    void ColourCancelled(quint32 colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QRect cellRect(int index) const;
    QRect automaticRect() const;
    QRect customRect() const;
    int entryAt(const QPoint& point) const;
    quint32 colourOf(int entry) const;
    void setHighlight(int entry);
    void finish(bool accepted, quint32 colour);

    quint32 m_initial;
    QString m_automaticText;
    QString m_customText;
    int m_highlight = -2;
    int m_current = -2;
    int m_cell = 18;
    int m_margin = 2;
    int m_entryHeight = 0;
    bool m_finished = false;
};
