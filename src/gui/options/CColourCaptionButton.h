#pragma once

#include <QPushButton>

// A push button that shows a colour and edits it: either its caption is drawn in the colour (a
// text colour) or its face is (a background colour). A click opens the colour palette. Colours
// are Windows colour references (red in the low byte), as the settings keep them; the automatic
// choice is 0xFF000000 and is drawn in black as text, in the button face colour as background.
class CColourCaptionButton : public QPushButton
{
    Q_OBJECT
public:
    enum Role { TextColour, BackgroundColour };
    static constexpr quint32 Automatic = 0xFF000000u;

    CColourCaptionButton(const QString& caption, Role role, QWidget* parent);

    quint32 Colour() const { return m_colour; }
    void SetColour(quint32 colourReference);

    // Between colour references and the palette's 0x00RRGGBB values; Automatic stays as it is.
    static quint32 ToRgb(quint32 colourReference);
    static quint32 FromRgb(quint32 rgb);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void choose();

    Role m_role;
    quint32 m_colour = Automatic;
};
