// Kestrova — identity photo maker.
#include "MessageBox.h"

#include <QMessageBox>

void QtMessageBox::show(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    box.exec();
}
