#pragma once

class CArchive;

// A record of the data files: stored into and loaded from a CArchive.
class Serializable
{
public:
    virtual ~Serializable() = default;
    virtual void Store(CArchive& archive) const = 0;
    // False when the bytes do not hold a valid record; the archive then says why.
    virtual bool Load(CArchive& archive) = 0;
};
