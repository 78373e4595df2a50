// Kestrova — identity photo maker.
#include "framing/Form1.h"
#include "framing/FramingSession.h"

#include "FormControls.h"
#include "TestDoubles.h"
#include "saving/Module1.h"

#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <cmath>

namespace {

// Vertical stripes two pixels wide: detail that survives being halved only
// if the rendering has the pixels to show it.
QImage stripes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, (x / 2) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    }
    return image;
}

// Mean difference per channel between a row of two images, from x0 to x1.
double rowDifference(const QImage& a, const QImage& b, int y, int x0, int x1)
{
    double total = 0;
    for (int x = x0; x < x1; ++x) {
        total += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    }
    return total / (x1 - x0);
}

} // namespace

// Runs with QT_SCALE_FACTOR=2: every logical pixel is two device pixels.
class HighDpiTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_platform = std::make_unique<FakePlatform>();
        m_platform->pictures.pictures.insert("/stripes.bmp", stripes(800, 1200));
        m_form = std::make_unique<Form1>(m_platform->services);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QCOMPARE(m_form->windowHandle()->devicePixelRatio(), 2.0);
    }
    void cleanup()
    {
        m_form.reset();
        m_platform.reset();
    }

    void windowIsLaidOutAtTwiceThePixels()
    {
        QCOMPARE(m_form->size(), QSize(393, 484));
        const QPixmap shot = m_form->grab();
        QCOMPARE(shot.size(), QSize(786, 968));
        auto* banner = m_form->findChild<QLabel*>("Image2");
        QCOMPARE(banner->pixmap().devicePixelRatio(), 2.0);
        QCOMPARE(banner->pixmap().size(), QSize(786, 162));
    }

    void photoIsDrawnAtDeviceResolution()
    {
        openThroughDialog(*m_form, m_platform->openDialog, "/stripes.bmp");
        for (int i = 0; i < 7; ++i) {
            clickControl(*m_form, "Command7");
        }
        // About 0.48 of its size: the stripes are 1.9 logical pixels apart,
        // too fine for the logical rendering but 3.8 device pixels on screen.
        QWidget* client = control(*m_form, "Image1")->parentWidget();
        const QImage device = client->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(device.size(), QSize(480, 720));
        const QSize deviceSize = m_form->session().photo().displaySize() * 2;
        const QImage reference =
            stripes(800, 1200).scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // What enlarging the logical rendering would have shown instead.
        const QImage enlarged =
            stripes(800, 1200)
                .scaled(m_form->session().photo().displaySize(), Qt::IgnoreAspectRatio,
                        Qt::SmoothTransformation)
                .scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double sharp = rowDifference(device, reference, 400, 20, 400);
        const double blurred = rowDifference(enlarged, reference, 400, 20, 400);
        QVERIFY2(sharp < 12 && blurred > 3 * sharp,
                 qPrintable(QStringLiteral("screen %1, enlarged %2").arg(sharp).arg(blurred)));
    }

    void savedPhotoIsStill120By180()
    {
        openThroughDialog(*m_form, m_platform->openDialog, "/stripes.bmp");
        clickControl(*m_form, "Command1");
        const QImage capture = m_form->session().capture();
        QCOMPARE(capture.size(), QSize(120, 180));
        // Interior pixel (0, 0) is work-area pixel (1, 1): a black stripe.
        QCOMPARE(qGray(capture.pixel(0, 0)), 0);
        QCOMPARE(qGray(capture.pixel(1, 0)), 255);

        QTemporaryDir dir;
        const QString path = dir.filePath("photo.jpg");
        QVERIFY(!Module1::saveJpeg(capture, path, 100));
        QImageReader reader(path);
        QCOMPARE(reader.size(), QSize(120, 180));
    }

private:
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(HighDpiTest)
#include "HighDpiTest.moc"
