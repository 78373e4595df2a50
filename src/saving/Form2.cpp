// Kestrova — identity photo maker.
#include "Form2.h"

#include "platform/ProgramInfo.h"

Form2::Form2(Services& services, std::function<QImage()> capturePicture, QWidget* parent)
    : QDialog(parent), m_services(services), m_capturePicture(std::move(capturePicture))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(programTitle());
}

Form2::~Form2() = default;
