#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A real X display for the tests that need one: Xvfb on a free display number with a small
// window manager (openbox), so that windows get focus and closing a window goes through the
// window manager as it does on a desktop. Both are stopped by their process ids.
class XSession
{
public:
    XSession() = default;
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // False with a message naming the missing Debian package or what went wrong.
    bool Start(QString* error);
    // `base` with DISPLAY set and the xcb platform chosen.
    QProcessEnvironment Environment(QProcessEnvironment base) const;
    QString Display() const { return m_display; }

    // Runs xdotool with the arguments; its output, or a null array when it failed.
    QByteArray XDoTool(const QStringList& arguments, int timeoutMs = 10000) const;
    // The id of the first visible window whose title matches `pattern` (a regular expression),
    // waiting up to `timeoutMs`; empty when there is none.
    QString WaitForWindow(const QString& pattern, int timeoutMs = 20000) const;

private:
    static void stop(QProcess& process);

    QString m_display;
    QTemporaryDir m_dir;
    QProcess m_server;
    QProcess m_windowManager;
};
