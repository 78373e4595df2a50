// Kestrova — identity photo maker.
#pragma once

#include <QString>

#include <exception>
#include <string>

/// A failure raised to the program's top level: a number and a description.
class AppError : public std::exception
{
public:
    AppError(int number, QString description);

    [[nodiscard]] int number() const noexcept { return m_number; }
    [[nodiscard]] const QString& description() const noexcept { return m_description; }
    [[nodiscard]] const char* what() const noexcept override { return m_what.c_str(); }

private:
    int m_number;
    QString m_description;
    std::string m_what;
};
