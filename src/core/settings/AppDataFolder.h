#pragma once

#include <QString>

// The folder of ZEPH's own files: the data file of every identity, the identities' registry
// files and their locks. Ends in '/'.
QString GetAppDataFolder();
