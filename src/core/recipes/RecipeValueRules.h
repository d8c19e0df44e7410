#pragma once

#include <QByteArray>
#include <QString>

// Checks on single values of a recipe definition that both the rule set and the wizard pages
// make: the pages show the texts at once, the rule set refuses the same values in loaded files.
namespace RecipeValueRules {

// A recipe name the data file could not be named after, or that ZEPH keeps for itself.
struct NameProblem
{
    enum Kind { None, Empty, Character, ReservedPrefix, DeviceName, TooLong };
    Kind kind = None;
    QString text; // the message for the user; empty with None
};
NameProblem CheckName(const QByteArray& name);

// The longest name a recipe may have.
constexpr int MaxNameLength = 75;

// The longest custom header name a condition may test.
constexpr qsizetype MaxCustomHeaderLength = 50;

// The first line (1-based) of entries that ends in an odd number of backslashes, or 0. procmail
// joins a condition line that ends in a backslash with the next recipe line, and in the middle of
// the joined entries the backslash would quote the "|" that separates them. Any line break counts.
int LineEndingInBackslash(const QByteArray& entries);

// The largest size a condition may test: ten digits, as much as a size box can sensibly hold
// (about 9.3 GiB), and procmail compares it as a long.
constexpr int MaxSizeDigits = 10;
// A size as stored: 1 to MaxSizeDigits digits without a leading zero.
bool IsSize(const QByteArray& size);

} // namespace RecipeValueRules
