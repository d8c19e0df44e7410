#pragma once

#include <QString>

// A font as the settings store keeps it: the fourteen values of a logical font description.
struct CFontDescription
{
    qint32 height = 0;
    qint32 width = 0;
    qint32 escapement = 0;
    qint32 orientation = 0;
    qint32 weight = 0;
    quint8 italic = 0;
    quint8 underline = 0;
    quint8 strikeOut = 0;
    quint8 charSet = 0;
    quint8 outPrecision = 0;
    quint8 clipPrecision = 0;
    quint8 quality = 0;
    quint8 pitchAndFamily = 0;
    QString faceName; // at most 31 characters are kept

    bool operator==(const CFontDescription&) const = default;
};
