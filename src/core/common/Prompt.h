#pragma once

#include <QList>
#include <QString>

#include <functional>

// Every message box and question of the program goes through Prompt. The GUI installs a
// presenter that shows a real box; tests queue answers in advance and read back what was asked;
// without a presenter (command line) the text goes to stderr and the default button is taken.
class Prompt
{
public:
    enum Icon { NoIcon, Information, Question, Warning, Stop };
    enum Button {
        NoButton = 0,
        Ok = 0x1,
        Cancel = 0x2,
        Yes = 0x4,
        No = 0x8,
        Retry = 0x10,
        Abort = 0x20,
        Ignore = 0x40,
    };
    Q_DECLARE_FLAGS(Buttons, Button)

    struct Record
    {
        QString caption;
        QString text;
        Icon icon = NoIcon;
        Buttons buttons = Ok;
        Button defaultButton = Ok;
        QString helpTopic;
        // A question with a check box: its text and its value when the question was asked.
        QString checkBoxText;
        bool checkBoxValue = false;
    };

    using Presenter = std::function<Button(const Record&)>;

    // Shows the box and returns the button that closed it.
    static Button Ask(const Record& record);
    static Button Ask(const QString& text, const QString& caption, Icon icon, Buttons buttons = Ok,
        Button defaultButton = NoButton);
    // Like Ask, but a box of the caller's own (e.g. a dialog with a check box) is shown in place
    // of the installed presenter; queued answers and the history work as for every box.
    static Button Ask(const Record& record, const Presenter& ownPresenter);
    // Shorthand for a box with an OK button only.
    static void Tell(const QString& text, const QString& caption, Icon icon);

    static void SetPresenter(Presenter presenter);

    // Test seams: queued answers are used first (in order) and no presenter is called.
    static void QueueAnswer(Button answer);
    static QList<Record> History();
    static void ClearHistory();
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Prompt::Buttons)
