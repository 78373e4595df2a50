// Kestrova — identity photo maker.
#pragma once

class AppError;

/// Where a failure the program cannot go on from is handed, right where it
/// happens: it is shown to the user and the program ends.
class ErrorReporter
{
public:
    virtual ~ErrorReporter() = default;
    virtual void report(const AppError& error) = 0;
};
