#pragma once

#include <QString>

#include <functional>

class QObject;
class QWidget;

// Opens help/<topic> (e.g. "log.html") in the program's help browser.
void ShowHelpTopic(QWidget* parent, const QString& topic);

// Gives a window its help topic: F1 anywhere inside it opens that topic.
void SetHelpTopic(QWidget* window, const QString& topic);

// Installs the F1 handling on the application (once, at start-up).
void InstallHelpKey(QObject* application);

// Help pages send the user only to commands the program performs. A passage of a page between
// "<!--command ID-->" and "<!--/command-->" is shown only while `performed(ID)` holds, one
// between "<!--no-command ID-->" and "<!--/command-->" only while it does not. The main window
// sets the test while it lives; without one every passage marked "command" is shown.
void SetHelpCommandTest(std::function<bool(int id)> performed);
QString FilterHelpPage(const QString& html);
