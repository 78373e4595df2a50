// Kestrova — identity photo maker.
#include "saving/SavedSizes.h"

#include "PortraitPicture.h"
#include "TestDoubles.h"
#include "framing/Form1.h"
#include "framing/FramingSession.h"
#include "saving/Form2.h"
#include "saving/Module1.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QHelpEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

namespace {

// Seeded noise: hard to compress; at four times the capture's size even
// the lowest quality exceeds 20 KB.
QImage noisePicture(QSize size = QSize(120, 180))
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, random.generate() | 0xff000000u);
        }
    }
    return image;
}

} // namespace

class SavedSizesTest : public QObject
{
    Q_OBJECT

private slots:
    void sizesEqualTheWrittenFilesByteForByte_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::newRow("portrait") << portraitPicture();
        QTest::newRow("noise") << noisePicture();
        QImage flat(120, 180, QImage::Format_RGB32);
        flat.fill(QColor(242, 255, 229));
        QTest::newRow("flat") << flat;
    }
    void sizesEqualTheWrittenFilesByteForByte()
    {
        QFETCH(QImage, picture);
        QTemporaryDir dir;
        const SavedSizes sizes = SavedSizes::of(picture);
        for (int number = 1; number <= 10; ++number) {
            const QString path = dir.filePath(QStringLiteral("q%1.jpg").arg(number));
            QVERIFY(!Module1::saveJpeg(picture, path, number * 10));
            QCOMPARE(sizes.bytes[number - 1], QFileInfo(path).size());
        }
        QVERIFY(sizes.bytes[9] > sizes.bytes[0]);
    }

    void marksTheHighestQualityUnderTwentyKilobytes()
    {
        const SavedSizes portrait = SavedSizes::of(portraitPicture());
        const std::optional<int> best = portrait.bestUnderLimit();
        QVERIFY(best);
        QVERIFY(portrait.bytes[*best - 1] < 20 * 1024);
        if (*best < 10) {
            QVERIFY(portrait.bytes[*best] >= 20 * 1024);
        }
        const QString tip = portrait.toolTip();
        QVERIFY(tip.contains(QStringLiteral("品质 %1：%2  ← 20 KB 以下的最高品质")
                                 .arg(*best)
                                 .arg(sizeText(portrait.bytes[*best - 1]))));
        QCOMPARE(tip.count(QStringLiteral("←")), 1);

        const SavedSizes noise = SavedSizes::of(noisePicture(QSize(480, 720)));
        QVERIFY(!noise.bestUnderLimit());
        QVERIFY(noise.toolTip().contains(QStringLiteral("没有品质能让文件小于 20 KB")));
    }

    void aPictureThatCannotBeSavedHasNoSizes()
    {
        QVERIFY(!savedSize(QImage(), 50));
        QVERIFY(SavedSizes::of(QImage()).toolTip().isEmpty());
    }

    void previewTooltipListsTheCurrentCapture()
    {
        FakePlatform platform;
        platform.pictures.pictures.insert("/p.bmp", portraitPicture().scaled(300, 450));
        Form1 form(platform.services);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        platform.openDialog.answers = QStringList{"/p.bmp"};
        QTest::mouseClick(form.findChild<QWidget*>("Command8"), Qt::LeftButton);
        QTest::mouseClick(form.findChild<QWidget*>("Command1"), Qt::LeftButton);

        const SavedSizes expected = SavedSizes::of(form.session().capture());
        QWidget* preview = form.findChild<QWidget*>("Picture1(2)");
        QHelpEvent help(QEvent::ToolTip, QPoint(60, 90), preview->mapToGlobal(QPoint(60, 90)));
        QApplication::sendEvent(preview, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), expected.toolTip());
        QVERIFY(QToolTip::text().contains(sizeText(expected.bytes[9])));
    }

    void qualityBoxTooltipShowsTheSizeOfTheTypedQuality()
    {
        FakePlatform platform;
        QTemporaryDir dir;
        platform.services.programDir = dir.path();
        const QImage picture = portraitPicture();
        Form2 dialog(platform.services, [&picture] { return picture; });
        auto* text1 = dialog.findChild<QLineEdit*>("Text1");
        text1->setText("5");
        const QString tip = dialog.qualityToolTip();
        QVERIFY(!tip.isEmpty());

        // The promised size is the size of the file the save then writes.
        QTest::mouseClick(dialog.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QVERIFY((dialog.result() == QDialog::Accepted));
        const QFileInfoList files = QDir(dir.path()).entryInfoList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QCOMPARE(tip, QStringLiteral("保存后的文件大小：%1").arg(sizeText(files[0].size())));
    }

    void qualityBoxTooltipIsEmptyForAQualityThatCannotBeSaved_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("error level") << "0";
        QTest::newRow("too large, level unchanged") << "100";
        QTest::newRow("empty, level unchanged") << "";
    }
    void qualityBoxTooltipIsEmptyForAQualityThatCannotBeSaved()
    {
        QFETCH(QString, text);
        FakePlatform platform;
        Form2 dialog(platform.services, [] { return portraitPicture(); });
        dialog.findChild<QLineEdit*>("Text1")->setText(text);
        QCOMPARE(dialog.qualityToolTip(), QString());
    }
};

QTEST_MAIN(SavedSizesTest)
#include "SavedSizesTest.moc"
