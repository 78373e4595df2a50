// Kestrova — identity photo maker.
#pragma once

#include "TestDoubles.h"

#include <QTest>
#include <QWidget>

/// The window's control of that name. A missing one ends the run: every
/// step after it would only report a null pointer.
inline QWidget* control(const QWidget& window, const QString& name)
{
    auto* found = window.findChild<QWidget*>(name);
    if (!found) {
        qFatal("no control %s", qPrintable(name));
    }
    return found;
}

inline void clickControl(const QWidget& window, const QString& name)
{
    QTest::mouseClick(control(window, name), Qt::LeftButton);
}

/// Opens path as the user does: the open dialog answers with it after a click on 打开.
inline void openThroughDialog(const QWidget& window, FakeOpenFileDialog& dialog,
                              const QString& path)
{
    dialog.answers << path;
    clickControl(window, QStringLiteral("Command8"));
}
