#pragma once

#include <QDialog>
#include <QList>

#include <functional>

class QPushButton;
class QTabWidget;

// The Options sheet: the preferences of the current identity on pages that the features
// contribute (the log viewer its two pages, the options feature "Files", "Misc" and
// "Identities"), shown in the order of their index. OK (and Apply, where the sheet has it) has
// every page store its values; Cancel stores nothing that a page has not stored at once.
class COptPropSheet : public QDialog
{
    Q_OBJECT
public:
    // Where each page goes.
    enum PageIndex : int {
        LogFilesPage = 0,
        LogColorsPage = 1,
        FilesPage = 2,
        MiscPage = 3,
        IdentitiesPage = 4
    };

    struct Page
    {
        QWidget* widget = nullptr;
        // Stores the page's values; false keeps the sheet open (the page has told why).
        std::function<bool()> apply;
        QString helpTopic;
    };
    using PageFactory = std::function<Page(QWidget* parent)>;

    // A feature contributes a page once, at start-up; a later call for the same index replaces it.
    static void RegisterPage(int index, const QString& tabText, PageFactory factory);

    // `firstPage` is an index of PageIndex; the Apply button only where `withApply`.
    COptPropSheet(const QString& caption, QWidget* parent, int firstPage, bool withApply);

    QTabWidget* Tabs() const { return m_tabs; }
    QPushButton* ApplyButton() const { return m_apply; }
    // The page registered under `index`, or null.
    QWidget* PageWidget(int index) const;
    template <typename T> T* FindPage() const
    {
        for (const Shown& shown : m_pages) {
            if (T* page = qobject_cast<T*>(shown.page.widget))
                return page;
        }
        return nullptr;
    }

    // Stores every page; false when a page refused.
    bool ApplyAll();
    void accept() override;

    static QString HelpTopic() { return QStringLiteral("options.html"); }

private:
    struct Shown
    {
        int index;
        Page page;
    };
    QTabWidget* m_tabs;
    QPushButton* m_apply = nullptr;
    QList<Shown> m_pages;
};
