// Kestrova — identity photo maker.
#include "ProgramInfo.h"

#include <QCoreApplication>

QString programTitle()
{
    return QString::fromLatin1(kProgramTitle);
}

QString programDirectory()
{
    return QCoreApplication::applicationDirPath();
}
