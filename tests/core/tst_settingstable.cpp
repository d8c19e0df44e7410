#include "TestEnvironment.h"
#include "core/settings/CAppState.h"
#include "core/settings/CFontDescription.h"
#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"

#include <QSet>
#include <QTest>

#include <memory>

namespace {

// A family's rows are checked with one member; "%1" is filled like the program fills it.
SettingRef refOf(const SettingKey& row)
{
    const bool family = QLatin1String(row.key).contains(QLatin1String("%1"));
    return SettingRef(row.id, family ? QStringLiteral("3") : QString());
}

QString describe(const SettingKey& row)
{
    return QStringLiteral("%1 / %2").arg(QLatin1String(row.section), QLatin1String(row.key));
}

} // namespace

// Every row of the one settings table: its default reads back as its type, a written value reads
// back, and no two rows share a stored name (the store ignores letter case).
class TestSettingsTable : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
    }

    void cleanup() { m_env.reset(); }

    void everyRowHasOneStoredName()
    {
        QSet<QString> seen;
        for (int i = 0; i < Settings::Count; ++i) {
            const SettingKey& row = SettingRows()[i];
            QCOMPARE(row.id, i);
            QVERIFY2(qstrlen(row.key) > 0, qPrintable(describe(row)));
            const bool array = row.type == SettingType::IntArray || row.type == SettingType::StringArray;
            // Arrays have a name space of their own; everything else lives in a section.
            QCOMPARE(qstrlen(row.section) == 0, array);
            const QString kind = array ? (row.type == SettingType::IntArray ? QStringLiteral("int array")
                                                                            : QStringLiteral("string array"))
                                       : QStringLiteral("value");
            const QString name = (kind + QLatin1Char('|') + describe(row)).toCaseFolded();
            QVERIFY2(!seen.contains(name), qPrintable(QStringLiteral("stored twice: ") + describe(row)));
            seen.insert(name);
        }
    }

    void defaultsReadBackAsTheirType()
    {
        for (int i = 0; i < Settings::Count; ++i) {
            const SettingKey& row = SettingRows()[i];
            const QString fallback = QLatin1String(row.defaultValue);
            const SettingRef ref = refOf(row);
            switch (row.type) {
            case SettingType::Int: {
                // The stored text is exactly the number the program uses.
                bool ok = false;
                const int value = fallback.toInt(&ok);
                QVERIFY2(ok, qPrintable(describe(row)));
                QCOMPARE(GetSetting(ref), value);
                break;
            }
            case SettingType::String:
                QCOMPARE(GetSettingString(ref), fallback);
                break;
            case SettingType::Time: {
                QDateTime parsed;
                QVERIFY2(CUserData::ParseTime(fallback, &parsed), qPrintable(describe(row)));
                QCOMPARE(GetSettingTime(ref), parsed);
                break;
            }
            case SettingType::Font:
                // No stored font means the system's; the default is empty.
                QVERIFY2(fallback.isEmpty(), qPrintable(describe(row)));
                break;
            case SettingType::IntArray:
                QVERIFY(fallback.isEmpty());
                QVERIFY(GetSettingIntArray(row.id).isEmpty());
                break;
            case SettingType::StringArray:
                QVERIFY(fallback.isEmpty());
                QVERIFY(GetSettingStringArray(row.id).isEmpty());
                break;
            }
        }
    }

    void writesReadBackUnderTheStoredName()
    {
        const QDateTime time(QDate(2026, 3, 4), QTime(5, 6, 7));
        for (int i = 0; i < Settings::Count; ++i) {
            const SettingKey& row = SettingRows()[i];
            const SettingRef ref = refOf(row);
            const QString section = QLatin1String(row.section);
            const QString key = SettingName(row.id, ref.arg);
            const CUserData& data = CurrentUserData();
            switch (row.type) {
            case SettingType::Int:
                QVERIFY(SetSetting(ref, 4711 + i));
                QCOMPARE(GetSetting(ref), 4711 + i);
                QCOMPARE(data.GetInt(section, key, -1), 4711 + i);
                QVERIFY(DeleteSetting(ref));
                QCOMPARE(GetSetting(ref), QLatin1String(row.defaultValue).toInt());
                break;
            case SettingType::String:
                QVERIFY(SetSetting(ref, QStringLiteral("v\u00e4lue %1").arg(i)));
                QCOMPARE(GetSettingString(ref), QStringLiteral("v\u00e4lue %1").arg(i));
                QCOMPARE(data.GetString(section, key), QStringLiteral("v\u00e4lue %1").arg(i));
                break;
            case SettingType::Time: {
                QVERIFY(SetSettingTime(ref, time));
                QCOMPARE(GetSettingTime(ref), time);
                QDateTime stored;
                QVERIFY(data.GetTime(section, key, &stored));
                QCOMPARE(stored, time);
                break;
            }
            case SettingType::Font: {
                CFontDescription font;
                font.height = -13;
                font.faceName = QStringLiteral("Mono");
                QVERIFY(CurrentUserData().SetFont(section, key, font));
                CFontDescription back;
                QVERIFY(data.GetFont(section, key, &back));
                QCOMPARE(back, font);
                break;
            }
            case SettingType::IntArray: {
                QVERIFY(SetSettingIntArray(row.id, { 3, -1, i }));
                QCOMPARE(GetSettingIntArray(row.id), QList<qint32>({ 3, -1, i }));
                QList<qint32> stored;
                QVERIFY(data.GetIntArray(key, &stored));
                QCOMPARE(stored, QList<qint32>({ 3, -1, i }));
                break;
            }
            case SettingType::StringArray: {
                const QStringList values { QStringLiteral("a"), QString(), QStringLiteral("c %1").arg(i) };
                QVERIFY(SetSettingStringArray(row.id, values));
                QStringList stored;
                QVERIFY(data.GetStringArray(key, &stored));
                QCOMPARE(stored.size(), 3);
                QCOMPARE(GetSettingStringArray(row.id).size(), 3);
                QCOMPARE(stored.last(), values.last());
                break;
            }
            }
        }
    }

    void familiesFillInTheirArgument()
    {
        // The stored names of families, as they are in existing settings files.
        QCOMPARE(SettingName(Settings::UploadMenuName, QStringLiteral("0")), QStringLiteral("0MenuName"));
        QCOMPARE(SettingSection(Settings::DownloadMenuRemoteFile), QStringLiteral("Menus\\Download"));
        QCOMPARE(
            SettingName(Settings::LogColourRuleText, QStringLiteral("7")), QStringLiteral("Color7 string"));
        QCOMPARE(
            SettingName(Settings::DialogWidth, QStringLiteral("Dlg#129 ")), QStringLiteral("Dlg#129 Width"));
        QVERIFY(SetSetting({ Settings::LogColourRuleField, QStringLiteral("2") }, 4));
        QCOMPARE(
            CurrentUserData().GetInt(QStringLiteral("log settings"), QStringLiteral("COLOR2 COMBO"), -1), 4);
        QCOMPARE(GetSetting({ Settings::LogColourRuleField, QStringLiteral("3") }), -1);
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_GUILESS_MAIN(TestSettingsTable)
#include "tst_settingstable.moc"
