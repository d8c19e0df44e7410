#pragma once

#include <QWidget>

class QPushButton;
class QTreeWidget;

// Options page "Identities": the identities that have a record, launchers for a new one, and
// deleting one with everything that belongs to it. Its actions take effect at once.
class COptUsersPropPg : public QWidget
{
    Q_OBJECT
public:
    explicit COptUsersPropPg(QWidget* parent = nullptr);

    enum Control : int { IdentityList = 1297, CreateButton = 1299, DeleteButton = 1007 };
    QTreeWidget* List() const { return m_list; }
    QPushButton* Button(int id) const;

    // Writes this identity's record, so that the data file lists it, and fills the list.
    void Refill();

    static QString HelpTopic() { return QStringLiteral("optionsIdentities.html"); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createIdentity();
    void deleteIdentity();

    QTreeWidget* m_list;
    QPushButton* m_create;
    QPushButton* m_delete;
    bool m_filled = false;
};
