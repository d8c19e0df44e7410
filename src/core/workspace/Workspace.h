#pragma once

#include <QString>

// The identity's local folders and files, and the remote directory names. Folder paths end in '/'.
namespace Workspace {

QString GetDocumentFolder(); // computed once and stored into "Settings"/"Document Directory"
bool SetDocumentFolder(const QString& path);
// Creates the recipe file empty when it is missing; tells the user and returns "" on failure.
QString GetRecipeFilePath();
QString GetDataFolder();
QString GetProcmailrcPath();
QString GetForwardPath();
QString GetQmailPath();
QString GetRemoteZephDir();
QString GetRemoteMailDir();

// A new empty file in the system's temporary folder, deleted by DeleteTempFiles at exit.
QString MakeTempFile();
void DeleteTempFiles();

// Creates every folder along a path that ends in '/'; only parts before a '/' are created.
bool CreatePath(const QString& path);
// Creates one folder, telling the user on failure.
bool CreateFolder(const QString& path);
bool FolderExists(const QString& path);
bool FileExists(const QString& path);
bool IsFolderEmpty(const QString& path);
// Moves the folder with its content to the trash.
bool DeleteFolder(const QString& path);

// The reason an identity name cannot be used, or an empty text when it can. `atStartup` selects
// the last line that tells the user how to go on.
QString CheckIdentityName(const QString& name, bool atStartup);

} // namespace Workspace
