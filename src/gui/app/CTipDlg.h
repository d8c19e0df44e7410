#pragma once

#include <QDialog>
#include <QStringList>
#include <QWidget>

#include <functional>

class QCheckBox;

// The panel that paints one tip: a grey band with the icon, the heading and the tip's lines.
class CTipPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CTipPanel(QWidget* parent = nullptr);
    // Limits from 1 to 100 characters per line; starts with 50.
    void SetLineLimit(int limit);
    void SetTip(const QString& tip);
    QStringList Lines() const { return m_lines; }

    // Words separated by blanks go onto lines of fewer than `limit` characters (each word counting
    // its length plus one); at most 10 lines, the rest is dropped.
    static QStringList BreakIntoLines(const QString& tip, int limit);
    // The height the current tip needs at the panel's width; the dialog keeps the panel at least
    // as tall as the longest tip needs.
    int RequiredHeight() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int TextHeight(const QStringList& lines, int width) const;

    int m_limit = 50;
    QStringList m_lines;
};

// "Tip of the day".
class CTipDlg : public QDialog
{
    Q_OBJECT

public:
    // `available` tells whether the program performs a command; a tip that sends the user to a
    // command it does not is skipped. Without it every tip is shown.
    explicit CTipDlg(QWidget* parent = nullptr, std::function<bool(int id)> available = {});

    static QString Tip(int index);
    // The commands tip `index` sends the user to.
    static QList<int> TipCommands(int index);
    // The stored next index, wrapped into 0..15.
    static int NextIndex();
    // Shows the next tip the user can follow and advances the stored index past it.
    void ShowNextTip();
    CTipPanel* Panel() const { return m_panel; }
    QCheckBox* ShowAtStartup() const { return m_showAtStartup; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::function<bool(int id)> m_available;
    CTipPanel* m_panel;
    QCheckBox* m_showAtStartup;
};
