#pragma once

#include "core/common/Prompt.h"

// Shows Prompt's boxes as real message boxes on the GUI thread.
class MessageBoxPresenter
{
public:
    static void Install();
    static Prompt::Button Present(const Prompt::Record& record);
};
