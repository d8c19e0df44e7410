#pragma once

#include <QString>

class QObject;
class QWidget;

// Opens help/<topic> (e.g. "log.html") in the program's help browser.
void ShowHelpTopic(QWidget* parent, const QString& topic);

// Gives a window its help topic: F1 anywhere inside it opens that topic.
void SetHelpTopic(QWidget* window, const QString& topic);

// Installs the F1 handling on the application (once, at start-up).
void InstallHelpKey(QObject* application);
