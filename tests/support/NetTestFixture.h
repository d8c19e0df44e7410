#pragma once

#include <QByteArray>
#include <QString>

class TestFtpServer;

// Shared pieces of the tests of the remote operations.

// The bytes of a file, or "<missing>" when it cannot be read.
QByteArray ReadTestFile(const QString& path);
// Replaces a file's content; false when it cannot be written whole.
bool WriteTestFile(const QString& path, const QByteArray& bytes);
// The permission bits of a file or folder, or -1.
int FileMode(const QString& path);

// Points the connection settings at `server` on 127.0.0.1 with its user, passive or active, and
// its TLS mode.
void UseServerSettings(const TestFtpServer& server, bool passive);
// Starts `server`, points the settings at it (passive) and saves its password. False with a
// warning that says what went wrong.
bool StartServerForSettings(TestFtpServer& server);
