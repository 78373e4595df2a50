// Kestrova — identity photo maker.
#include "platform/ErrorReportingApplication.h"

#include "TestDoubles.h"
#include "platform/AppError.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class ErrorReportingApplicationTest : public QObject
{
    Q_OBJECT

public:
    explicit ErrorReportingApplicationTest(ErrorReportingApplication& app) : m_app(app) {}

private slots:
    void init()
    {
        m_messages.shown.clear();
        m_statuses.clear();
        m_app.setMessageBox(&m_messages);
        m_app.setTerminate([this](int status) { m_statuses << status; });
    }

    void errorFromAHandlerIsReportedWithNumberAndDescription()
    {
        QPushButton button;
        ErrorReporter& reporter = m_app;
        QObject::connect(&button, &QPushButton::clicked, [&reporter] {
            reporter.report(AppError(5, QStringLiteral("保存图像失败。 GDI+ Error:7")));
        });
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);

        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].first, QStringLiteral("Kestrova"));
        QCOMPARE(m_messages.shown[0].second, QStringLiteral("错误 5：保存图像失败。 GDI+ Error:7"));
        QCOMPARE(m_statuses, QList<int>{kErrorExitStatus});
        QVERIFY(kErrorExitStatus != 0);
    }

    void aSecondReportWhileTheFirstIsShownIsNotShownAgain()
    {
        m_messages.onShow = [this] { m_app.report(AppError(5, QStringLiteral("again"))); };
        m_app.report(AppError(5, QStringLiteral("first")));
        m_messages.onShow = nullptr;
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_statuses, QList<int>{kErrorExitStatus});
    }

    void memoryRunningOutInALibraryIsReported()
    {
        QTimer::singleShot(0, &m_app, [] { throw std::bad_alloc(); });
        QTRY_COMPARE(m_statuses.size(), 1);
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY(m_messages.shown[0].second.contains(QStringLiteral("7")));
    }

    void aHandlerThatSucceedsReportsNothing()
    {
        bool ran = false;
        QTimer::singleShot(0, &m_app, [&ran] { ran = true; });
        QTRY_VERIFY(ran);
        QVERIFY(m_messages.shown.isEmpty());
        QVERIFY(m_statuses.isEmpty());
    }

    void errorInsideAModalDialogEndsTheProgramNonZero()
    {
        // The real ending: every event loop quits, the modal one included,
        // and the main loop returns the error status.
        m_app.setTerminate([](int status) { QCoreApplication::exit(status); });
        bool dialogReturned = false;
        QTimer::singleShot(0, &m_app, [this, &dialogReturned] {
            QDialog dialog;
            QTimer::singleShot(0, &dialog,
                               [this] { m_app.report(AppError(5, QStringLiteral("boom"))); });
            dialog.exec();
            dialogReturned = true;
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        watchdog.start(10000);
        const int status = QCoreApplication::exec();
        QCOMPARE(status, kErrorExitStatus);
        QVERIFY(dialogReturned);
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY(m_messages.shown[0].second.contains(QStringLiteral("boom")));
    }

private:
    ErrorReportingApplication& m_app;
    RecordingMessageBox m_messages;
    QList<int> m_statuses;
};

int main(int argc, char** argv)
{
    ErrorReportingApplication app(argc, argv);
    ErrorReportingApplicationTest test(app);
    return QTest::qExec(&test, argc, argv);
}

#include "ErrorReportingApplicationTest.moc"
