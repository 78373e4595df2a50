// Kestrova — identity photo maker.
#pragma once

#include <QDateTime>

/// The current local date and time; injected so tests can fix it.
class Clock
{
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    [[nodiscard]] QDateTime now() const override;
};

/// A date as the program writes it: MM-DD-YYYY.
[[nodiscard]] QString dateText(const QDate& date);
/// A time as hh:mm:ss, 24-hour.
[[nodiscard]] QString timeText(const QTime& time);
/// A time as HHMMSS, 24-hour, no separators.
[[nodiscard]] QString compactTimeText(const QTime& time);
