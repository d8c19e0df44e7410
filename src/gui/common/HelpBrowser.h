#pragma once

#include <QDialog>
#include <QPointer>

class QTextBrowser;

// The in-program help viewer for the pages under :/help/.
class HelpBrowser : public QDialog
{
    Q_OBJECT

public:
    static HelpBrowser* Instance();
    void ShowTopic(const QString& topic);
    QString CurrentTopic() const { return m_topic; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit HelpBrowser(QWidget* parent = nullptr);
    void FollowModalDialog();

    QTextBrowser* m_browser;
    QString m_topic;
    QPointer<QWidget> m_owner; // the modal dialog help was asked for over
};
