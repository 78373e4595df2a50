// Kestrova — identity photo maker.
#pragma once

#include "platform/Services.h"

#include <QDialog>
#include <QImage>

#include <functional>

/// The save dialog.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    Form2(Services& services, std::function<QImage()> capturePicture, QWidget* parent = nullptr);
    ~Form2() override;

    [[nodiscard]] bool saveDone() const { return m_saveDone; }

private:
    Services& m_services;
    std::function<QImage()> m_capturePicture;
    bool m_saveDone = false;
};
