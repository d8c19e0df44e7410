#include "TestEnvironment.h"

#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"

#include <QDir>
#include <QFile>

namespace {

const char* const Variables[] = { "HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR",
    "XDG_CACHE_HOME", "DBUS_SESSION_BUS_ADDRESS" };

} // namespace

TestEnvironment::TestEnvironment()
    : m_saved(QProcessEnvironment::systemEnvironment())
{
    const QString home = m_dir.path();
    QDir(home).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/.local/share")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/.cache")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home + QStringLiteral("/runtime")).toLocal8Bit());
    // Without a session bus the keychain counts as absent: the user's real one stays untouched.
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

TestEnvironment::~TestEnvironment()
{
    for (const char* name : Variables) {
        const QString key = QLatin1String(name);
        if (m_saved.contains(key))
            qputenv(name, m_saved.value(key).toLocal8Bit());
        else
            qunsetenv(name);
    }
}

QString TestEnvironment::DataFilePath() const
{
    return m_dir.path() + QStringLiteral("/.local/share/ZEPH/zeph.dat");
}

QProcessEnvironment TestEnvironment::ProcessEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : Variables)
        env.insert(QLatin1String(name), qEnvironmentVariable(name));
    return env;
}

void StartFreshIdentity()
{
    CAppState& state = CAppState::Instance();
    state.SetDataFilePath(QString());
    state.SetIdentity(QStringLiteral("Default"));
    state.Reset();
    Prompt::ClearHistory();
}
