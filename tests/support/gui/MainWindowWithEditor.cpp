#include "support/gui/MainWindowWithEditor.h"

#include "gui/editor/TextEditorRegistration.h"

MainWindowWithEditor::MainWindowWithEditor()
{
    RegisterTextEditor(Shell());
}
