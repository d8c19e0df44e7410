#pragma once

#include <QDialog>

class QTextBrowser;

// The in-program help viewer for the pages under :/help/.
class HelpBrowser : public QDialog
{
    Q_OBJECT

public:
    static HelpBrowser* Instance();
    void ShowTopic(const QString& topic);
    QString CurrentTopic() const { return m_topic; }

private:
    explicit HelpBrowser(QWidget* parent = nullptr);

    QTextBrowser* m_browser;
    QString m_topic;
};
