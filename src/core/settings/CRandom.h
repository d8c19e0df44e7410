#pragma once

#include <QByteArray>
#include <QtGlobal>

// The program's shared pseudo-random generator. Its three state words are shared by every
// instance: seeding one reseeds them all. Not for secrets: the ciphers take their IVs and padding
// from the system's secure generator; this one only makes the fillers of the data files.
class CRandom
{
public:
    // A value of 0 seeds from the millisecond tick count.
    void Seed(quint32 value);
    quint32 Next();
    quint32 Below(quint32 n);
    QByteArray RandomString(int minLength, int maxLength);
};
