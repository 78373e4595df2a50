// Kestrova — identity photo maker.
// Any text in the quality box: the level is one of the five or unchanged, and
// the quality, when there is one, is a valid encoder value close to ten times
// the number the locale reads.
#include "saving/QualityLevel.h"
#include "saving/QualityValue.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "fuzz_quality_text: %s for \"%s\"\n", what, qUtf8Printable(text));
    std::abort();
}

void checkLevel(const QString& text)
{
    static const std::array<QString, 5> kLevels{QStringLiteral("低"), QStringLiteral("中"),
                                                QStringLiteral("高"), QStringLiteral("最佳"),
                                                QString::fromUtf16(kErrorLevel)};
    const std::optional<QString> level = levelForQuality(text);
    if (level && std::find(kLevels.begin(), kLevels.end(), *level) == kLevels.end()) {
        fail("an unknown level", text);
    }
    if (levelForQuality(text) != level) {
        fail("a level that changes between calls", text);
    }
}

void checkValue(const QString& text, const QLocale& locale)
{
    const std::optional<int> value = qualityValue(text, locale);
    if (!value) {
        return;
    }
    if (*value < 0 || *value > kMaxQualityValue) {
        fail("a quality outside 0-255", text);
    }
    bool ok = false;
    const double number = locale.toDouble(text, &ok);
    if (!ok || std::abs(number * 10.0 - *value) > 0.5) {
        fail("a quality that is not ten times the number", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    // The first byte picks the encoding, so both typed and pasted text get covered.
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    QString text;
    if (data[0] & 1) {
        // Copied out, since the bytes after the first are not aligned for char16_t.
        std::u16string units(std::size_t(length) / sizeof(char16_t), u'\0');
        std::memcpy(units.data(), bytes, units.size() * sizeof(char16_t));
        text = QString::fromStdU16String(units);
    } else {
        text = QString::fromUtf8(bytes, length);
    }
    static const QLocale kC = QLocale::c();
    // A decimal comma and a dot for thousands: the opposite of the C locale.
    static const QLocale kGerman(QLocale::German, QLocale::Germany);
    checkLevel(text);
    checkValue(text, kC);
    checkValue(text, kGerman);
    return 0;
}
