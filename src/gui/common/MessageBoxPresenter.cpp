#include "gui/common/MessageBoxPresenter.h"

#include "gui/common/Help.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct ButtonPair
{
    Prompt::Button prompt;
    QMessageBox::StandardButton box;
};

constexpr ButtonPair Buttons[] = {
    { Prompt::Ok, QMessageBox::Ok },
    { Prompt::Yes, QMessageBox::Yes },
    { Prompt::No, QMessageBox::No },
    { Prompt::Retry, QMessageBox::Retry },
    { Prompt::Cancel, QMessageBox::Cancel },
    { Prompt::Abort, QMessageBox::Abort },
    { Prompt::Ignore, QMessageBox::Ignore },
};

QMessageBox::Icon iconFor(Prompt::Icon icon)
{
    switch (icon) {
    case Prompt::Information:
        return QMessageBox::Information;
    case Prompt::Question:
        return QMessageBox::Question;
    case Prompt::Warning:
        return QMessageBox::Warning;
    case Prompt::Stop:
        return QMessageBox::Critical;
    case Prompt::NoIcon:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void MessageBoxPresenter::Install()
{
    Prompt::SetPresenter(&MessageBoxPresenter::Present);
}

Prompt::Button MessageBoxPresenter::Present(const Prompt::Record& record)
{
    QMessageBox box(iconFor(record.icon), record.caption, record.text, QMessageBox::NoButton,
        QApplication::activeWindow());
    for (const ButtonPair& pair : Buttons) {
        if (record.buttons.testFlag(pair.prompt))
            box.addButton(pair.box);
    }
    for (const ButtonPair& pair : Buttons) {
        if (pair.prompt == record.defaultButton)
            box.setDefaultButton(pair.box);
    }
    if (!record.helpTopic.isEmpty())
        SetHelpTopic(&box, record.helpTopic);
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const ButtonPair& pair : Buttons) {
        if (pair.box == clicked)
            return pair.prompt;
    }
    return record.buttons.testFlag(Prompt::Cancel) ? Prompt::Cancel
        : record.buttons.testFlag(Prompt::No)      ? Prompt::No
                                                   : record.defaultButton;
}
