#pragma once

#include "core/settings/CUserData.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What the user does with identities as a whole: launchers that start the program for a new
// identity, deleting an identity with everything that belongs to it, and the clean-up of an
// uninstall. An identity has no record until the program has run for it once; creating one only
// writes its launchers.
namespace Identities {

// Launchers are ".desktop" files: on the desktop (the XDG desktop folder) and in the user's
// applications menu (~/.local/share/applications).
enum class Place { Desktop, Menu };

// The folder, ending in '/'; empty when there is none (no desktop folder).
QString LauncherFolder(Place place);
// "ZEPH <name>.desktop" in that folder; empty when there is no folder.
QString LauncherPath(Place place, const QString& name);
// The launcher's text: it runs `program` with the one parameter "-<name>".
QByteArray LauncherText(const QString& program, const QString& name);
// The program the launchers start: this executable unless a test points elsewhere.
QString LauncherProgram();
void SetLauncherProgram(const QString& path);

// Writes (or replaces) the identity's launcher; false when it cannot.
bool CreateShortcut(Place place, const QString& name);
// Moves the identity's launcher to the trash; true when there is none.
bool DeleteShortcut(Place place, const QString& name);

// How many files the identity's remote-files record still lists on the host, the procmail log
// and its old copy not counted (procmail writes them again).
int CountRemoteFiles(const QString& name);

// The reason the identity cannot be deleted now, or empty: the identity of this instance, or one
// whose instance lock another running copy holds, would write its record back at exit.
QString InUseReason(const QString& name);

// Deletes the identity after asking about its remote files, its recipe data files and its local
// files: its launchers, its records in the data file, its empty folders and its registry file.
// True only when its records were removed; every refusal and failure has been told.
bool DeleteIdentity(const QString& name);

// The whole work of an uninstall run: every identity's files (as the user allows), launchers,
// the data file, the registry files and the empty folders.
void UninstallCleanup();

// The shared steps of the two procedures above.
void AskDeleteRecipeDataFiles(const QList<CUserData>& records, bool forOne);
void AskDeleteLocalFiles(const QList<CUserData>& records, bool forOne);
void RemoveEmptyFolders(const QList<CUserData>& records);

// The local files the program may make in a Document Folder, in the order they are deleted.
const QStringList& LocalFileNames();

} // namespace Identities
