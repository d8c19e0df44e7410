#include "gui/common/ColumnLayout.h"

#include "core/settings/Profile.h"

#include <QHeaderView>

bool SaveColumnOrder(const QHeaderView* header, Settings::Key setting)
{
    if (!header)
        return false;
    QList<qint32> order;
    for (int visual = 0; visual < header->count(); ++visual)
        order.append(header->logicalIndex(visual));
    return SetSettingIntArray(setting, order);
}

bool RestoreColumnOrder(QHeaderView* header, Settings::Key setting)
{
    if (!header)
        return false;
    const QList<qint32> order = GetSettingIntArray(setting);
    if (order.isEmpty())
        return false;
    // Only a permutation of the columns the list has now can be applied safely.
    if (order.size() != header->count())
        return false;
    QList<bool> seen(order.size(), false);
    for (qint32 logical : std::as_const(order)) {
        if (logical < 0 || logical >= order.size() || seen[logical])
            return false;
        seen[logical] = true;
    }
    for (int visual = 0; visual < order.size(); ++visual)
        header->moveSection(header->visualIndex(order[visual]), visual);
    return true;
}

bool SaveColumnWidths(const QHeaderView* header, Settings::Key setting)
{
    if (!header)
        return false;
    QList<qint32> widths;
    for (int logical = 0; logical < header->count(); ++logical)
        widths.append(header->sectionSize(logical));
    return SetSettingIntArray(setting, widths);
}

bool RestoreColumnWidths(QHeaderView* header, Settings::Key setting)
{
    if (!header || header->count() == 0)
        return false;
    const QList<qint32> widths = GetSettingIntArray(setting);
    if (!widths.isEmpty()) {
        if (widths.size() > header->count())
            return false;
        for (int i = 0; i < widths.size(); ++i)
            header->resizeSection(i, widths[i] & 0xFFFF);
        return true;
    }
    // An even share, but never narrower than the column's own header text.
    const int width = qMax(50, (header->width() - 50) / header->count());
    for (int i = 0; i < header->count(); ++i)
        header->resizeSection(i, qMax(width, header->sectionSizeHint(i)));
    return false;
}
