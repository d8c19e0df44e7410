#pragma once

#include <QList>
#include <QToolBar>

#include <functional>

// A toolbar whose buttons the user chooses (Button Toolbar, Text Toolbar). Its layout is a list of
// command ids (0 for a separator) saved in the identity's registry file under "Settings" with the
// toolbar's value name ("Toolbar", "Text Toolbar").
class CCustomToolBar : public QToolBar
{
    Q_OBJECT

public:
    using ActionLookup = std::function<QAction*(int id)>;

    CCustomToolBar(
        const QString& valueName, const QString& title, ActionLookup lookup, QWidget* parent = nullptr);

    QString ValueName() const { return m_valueName; }
    // The action of a command id, or null.
    QAction* Action(int id) const { return m_lookup(id); }
    // The buttons the customise dialog offers (fixed when the toolbar is made).
    void SetAvailable(const QList<int>& ids) { m_available = ids; }
    QList<int> Available() const { return m_available; }
    QList<int> Layout() const { return m_layout; }
    void SetLayout(const QList<int>& ids);
    // Writes the layout to the registry file; false when that failed.
    bool SaveLayout() const;
    // Reads the saved layout; false (and the layout unchanged) when none or unreadable.
    bool RestoreLayout();
    // Re-adds the buttons, e.g. after the actions' texts changed.
    void Rebuild();

    static QString FormatLayout(const QList<int>& ids);
    static bool ParseLayout(const QString& text, QList<int>* ids);

signals:
    void LayoutChanged();

private:
    QString m_valueName;
    ActionLookup m_lookup;
    QList<int> m_available;
    QList<int> m_layout;
};
