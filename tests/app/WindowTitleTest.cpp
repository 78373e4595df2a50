// Kestrova — identity photo maker.
#include "FormControls.h"
#include "TestDoubles.h"
#include "framing/Form1.h"
#include "platform/ErrorReportingApplication.h"
#include "platform/OpenFileDialog.h"
#include "saving/Form2.h"

#include <QFileDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

/// The title the X server holds for a window, which is what the window
/// manager draws; Qt may add to the title it was given on the way there.
QString shownTitle(const QWidget& window)
{
    QProcess xprop;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // xprop prints non-ASCII titles as octal escapes unless its locale is UTF-8.
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    xprop.setProcessEnvironment(environment);
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window.winId()), QStringLiteral("-notype"),
                 QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished() || xprop.exitCode() != 0) {
        return QStringLiteral("<xprop failed: %1>")
            .arg(QString::fromLocal8Bit(xprop.readAllStandardError()));
    }
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^_NET_WM_NAME = \"(.*)\"$")).match(out);
    return match.hasMatch() ? match.captured(1) : QStringLiteral("<%1>").arg(out);
}

using WindowMaker = std::function<std::unique_ptr<QWidget>(FakePlatform&)>;

} // namespace

Q_DECLARE_METATYPE(WindowMaker)

/// Runs against a real X server (xcb): each window's title must reach the
/// window manager exactly as its caption, with nothing appended.
class WindowTitleTest : public QObject
{
    Q_OBJECT

private slots:
    void windowShowsExactlyItsCaption_data()
    {
        QTest::addColumn<WindowMaker>("make");
        QTest::addColumn<QString>("caption");
        QTest::newRow("main window") << WindowMaker([](FakePlatform& platform) {
            return std::unique_ptr<QWidget>(std::make_unique<Form1>(platform.services));
        }) << QStringLiteral("Kestrova");
        QTest::newRow("save dialog") << WindowMaker([](FakePlatform& platform) {
            return std::unique_ptr<QWidget>(
                std::make_unique<Form2>(platform.services, [] { return QImage(); }));
        }) << QStringLiteral("Kestrova");
    }
    void windowShowsExactlyItsCaption()
    {
        QFETCH(WindowMaker, make);
        QFETCH(QString, caption);
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        FakePlatform platform;
        const std::unique_ptr<QWidget> window = make(platform);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(shownTitle(*window), caption);
    }

    void openDialogShowsExactlyItsCaption()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // The request the main window makes, shown by the real dialog.
        FakePlatform platform;
        {
            Form1 form(platform.services);
            clickControl(form, QStringLiteral("Command8"));
        }
        QVERIFY(!platform.openDialog.requests.isEmpty());
        QString title = QStringLiteral("<no dialog>");
        QTimer::singleShot(0, qApp, [&title] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) {
                return;
            }
            if (QTest::qWaitForWindowExposed(dialog)) {
                title = shownTitle(*dialog);
            }
            dialog->close();
        });
        QtOpenFileDialog opener;
        QVERIFY(!opener.showOpen(platform.openDialog.requests.constFirst()));
        QCOMPARE(title, QStringLiteral("请选择一个图片文件"));
    }
};

int main(int argc, char** argv)
{
    // The real application object, as the program starts it.
    ErrorReportingApplication app(argc, argv);
    WindowTitleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowTitleTest.moc"
