// Kestrova — identity photo maker.
#include "QualityLevel.h"

#include <array>

namespace {

struct LevelEntry
{
    const char16_t* text;
    const char16_t* level;
};

constexpr std::array<LevelEntry, 11> kLevels{{
    {u"1", u"低"},
    {u"2", u"低"},
    {u"3", u"低"},
    {u"4", u"中"},
    {u"5", u"中"},
    {u"6", u"中"},
    {u"7", u"高"},
    {u"8", u"高"},
    {u"9", u"高"},
    {u"10", u"最佳"},
    {u"0", kErrorLevel},
}};

// Texts are compared as strings, not numbers: everything from "11" upwards in
// code-unit order is an error, while texts below it that are not in the table
// ("00", "05", "-3", "1.5", "100") leave the level alone.
constexpr char16_t kFirstErrorText[] = u"11";

} // namespace

std::optional<QString> levelForQuality(const QString& qualityText)
{
    for (const LevelEntry& entry : kLevels) {
        if (qualityText == QStringView(entry.text)) {
            return QString::fromUtf16(entry.level);
        }
    }
    if (QStringView(qualityText) >= QStringView(kFirstErrorText)) {
        return QString::fromUtf16(kErrorLevel);
    }
    return std::nullopt;
}
