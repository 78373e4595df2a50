// Kestrova — identity photo maker.
#include "platform/Captions.h"

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// Resources linked from a static library are easily lost; these checks run
// against the library exactly as the program links it.
class ResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void picturesArePresentAtTheirSizes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("icon") << ":/kestrova/icon.png" << QSize(256, 256);
        QTest::newRow("icon 48") << ":/kestrova/icon-48.png" << QSize(48, 48);
        QTest::newRow("icon 32") << ":/kestrova/icon-32.png" << QSize(32, 32);
        QTest::newRow("icon 16") << ":/kestrova/icon-16.png" << QSize(16, 16);
        QTest::newRow("banner") << ":/kestrova/banner.png" << QSize(393, 81);
    }
    void picturesArePresentAtTheirSizes()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), size);
    }

    void everyCaptionIsPresent()
    {
        QFile file(":/kestrova/captions.json");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonParseError error;
        const QJsonObject captions = QJsonDocument::fromJson(file.readAll(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QVERIFY(captions.size() >= 18);
        for (auto it = captions.begin(); it != captions.end(); ++it) {
            QVERIFY2(!it.value().toString().isEmpty(), qPrintable(it.key()));
            QCOMPARE(Captions::text(it.key().toLatin1().constData()), it.value().toString());
        }
    }

    void anUnknownCaptionIsNotFound()
    {
        QVERIFY(!Captions::find("Form9.Nothing"));
        QCOMPARE(Captions::find("Form1.Command8"), std::optional<QString>(QStringLiteral("打开")));
    }
};

QTEST_GUILESS_MAIN(ResourcesTest)
#include "ResourcesTest.moc"
