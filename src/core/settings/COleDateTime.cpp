#include "core/settings/COleDateTime.h"

#include <cmath>

namespace {

const QDate Epoch(1899, 12, 30);
constexpr double MsPerDay = 86400000.0;

} // namespace

COleDateTime COleDateTime::FromDateTime(const QDateTime& time)
{
    COleDateTime result;
    if (!time.isValid()) {
        result.status = Invalid;
        return result;
    }
    const QDateTime local = time.toLocalTime();
    const double wholeDays = static_cast<double>(Epoch.daysTo(local.date()));
    const double fraction = local.time().msecsSinceStartOfDay() / MsPerDay;
    // Before the epoch the fraction counts away from zero, as the stored form has it.
    result.days = wholeDays >= 0 ? wholeDays + fraction : wholeDays - fraction;
    result.status = Valid;
    return result;
}

QDateTime COleDateTime::ToDateTime() const
{
    if (status != Valid || !std::isfinite(days) || std::fabs(days) > 3.0e6)
        return QDateTime();
    const double whole = std::trunc(days);
    const double fraction = std::fabs(days - whole);
    const QDate date = Epoch.addDays(static_cast<qint64>(whole));
    const auto ms = static_cast<int>(std::llround(fraction * MsPerDay));
    return QDateTime(date, QTime(0, 0).addMSecs(qMin(ms, 86399999)), Qt::LocalTime);
}
