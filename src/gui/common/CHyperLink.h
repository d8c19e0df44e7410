#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

// A text that opens a web or mail address when clicked.
class CHyperLink : public QLabel
{
    Q_OBJECT

public:
    explicit CHyperLink(QWidget* parent = nullptr);

    // Sets the address; "www." gets "http://" in front; an empty text shows the address.
    void SetURL(const QString& url);
    QString URL() const { return m_url; }
    // -1 underlines only under the mouse (default), 1 always, 0 never.
    void SetUnderline(int mode);
    void SetAutoSize(bool autoSize);
    bool Visited() const { return m_visited; }
    bool Hover() const { return m_hover; }
    QColor CurrentColour() const;

    // "Go to ...", "E-mail ..." or the address.
    static QString TooltipFor(const QString& url);
    // Opens the address; false with the message shown when that failed.
    bool Open();
    // Opens any address the same way (the shell's "open" action, or the tests' opener).
    static bool OpenAddress(const QString& url);

    // Tests replace the platform's "open" action.
    static void SetOpener(bool (*opener)(const QString& url));

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void applyLook();

    QString m_url;
    QColor m_link { 0, 0, 238 };
    QColor m_visitedColour { 85, 26, 139 };
    QColor m_hoverColour { 255, 0, 0 };
    bool m_visited = false;
    bool m_hover = false;
    int m_underline = -1;
    bool m_autoSize = false;
};
