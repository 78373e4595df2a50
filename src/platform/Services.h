// Kestrova — identity photo maker.
#pragma once

#include "Twips.h"

#include <QString>

class Clock;
class ErrorReporter;
class FaceFinder;
class MessageBox;
class OpenFileDialog;
class PictureLoader;
class UrlOpener;

/// The platform facilities the windows use, handed to them at construction.
struct Services
{
    Clock& clock;
    OpenFileDialog& openDialog;
    PictureLoader& pictures;
    UrlOpener& urls;
    MessageBox& messages;
    ErrorReporter& errors;
    QString programDir;
    TwipsScale tpp;
    FaceFinder& faces;
};
