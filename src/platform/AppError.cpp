// Kestrova — identity photo maker.
#include "AppError.h"

AppError::AppError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(std::to_string(number) + ": " + m_description.toStdString())
{}
