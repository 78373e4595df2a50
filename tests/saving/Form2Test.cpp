// Kestrova — identity photo maker.
#include "saving/Form2.h"

#include "JpegStructure.h"
#include "PortraitPicture.h"
#include "TestDoubles.h"
#include "framing/Form1.h"
#include "framing/FramingSession.h"
#include "platform/ErrorReportingApplication.h"
#include "saving/Module1.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

const QString kDefaultName = QStringLiteral("08-10-2011_090503.jpg");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What saveJpeg writes for a picture at a quality, to compare a dialog's file with.
QByteArray expectedBytes(const QImage& picture, int quality)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("expected.jpg"));
    if (Module1::saveJpeg(picture, path, quality)) {
        return {};
    }
    return readAll(path);
}

QStringList savedFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

template <typename T> T* control(const QWidget& parent, const char* name)
{
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child) {
        qFatal("no control %s", name);
    }
    return child;
}

} // namespace

class Form2Test : public QObject
{
    Q_OBJECT

public:
    Form2Test(ErrorReportingApplication& app, RecordingMessageBox& reports,
              QList<int>& terminations)
        : m_app(app), m_reports(reports), m_terminations(terminations)
    {}

private slots:
    void init();
    void cleanup();

    void windowAndControlsAreLaidOutAt96Dpi();
    void loadStepColoursTheWindowAndControls();
    void focusStartsInQualityBoxAndTabsThroughControls();
    void levelFollowsAssignedQuality_data();
    void levelFollowsAssignedQuality();
    void levelFollowsEveryTypedChange();
    void pressingOkAtOnceWritesQualityHundred();
    void typedQualityIsWritten();
    void fileIsNamedFromOneClockReading();
    void errorLevelRefusesToSave();
    void levelPickedByHandCounts();
    void invalidQualityShowsErrorLevelAndStaysOpen_data();
    void invalidQualityShowsErrorLevelAndStaysOpen();
    void closingIsRefusedUntilSaved_data();
    void closingIsRefusedUntilSaved();
    void execIsModalWithNoOwnerAndEndsWithTheSave();
    void eachSaveClickOpensTheDialogAfresh();
    void saveFailureGoesToTheErrorReport();

private:
    std::unique_ptr<Form2> makeDialog();

    ErrorReportingApplication& m_app;
    RecordingMessageBox& m_reports;
    QList<int>& m_terminations;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<QTemporaryDir> m_dir;
    QImage m_capture = portraitPicture();
};

void Form2Test::init()
{
    m_platform = std::make_unique<FakePlatform>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_platform->services.programDir = m_dir->path();
}

void Form2Test::cleanup()
{
    m_dir.reset();
    m_platform.reset();
}

std::unique_ptr<Form2> Form2Test::makeDialog()
{
    auto dialog = std::make_unique<Form2>(m_platform->services, [this] { return m_capture; });
    dialog->show();
    if (!QTest::qWaitForWindowActive(dialog.get())) {
        qWarning("the dialog did not become active");
    }
    return dialog;
}

void Form2Test::windowAndControlsAreLaidOutAt96Dpi()
{
    const auto dialog = makeDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Kestrova"));
    QCOMPARE(dialog->size(), QSize(200, 156));
    QCOMPARE(dialog->minimumSize(), QSize(200, 156));
    QCOMPARE(dialog->maximumSize(), QSize(200, 156));
    const Qt::WindowFlags flags = dialog->windowFlags();
    QCOMPARE(dialog->windowType(), Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    const QImage icon = dialog->windowIcon().pixmap(32).toImage();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon, QIcon(QStringLiteral(":/kestrova/icon.png")).pixmap(32).toImage());

    const auto* label1 = control<QLabel>(*dialog, "Label1");
    QCOMPARE(label1->text(), QStringLiteral("品质："));
    QCOMPARE(label1->pos(), QPoint(24, 32));
    QCOMPARE(label1->size(), label1->sizeHint());

    const auto* text1 = control<QLineEdit>(*dialog, "Text1");
    QCOMPARE(text1->geometry(), QRect(64, 29, 25, 18));
    QCOMPARE(text1->text(), QStringLiteral("10"));

    const auto* combo1 = control<QComboBox>(*dialog, "Combo1");
    QCOMPARE(combo1->geometry(), QRect(104, 28, 73, 20));
    QStringList items;
    for (int i = 0; i < combo1->count(); ++i) {
        items << combo1->itemText(i);
    }
    QCOMPARE(items, QStringList({QStringLiteral("最佳"), QStringLiteral("高"), QStringLiteral("中"),
                                 QStringLiteral("低"), QStringLiteral("错误")}));
    QCOMPARE(combo1->currentText(), QStringLiteral("最佳"));

    const auto* label2 = control<QLabel>(*dialog, "Label2");
    QCOMPARE(label2->geometry(), QRect(24, 64, 161, 60));
    QCOMPARE(label2->minimumSize(), label2->maximumSize());
    QVERIFY(label2->wordWrap());
    QCOMPARE(label2->text(),
             QStringLiteral("注：品质为 1-10之间的数字，数字越大，生成的图像质量越高，"
                            "越清晰，文件也就越大"));

    const auto* command1 = control<QPushButton>(*dialog, "Command1");
    QCOMPARE(command1->geometry(), QRect(68, 112, 65, 33));
    QCOMPARE(command1->text(), QStringLiteral("确 定"));
}

void Form2Test::loadStepColoursTheWindowAndControls()
{
    const auto dialog = makeDialog();
    QCOMPARE(dialog->palette().color(QPalette::Window), QColor(219, 255, 184));
    QVERIFY(dialog->autoFillBackground());
    for (const char* name : {"Label1", "Label2"}) {
        const auto* label = control<QLabel>(*dialog, name);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(72, 204, 66));
        // The window's colour shows through the label.
        QVERIFY(!label->autoFillBackground());
    }
    for (const char* name : {"Text1", "Combo1"}) {
        const auto* box = control<QWidget>(*dialog, name);
        QCOMPARE(box->palette().color(QPalette::Base), QColor(242, 255, 229));
        QCOMPARE(box->palette().color(QPalette::Text), QColor(0, 192, 0));
    }
    // Beside the button, where no control lies, the window's own colour is painted.
    const QImage shot = dialog->grab().toImage();
    QCOMPARE(QColor(shot.pixel(5, 150)), QColor(219, 255, 184));
}

void Form2Test::focusStartsInQualityBoxAndTabsThroughControls()
{
    const auto dialog = makeDialog();
    auto* text1 = control<QWidget>(*dialog, "Text1");
    auto* combo1 = control<QWidget>(*dialog, "Combo1");
    auto* command1 = control<QWidget>(*dialog, "Command1");
    QCOMPARE(QApplication::focusWidget(), text1);
    for (QWidget* next : {combo1, command1, text1}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void Form2Test::levelFollowsAssignedQuality_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("level");
    QTest::newRow("3 is low") << "5"
                              << "3"
                              << "低";
    QTest::newRow("5 is medium") << "3"
                                 << "5"
                                 << "中";
    QTest::newRow("8 is high") << "3"
                               << "8"
                               << "高";
    QTest::newRow("10 is best") << "3"
                                << "10"
                                << "最佳";
    QTest::newRow("0 is an error") << "3"
                                   << "0"
                                   << "错误";
    QTest::newRow("42 is an error") << "3"
                                    << "42"
                                    << "错误";
    QTest::newRow("00 keeps medium") << "5"
                                     << "00"
                                     << "中";
    QTest::newRow("empty keeps high") << "8"
                                      << ""
                                      << "高";
    QTest::newRow("100 keeps low") << "2"
                                   << "100"
                                   << "低";
    QTest::newRow("space then 7 keeps medium") << "4"
                                               << " 7"
                                               << "中";
}

void Form2Test::levelFollowsAssignedQuality()
{
    QFETCH(QString, before);
    QFETCH(QString, text);
    QFETCH(QString, level);
    const auto dialog = makeDialog();
    auto* text1 = control<QLineEdit>(*dialog, "Text1");
    text1->setText(before);
    text1->setText(text);
    QCOMPARE(control<QComboBox>(*dialog, "Combo1")->currentText(), level);
}

void Form2Test::levelFollowsEveryTypedChange()
{
    const auto dialog = makeDialog();
    auto* text1 = control<QLineEdit>(*dialog, "Text1");
    const auto* combo1 = control<QComboBox>(*dialog, "Combo1");
    QTest::keyClick(text1, Qt::Key_End);
    QTest::keyClick(text1, Qt::Key_Backspace);
    QCOMPARE(text1->text(), QStringLiteral("1"));
    QCOMPARE(combo1->currentText(), QStringLiteral("低"));
    QTest::keyClick(text1, Qt::Key_Backspace);
    QCOMPARE(combo1->currentText(), QStringLiteral("低"));
    QTest::keyClicks(text1, QStringLiteral("0"));
    QCOMPARE(combo1->currentText(), QStringLiteral("错误"));
    // "05" leaves the level as the "0" before it set it.
    QTest::keyClicks(text1, QStringLiteral("5"));
    QCOMPARE(combo1->currentText(), QStringLiteral("错误"));
    QTest::keyClick(text1, Qt::Key_Home);
    QTest::keyClick(text1, Qt::Key_Delete);
    QCOMPARE(text1->text(), QStringLiteral("5"));
    QCOMPARE(combo1->currentText(), QStringLiteral("中"));
}

void Form2Test::pressingOkAtOnceWritesQualityHundred()
{
    const auto dialog = makeDialog();
    QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);
    QVERIFY((dialog->result() == QDialog::Accepted));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(savedFiles(m_dir->path()), QStringList(kDefaultName));
    const QByteArray bytes = readAll(m_dir->filePath(kDefaultName));
    const JpegLayout layout = inspectJpeg(bytes);
    QCOMPARE(QSize(layout.width, layout.height), QSize(120, 180));
    QImage decoded;
    QVERIFY(decoded.loadFromData(bytes, "JPEG"));
    QCOMPARE(decoded.size(), QSize(120, 180));
    QVERIFY(psnr(decoded, m_capture) > 35.0);
    QCOMPARE(bytes, expectedBytes(m_capture, 100));
}

void Form2Test::typedQualityIsWritten()
{
    const auto dialog = makeDialog();
    auto* text1 = control<QLineEdit>(*dialog, "Text1");
    text1->selectAll();
    QTest::keyClicks(text1, QStringLiteral("5"));
    QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);
    QVERIFY((dialog->result() == QDialog::Accepted));
    const QByteArray bytes = readAll(m_dir->filePath(kDefaultName));
    QCOMPARE(bytes, expectedBytes(m_capture, 50));
    QVERIFY(bytes != expectedBytes(m_capture, 100));
}

void Form2Test::fileIsNamedFromOneClockReading()
{
    m_platform->clock.time = QDateTime(QDate(2011, 8, 10), QTime(23, 59, 59, 999));
    const auto dialog = makeDialog();
    QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(m_platform->clock.readings, 1);
    QCOMPARE(savedFiles(m_dir->path()), QStringList(QStringLiteral("08-10-2011_235959.jpg")));
}

void Form2Test::errorLevelRefusesToSave()
{
    const auto dialog = makeDialog();
    control<QLineEdit>(*dialog, "Text1")->setText(QStringLiteral("11"));
    QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QVERIFY(!(dialog->result() == QDialog::Accepted));
    QVERIFY(savedFiles(m_dir->path()).isEmpty());
    QVERIFY(m_reports.shown.isEmpty());
}

void Form2Test::levelPickedByHandCounts()
{
    const auto dialog = makeDialog();
    auto* combo1 = control<QComboBox>(*dialog, "Combo1");
    // The keyboard picks the last level, the error level, as the list would.
    QTest::keyClick(combo1, Qt::Key_End);
    QCOMPARE(combo1->currentText(), QStringLiteral("错误"));
    QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QVERIFY(savedFiles(m_dir->path()).isEmpty());

    QTest::keyClick(combo1, Qt::Key_Home);
    QCOMPARE(combo1->currentText(), QStringLiteral("最佳"));
    QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(savedFiles(m_dir->path()), QStringList(kDefaultName));
}

void Form2Test::invalidQualityShowsErrorLevelAndStaysOpen_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("-3") << "-3";
    QTest::newRow("100 is 1000") << "100";
    QTest::newRow("10a") << "10a";
}

void Form2Test::invalidQualityShowsErrorLevelAndStaysOpen()
{
    QFETCH(QString, text);
    const auto dialog = makeDialog();
    control<QLineEdit>(*dialog, "Text1")->setText(text);
    auto* combo1 = control<QComboBox>(*dialog, "Combo1");
    QCOMPARE(combo1->currentText(), QStringLiteral("最佳"));
    QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);
    QCOMPARE(combo1->currentText(), QStringLiteral("错误"));
    QVERIFY(dialog->isVisible());
    QVERIFY(!(dialog->result() == QDialog::Accepted));
    QVERIFY(savedFiles(m_dir->path()).isEmpty());
}

void Form2Test::closingIsRefusedUntilSaved_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("close()") << 0;
    QTest::newRow("Escape key") << 1;
    QTest::newRow("close box, from the window system") << 2;
    QTest::newRow("close event") << 3;
    QTest::newRow("all windows closed, as at session end") << 4;
}

void Form2Test::closingIsRefusedUntilSaved()
{
    QFETCH(int, way);
    const auto dialog = makeDialog();
    auto attemptClose = [&dialog, way] {
        switch (way) {
        case 0:
            dialog->close();
            break;
        case 1:
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            break;
        case 2:
            dialog->windowHandle()->close();
            break;
        case 3: {
            QCloseEvent event;
            QCoreApplication::sendEvent(dialog.get(), &event);
            QVERIFY(!event.isAccepted());
            break;
        }
        default:
            QApplication::closeAllWindows();
            break;
        }
    };
    attemptClose();
    QVERIFY(dialog->isVisible());
    QVERIFY(!(dialog->result() == QDialog::Accepted));
    QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
}

void Form2Test::execIsModalWithNoOwnerAndEndsWithTheSave()
{
    Form2 dialog(m_platform->services, [this] { return m_capture; });
    bool wasModal = false;
    bool stayedAfterEscape = false;
    QTimer::singleShot(0, &dialog, [&] {
        wasModal = QApplication::activeModalWidget() == &dialog &&
                   dialog.windowModality() == Qt::ApplicationModal && !dialog.parentWidget();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        stayedAfterEscape = dialog.isVisible();
        QTest::mouseClick(control<QPushButton>(dialog, "Command1"), Qt::LeftButton);
        if (dialog.isVisible()) {
            dialog.done(QDialog::Rejected); // do not leave the test waiting
        }
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(wasModal);
    QVERIFY(stayedAfterEscape);
    QVERIFY((dialog.result() == QDialog::Accepted));
    QCOMPARE(savedFiles(m_dir->path()), QStringList(kDefaultName));
}

void Form2Test::eachSaveClickOpensTheDialogAfresh()
{
    Form1 form(m_platform->services);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* command9 = control<QPushButton>(form, "Command9");

    QStringList seen;
    auto answer = [&](const QString& quality) {
        QTimer::singleShot(0, &form, [&seen, quality] {
            auto* dialog = qobject_cast<Form2*>(QApplication::activeModalWidget());
            if (!dialog) {
                seen << QStringLiteral("no dialog");
                return;
            }
            auto* text1 = control<QLineEdit>(*dialog, "Text1");
            seen << text1->text() + u'/' + control<QComboBox>(*dialog, "Combo1")->currentText() +
                        (dialog->parentWidget() ? QStringLiteral("/owned") : QString());
            text1->setText(quality);
            QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);
            if (dialog->isVisible()) {
                dialog->done(QDialog::Rejected);
            }
        });
        QTest::mouseClick(command9, Qt::LeftButton);
    };
    answer(QStringLiteral("5"));
    m_platform->clock.time = m_platform->clock.time.addSecs(1);
    answer(QStringLiteral("9"));
    QCOMPARE(seen, QStringList({QStringLiteral("10/最佳"), QStringLiteral("10/最佳")}));

    // Nothing was refreshed, so the capture still holds its back colour.
    const QImage capture = form.session().capture();
    const QColor back = QApplication::palette().color(QPalette::Window);
    QCOMPARE(QColor(capture.pixel(60, 90)), back);
    const QByteArray first = readAll(m_dir->filePath(kDefaultName));
    QCOMPARE(first, expectedBytes(capture, 50));
    QImage decoded;
    QVERIFY(decoded.loadFromData(first, "JPEG"));
    for (const QPoint at : {QPoint(0, 0), QPoint(60, 90), QPoint(119, 179)}) {
        const QColor pixel(decoded.pixel(at));
        QVERIFY2(std::abs(pixel.red() - back.red()) <= 2 &&
                     std::abs(pixel.green() - back.green()) <= 2 &&
                     std::abs(pixel.blue() - back.blue()) <= 2,
                 qPrintable(pixel.name()));
    }
    QCOMPARE(readAll(m_dir->filePath(QStringLiteral("08-10-2011_090504.jpg"))),
             expectedBytes(capture, 90));
}

void Form2Test::saveFailureGoesToTheErrorReport()
{
    // A folder name that is taken by a plain file: no file can be made in it,
    // whoever runs the test.
    const QString blocked = m_dir->filePath(QStringLiteral("blocked"));
    QFile plain(blocked);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    // The program's own reporter, so the report takes the program's path.
    const Services& fakes = m_platform->services;
    Services services{fakes.clock, fakes.openDialog, fakes.pictures, fakes.urls, fakes.messages,
                      m_app,       blocked,          fakes.tpp,      fakes.faces};

    const auto dialog = std::make_unique<Form2>(services, [this] { return m_capture; });
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QTest::mouseClick(control<QPushButton>(*dialog, "Command1"), Qt::LeftButton);

    QCOMPARE(m_reports.shown.size(), 1);
    QCOMPARE(m_reports.shown.first().first, QStringLiteral("Kestrova"));
    const QString report = m_reports.shown.first().second;
    QVERIFY2(report.contains(u'5'), qPrintable(report));
    QVERIFY2(report.contains(QStringLiteral("保存图像失败。 GDI+ Error:7")), qPrintable(report));
    QCOMPARE(report, ErrorReportingApplication::reportText(
                         5, QStringLiteral("保存图像失败。 GDI+ Error:7")));
    QCOMPARE(m_terminations.size(), 1);
    QVERIFY(m_terminations.first() != 0);
    QVERIFY(!(dialog->result() == QDialog::Accepted));
    QCOMPARE(savedFiles(m_dir->path()), QStringList(QStringLiteral("blocked")));
}

// The test runs under the program's own application object, which is also
// the program's error reporter.
int main(int argc, char** argv)
{
    ErrorReportingApplication app(argc, argv);
    RecordingMessageBox reports;
    QList<int> terminations;
    app.setMessageBox(&reports);
    app.setTerminate([&terminations](int status) { terminations << status; });
    Form2Test test(app, reports, terminations);
    return QTest::qExec(&test, argc, argv);
}

#include "Form2Test.moc"
