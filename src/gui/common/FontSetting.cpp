#include "gui/common/FontSetting.h"

#include "core/settings/CFontDescription.h"
#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"

#include <cstdlib>

bool LoadFontSetting(Settings::Key setting, QFont* font)
{
    Q_ASSERT(SettingRow(setting).type == SettingType::Font);
    CFontDescription description;
    if (!CurrentUserData().GetFont(SettingSection(setting), SettingName(setting), &description)
        || description.faceName.isEmpty())
        return false;
    QFont result(description.faceName);
    const int height = std::abs(description.height);
    if (height > 0 && height < 500)
        result.setPixelSize(height);
    if (description.weight > 0 && description.weight <= 1000)
        result.setWeight(QFont::Weight(description.weight));
    result.setItalic(description.italic != 0);
    result.setUnderline(description.underline != 0);
    result.setStrikeOut(description.strikeOut != 0);
    *font = result;
    return true;
}

bool StoreFontSetting(Settings::Key setting, const QFont& font)
{
    Q_ASSERT(SettingRow(setting).type == SettingType::Font);
    CFontDescription description;
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : qRound(font.pointSizeF() * 96.0 / 72.0);
    description.height = -pixels;
    description.weight = font.weight();
    description.italic = font.italic() ? 1 : 0;
    description.underline = font.underline() ? 1 : 0;
    description.strikeOut = font.strikeOut() ? 1 : 0;
    description.faceName = font.family().left(31);
    return CurrentUserData().SetFont(SettingSection(setting), SettingName(setting), description);
}
