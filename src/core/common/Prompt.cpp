#include "core/common/Prompt.h"

#include <QMutex>
#include <QMutexLocker>

#include <cstdio>

namespace {

struct PromptState
{
    QMutex mutex;
    Prompt::Presenter presenter;
    QList<Prompt::Button> answers;
    QList<Prompt::Record> history;
};

PromptState& state()
{
    static PromptState s;
    return s;
}

Prompt::Button firstButton(Prompt::Buttons buttons)
{
    for (Prompt::Button b : { Prompt::Ok, Prompt::Yes, Prompt::Retry, Prompt::No, Prompt::Cancel,
             Prompt::Abort, Prompt::Ignore }) {
        if (buttons.testFlag(b))
            return b;
    }
    return Prompt::Ok;
}

} // namespace

Prompt::Button Prompt::Ask(const Record& given)
{
    return Ask(given, Presenter());
}

Prompt::Button Prompt::Ask(const Record& given, const Presenter& ownPresenter)
{
    Record record = given;
    if (record.defaultButton == NoButton || !record.buttons.testFlag(record.defaultButton))
        record.defaultButton = firstButton(record.buttons);

    Presenter presenter;
    {
        PromptState& s = state();
        QMutexLocker lock(&s.mutex);
        s.history.append(record);
        if (!s.answers.isEmpty())
            return s.answers.takeFirst();
        presenter = ownPresenter ? ownPresenter : s.presenter;
    }
    if (presenter)
        return presenter(record);

    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(record.caption), qUtf8Printable(record.text));
    return record.defaultButton;
}

Prompt::Button Prompt::Ask(
    const QString& text, const QString& caption, Icon icon, Buttons buttons, Button defaultButton)
{
    Record record;
    record.text = text;
    record.caption = caption;
    record.icon = icon;
    record.buttons = buttons;
    record.defaultButton = defaultButton;
    return Ask(record);
}

void Prompt::Tell(const QString& text, const QString& caption, Icon icon)
{
    Ask(text, caption, icon, Ok, Ok);
}

void Prompt::SetPresenter(Presenter presenter)
{
    QMutexLocker lock(&state().mutex);
    state().presenter = std::move(presenter);
}

void Prompt::QueueAnswer(Button answer)
{
    QMutexLocker lock(&state().mutex);
    state().answers.append(answer);
}

QList<Prompt::Record> Prompt::History()
{
    QMutexLocker lock(&state().mutex);
    return state().history;
}

void Prompt::ClearHistory()
{
    QMutexLocker lock(&state().mutex);
    state().history.clear();
    state().answers.clear();
}
