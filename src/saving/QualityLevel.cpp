// Kestrova — identity photo maker.
#include "QualityLevel.h"

#include <array>

namespace {

constexpr char16_t kBest[] = u"最佳";
constexpr char16_t kHigh[] = u"高";
constexpr char16_t kMedium[] = u"中";
constexpr char16_t kLow[] = u"低";

struct LevelEntry
{
    const char16_t* text;
    const char16_t* level;
};

constexpr std::array<LevelEntry, 11> kLevels{{
    {u"1", kLow},
    {u"2", kLow},
    {u"3", kLow},
    {u"4", kMedium},
    {u"5", kMedium},
    {u"6", kMedium},
    {u"7", kHigh},
    {u"8", kHigh},
    {u"9", kHigh},
    {u"10", kBest},
    {u"0", kErrorLevel},
}};

// Texts are compared as strings, not numbers: everything from "11" upwards in
// code-unit order is an error, while texts below it that are not in the table
// ("00", "05", "-3", "1.5", "100") leave the level alone.
constexpr char16_t kFirstErrorText[] = u"11";

} // namespace

QStringList levelNames()
{
    QStringList names;
    for (const char16_t* name : {kBest, kHigh, kMedium, kLow, kErrorLevel}) {
        names << QString::fromUtf16(name);
    }
    return names;
}

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
