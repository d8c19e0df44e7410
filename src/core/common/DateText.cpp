#include "core/common/DateText.h"

#include <QDateTime>

#include <array>

namespace DateText {

Order OrderOf(int setting)
{
    return (setting == DayMonthYear || setting == YearMonthDay) ? static_cast<Order>(setting) : MonthDayYear;
}

QByteArray Separator(const QString& setting)
{
    if (setting.isEmpty())
        return QByteArrayLiteral("/");
    // A surrogate pair is one character; half of one is not valid UTF-16 at all.
    const qsizetype length
        = setting.at(0).isHighSurrogate() && setting.size() > 1 && setting.at(1).isLowSurrogate() ? 2 : 1;
    return setting.first(length).toUtf8();
}

void Arrange(QByteArrayView pieces[PieceCount], Order order, QByteArrayView day, QByteArrayView month,
    QByteArrayView year, QByteArrayView separator)
{
    const QByteArrayView slash = separator.isEmpty() ? QByteArrayView("/") : separator;
    QByteArrayView first = month, second = day, third = year;
    if (order == DayMonthYear) {
        first = day;
        second = month;
    } else if (order == YearMonthDay) {
        first = year;
        second = month;
        third = day;
    }
    pieces[0] = first;
    pieces[1] = slash;
    pieces[2] = second;
    pieces[3] = slash;
    pieces[4] = third;
}

QByteArrayView PaddedDay(char day)
{
    // "0" followed by each of the 256 byte values.
    static constexpr auto Padded = [] {
        std::array<char, 512> pairs {};
        for (int i = 0; i < 256; ++i) {
            pairs[2 * i] = '0';
            pairs[2 * i + 1] = static_cast<char>(i);
        }
        return pairs;
    }();
    return QByteArrayView(Padded.data() + 2 * static_cast<unsigned char>(day), 2);
}

QString Format(const QDateTime& time, int orderSetting, const QString& separatorSetting)
{
    if (!time.isValid())
        return QString();
    const QByteArray day = time.toString(QStringLiteral("dd")).toLatin1();
    const QByteArray month = time.toString(QStringLiteral("MM")).toLatin1();
    const QByteArray year = time.toString(QStringLiteral("yy")).toLatin1();
    const QByteArray separator = Separator(separatorSetting);
    QByteArrayView pieces[PieceCount];
    Arrange(pieces, OrderOf(orderSetting), day, month, year, separator);
    QByteArray text;
    for (QByteArrayView piece : pieces)
        text += piece;
    text += ' ';
    text += time.toString(QStringLiteral("HH:mm")).toLatin1();
    return QString::fromUtf8(text);
}

} // namespace DateText
