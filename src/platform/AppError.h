// Kestrova — identity photo maker.
#pragma once

#include <QString>

/// A failure the user is told about: a number and a description.
class AppError
{
public:
    AppError(int number, QString description)
        : m_number(number), m_description(std::move(description))
    {}

    [[nodiscard]] int number() const noexcept { return m_number; }
    [[nodiscard]] const QString& description() const noexcept { return m_description; }

    friend bool operator==(const AppError&, const AppError&) = default;

private:
    int m_number;
    QString m_description;
};
