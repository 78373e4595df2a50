#include <QTest>
class OpenFileDialogTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(OpenFileDialogTest)
#include "OpenFileDialogTest.moc"
