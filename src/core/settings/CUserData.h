#pragma once

#include "core/settings/CFontDescription.h"
#include "core/settings/Serializable.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct CStringSection
{
    QString name;
    QList<QPair<QString, QString>> entries;
};

struct CStringArraySection
{
    QString name;
    QStringList values;
};

struct CIntArraySection
{
    QString name;
    QList<qint32> values;
};

// Kept only so that a file holding such sections still holds them after a save.
struct CByteArraySection
{
    QString name;
    QByteArray values;
};

// All settings of one identity. Names and keys compare without regard to case; the first match
// wins; a setter appends what it does not find, so the file keeps the order of first use.
class CUserData : public Serializable
{
public:
    QString name;
    QList<CStringSection> stringSections;
    QList<CStringArraySection> stringArraySections;
    QList<CIntArraySection> intArraySections;
    QList<CByteArraySection> byteArraySections;

    QString GetString(
        const QString& section, const QString& key, const QString& defaultValue = QString()) const;
    bool SetString(const QString& section, const QString& key, const QString& value);
    int GetInt(const QString& section, const QString& key, int defaultValue) const;
    bool SetInt(const QString& section, const QString& key, int value);
    bool GetTime(const QString& section, const QString& key, QDateTime* time) const;
    bool SetTime(const QString& section, const QString& key, const QDateTime& time);
    bool GetFont(const QString& section, const QString& key, CFontDescription* font) const;
    bool SetFont(const QString& section, const QString& key, const CFontDescription& font);
    bool DeleteKey(const QString& section, const QString& key);

    bool GetStringArray(const QString& name, QStringList* list) const;
    bool SetStringArray(const QString& name, const QStringList& list);
    bool DeleteStringArray(const QString& name);
    bool GetIntArray(const QString& name, QList<qint32>* list) const;
    bool SetIntArray(const QString& name, const QList<qint32>& list);

    void Store(CArchive& archive) const override;
    bool Load(CArchive& archive) override;

    // The text forms of times and fonts, shared with whoever parses settings by hand.
    static QString FormatTime(const QDateTime& time);
    static bool ParseTime(const QString& text, QDateTime* time);
    static QString FormatFont(const CFontDescription& font);
    static bool ParseFont(const QString& text, CFontDescription* font);
    // The C library's text-to-integer rule: blanks, sign, digits; 0 when none.
    static int LeadingInt(const QString& text);
};
