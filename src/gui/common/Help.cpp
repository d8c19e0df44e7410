#include "gui/common/Help.h"

#include "gui/common/HelpBrowser.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVariant>
#include <QWidget>

namespace {

const char TopicProperty[] = "zephHelpTopic";

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
