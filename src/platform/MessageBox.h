// Kestrova — identity photo maker.
#pragma once

#include <QString>

/// A message box with only an OK button.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual void show(const QString& title, const QString& text) = 0;
};

class QtMessageBox final : public MessageBox
{
public:
    void show(const QString& title, const QString& text) override;
};
