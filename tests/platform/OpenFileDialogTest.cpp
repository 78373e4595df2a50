// Kestrova — identity photo maker.
#include "platform/OpenFileDialog.h"

#include "TestDoubles.h"
#include "framing/Form1.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The settings exactly as the main window's load step leaves them.
OpenDialogSettings loadedSettings()
{
    FakePlatform platform;
    Form1 form(platform.services);
    return platform.openDialog.settings();
}

} // namespace

class OpenFileDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void mainWindowLoadsTheOpenSettings()
    {
        const OpenDialogSettings settings = loadedSettings();
        QCOMPARE(settings.filterIndex, 100);
        QVERIFY(settings.cancelError);
        QCOMPARE(settings.filter, QStringLiteral("图像文件(*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif"));
        QCOMPARE(settings.dialogTitle, QStringLiteral("请选择一个图片文件"));
        QCOMPARE(settings.initDir, QDir::rootPath());
        QCOMPARE(settings.flags, 4097);
        QVERIFY(settings.fileMustExist());
        QVERIFY(settings.readOnly());
    }

    void filterMatchesItsExtensionsIgnoringCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("bmp") << "a.bmp" << true;
        QTest::newRow("JPG") << "PHOTO.JPG" << true;
        QTest::newRow("Gif") << "anim.Gif" << true;
        QTest::newRow("spaces and CJK") << "我的 照片.jpg" << true;
        QTest::newRow("jpeg") << "a.jpeg" << false;
        QTest::newRow("png") << "a.png" << false;
        QTest::newRow("jpg inside") << "a.jpg.txt" << false;
        QTest::newRow("no extension") << "jpg" << false;
    }
    void filterMatchesItsExtensionsIgnoringCase()
    {
        QFETCH(QString, name);
        QFETCH(bool, matches);
        const OpenDialogSettings settings = loadedSettings();
        QCOMPARE(settings.matches(0, name), matches);
    }

    void dialogShowsTheSettings()
    {
        QFileDialog dialog;
        QtOpenFileDialog::configure(dialog, loadedSettings());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("请选择一个图片文件"));
        QCOMPARE(dialog.directory().absolutePath(), QDir::rootPath());
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
        QVERIFY(dialog.testOption(QFileDialog::ReadOnly));
        // The one entry is shown as written, and selected although the
        // setting asks for entry 100.
        QCOMPARE(dialog.nameFilters(), QStringList{QStringLiteral("图像文件(*.bmp;*.jpg;*.gif)")});
        QCOMPARE(dialog.selectedNameFilter(), QStringLiteral("图像文件(*.bmp;*.jpg;*.gif)"));
    }

    void dialogListsOnlyPictureFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QStringList names{"a.bmp", "B.JPG", "c.Gif", "d.png", "e.txt", "f.jpeg"};
        for (const QString& name : names) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QFileDialog dialog;
        QtOpenFileDialog::configure(dialog, loadedSettings());
        dialog.setDirectory(dir.path());
        auto* model = dialog.findChild<QFileSystemModel*>();
        QVERIFY(model);
        QCOMPARE(model->nameFilters(), (QStringList{"*.bmp", "*.jpg", "*.gif"}));
        const QModelIndex root = model->index(dir.path());
        QTRY_COMPARE(model->rowCount(root), 3);
        QStringList shown;
        for (int row = 0; row < model->rowCount(root); ++row) {
            shown << model->fileName(model->index(row, 0, root));
        }
        shown.sort(Qt::CaseInsensitive);
        QCOMPARE(shown, (QStringList{"a.bmp", "B.JPG", "c.Gif"}));
    }
};

QTEST_MAIN(OpenFileDialogTest)
#include "OpenFileDialogTest.moc"
