#include "gui/common/Help.h"

#include "gui/common/HelpBrowser.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

namespace {

const char TopicProperty[] = "zephHelpTopic";

std::function<bool(int id)>& commandTest()
{
    static std::function<bool(int id)> performed;
    return performed;
}

// F1 opens the topic of the innermost window around the focus that has one.
class HelpKeyFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1
            || static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier)
            return QObject::eventFilter(watched, event);
        QWidget* widget = QApplication::focusWidget();
        if (!widget)
            widget = QApplication::activeWindow();
        for (; widget; widget = widget->parentWidget()) {
            const QString topic = widget->property(TopicProperty).toString();
            if (!topic.isEmpty()) {
                ShowHelpTopic(widget->window(), topic);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void ShowHelpTopic(QWidget*, const QString& topic)
{
    HelpBrowser::Instance()->ShowTopic(topic);
}

void SetHelpTopic(QWidget* window, const QString& topic)
{
    window->setProperty(TopicProperty, topic);
}

void InstallHelpKey(QObject* application)
{
    application->installEventFilter(new HelpKeyFilter(application));
}

void SetHelpCommandTest(std::function<bool(int id)> performed)
{
    commandTest() = std::move(performed);
}

QString FilterHelpPage(const QString& html)
{
    static const QRegularExpression passage(
        QStringLiteral("<!--(no-)?command (\\d+)[^>]*-->(.*?)<!--/command-->"),
        QRegularExpression::DotMatchesEverythingOption);
    QString page;
    qsizetype done = 0;
    QRegularExpressionMatchIterator it = passage.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        page += html.mid(done, match.capturedStart() - done);
        const bool performed = !commandTest() || commandTest()(match.captured(2).toInt());
        if (performed != match.hasCaptured(1))
            page += match.captured(3);
        done = match.capturedEnd();
    }
    return page + html.mid(done);
}
