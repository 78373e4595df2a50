#include <QTest>
class Form1LayoutTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(Form1LayoutTest)
#include "Form1LayoutTest.moc"
