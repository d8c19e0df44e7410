#include "MainWindowWithEditor.h"

#include "gui/editor/TextEditorRegistration.h"

MainWindowWithEditor::MainWindowWithEditor()
{
    RegisterTextEditor(Shell());
}
