#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What the temporary recipe can fetch from the host: procmail's version and the manual pages of
// procmail and its tools, each as a text file in the login directory that is then downloaded into
// the Document Folder under the same name.
namespace ManPageFiles {

constexpr int Count = 11;
// Item 0 is the version; items 1 to 10 are manual pages (and sysexits.h).
constexpr int VersionItem = 0;

QString ListText(int item);
QString FileName(int item);
// The local copy in the Document Folder.
QString LocalPath(int item);

struct Request
{
    bool versionMode = false; // the version only; otherwise the selected items
    QList<bool> selected = QList<bool>(Count, false);
    QByteArray fromAddress; // the user's own address, which triggers the recipe
    bool verbose = false; // "Setup"/"Verbose On"
    bool logging = true; // "Setup"/"Logging On"
};

// The temporary recipe: it acts on every message whose From: line holds the address (written as
// a regular expression that matches exactly that text) and writes the files of the request into
// $HOME, delivering nothing. `downloads` gets the file names in the order their lines were added.
QByteArray BuildRecipe(const Request& request, QStringList* downloads);

} // namespace ManPageFiles
