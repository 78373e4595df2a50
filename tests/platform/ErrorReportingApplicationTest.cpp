#include <QTest>
class ErrorReportingApplicationTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(ErrorReportingApplicationTest)
#include "ErrorReportingApplicationTest.moc"
