// Kestrova — identity photo maker.
#include "platform/OpenFileDialog.h"

#include "FormControls.h"
#include "TestDoubles.h"
#include "framing/Form1.h"
#include "platform/PatternFilterProxy.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// The request exactly as the main window makes it.
OpenDialogRequest mainWindowRequest()
{
    FakePlatform platform;
    Form1 form(platform.services);
    clickControl(form, QStringLiteral("Command8"));
    return platform.openDialog.requests.value(0);
}

/// Shows the real dialog and lets answer look at it and end it.
std::optional<QString> runDialog(QtOpenFileDialog& opener, const OpenDialogRequest& request,
                                 const std::function<void(QFileDialog&)>& answer)
{
    QTimer::singleShot(0, qApp, [answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            qFatal("no open dialog on screen");
        }
        answer(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    return opener.showOpen(request);
}

void choose(QFileDialog& dialog, const QString& path)
{
    // selectFile() leaves the name box alone while it has the focus, as a user typing there would.
    if (QWidget* focused = dialog.focusWidget()) {
        focused->clearFocus();
    }
    dialog.selectFile(path);
    // QFileDialog hides accept(); QDialog's is public and reaches the same override.
    static_cast<QDialog&>(dialog).accept();
}

} // namespace

class OpenFileDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void mainWindowAsksForPictureFiles()
    {
        const OpenDialogRequest request = mainWindowRequest();
        QCOMPARE(request.title, QStringLiteral("请选择一个图片文件"));
        QCOMPARE(request.startFolder, QDir::rootPath());
        QCOMPARE(request.filterText, QStringLiteral("图像文件(*.bmp;*.jpg;*.gif)"));
        QCOMPARE(request.patterns, (QStringList{"*.bmp", "*.jpg", "*.gif"}));
        QVERIFY(request.fileMustExist);
        QVERIFY(request.readOnly);
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
        const PatternFilterProxy filter(mainWindowRequest().patterns);
        QCOMPARE(filter.matches(name), matches);
    }

    void dialogShowsTheRequest()
    {
        QtOpenFileDialog opener;
        QString title;
        QString folder;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        QFileDialog::AcceptMode accept = QFileDialog::AcceptSave;
        bool readOnly = false;
        QStringList filters;
        QString selectedFilter;
        const std::optional<QString> chosen =
            runDialog(opener, mainWindowRequest(), [&](QFileDialog& dialog) {
                title = dialog.windowTitle();
                folder = dialog.directory().absolutePath();
                mode = dialog.fileMode();
                accept = dialog.acceptMode();
                readOnly = dialog.testOption(QFileDialog::ReadOnly);
                filters = dialog.nameFilters();
                selectedFilter = dialog.selectedNameFilter();
            });
        QVERIFY(!chosen);
        QCOMPARE(title, QStringLiteral("请选择一个图片文件"));
        QCOMPARE(folder, QDir::rootPath());
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(accept, QFileDialog::AcceptOpen);
        QVERIFY(readOnly);
        // The one filter is shown as written.
        QCOMPARE(filters, QStringList{QStringLiteral("图像文件(*.bmp;*.jpg;*.gif)")});
        QCOMPARE(selectedFilter, QStringLiteral("图像文件(*.bmp;*.jpg;*.gif)"));
    }

    void dialogListsFoldersAndOnlyPictureFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char* name : {"a.bmp", "B.JPG", "c.Gif", "d.png", "e.txt", "f.jpeg"}) {
            QFile file(dir.filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        OpenDialogRequest request = mainWindowRequest();
        request.startFolder = dir.path();
        QtOpenFileDialog opener;
        QStringList shown;
        bool allEnabled = true; // and selectable
        const std::optional<QString> chosen = runDialog(opener, request, [&](QFileDialog& dialog) {
            QAbstractProxyModel* proxy = dialog.proxyModel();
            auto* files = proxy ? qobject_cast<QFileSystemModel*>(proxy->sourceModel()) : nullptr;
            if (!files) {
                return;
            }
            // The folder is read in the background, and indexes change as it fills.
            auto folder = [&] { return proxy->mapFromSource(files->index(dir.path())); };
            (void)QTest::qWaitFor([&] { return proxy->rowCount(folder()) >= 4; });
            const QModelIndex root = folder();
            for (int row = 0; row < proxy->rowCount(root); ++row) {
                const QModelIndex index = proxy->index(row, 0, root);
                shown << index.data().toString();
                allEnabled = allEnabled && (proxy->flags(index) & Qt::ItemIsEnabled) &&
                             (proxy->flags(index) & Qt::ItemIsSelectable);
            }
            choose(dialog, dir.filePath(QStringLiteral("B.JPG")));
        });
        shown.sort(Qt::CaseInsensitive);
        QCOMPARE(shown, (QStringList{"a.bmp", "B.JPG", "c.Gif", "folder"}));
        QVERIFY(allEnabled);
        QCOMPARE(chosen.value_or(QStringLiteral("nothing")), dir.filePath(QStringLiteral("B.JPG")));
    }

    void highlightedFilesAreToldWhileTheDialogIsOpen()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile photo(dir.filePath(QStringLiteral("photo.jpg")));
        QVERIFY(photo.open(QIODevice::WriteOnly));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        OpenDialogRequest request = mainWindowRequest();
        request.startFolder = dir.path();
        QStringList told;
        request.highlighted = [&told](const QString& path) { told << path; };
        QtOpenFileDialog opener;
        int highlighted = 0;
        (void)runDialog(opener, request, [&](QFileDialog& dialog) {
            QAbstractProxyModel* proxy = dialog.proxyModel();
            auto* files = proxy ? qobject_cast<QFileSystemModel*>(proxy->sourceModel()) : nullptr;
            auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
            if (!files || !view) {
                return;
            }
            auto folder = [&] { return proxy->mapFromSource(files->index(dir.path())); };
            (void)QTest::qWaitFor([&] { return proxy->rowCount(folder()) >= 2; });
            const QModelIndex root = folder();
            // The folder, then the picture, as the user moves down the list.
            for (int row = 0; row < proxy->rowCount(root); ++row) {
                view->setCurrentIndex(proxy->index(row, 0, root));
                ++highlighted;
            }
        });
        QCOMPARE(highlighted, 2);
        QCOMPARE(told, QStringList{photo.fileName()});
    }

    void laterOpensStartInTheFolderOfTheLastChosenPicture()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        QVERIFY(first.isValid() && second.isValid());
        for (const QTemporaryDir* dir : {&first, &second}) {
            QFile file(dir->filePath(QStringLiteral("photo.jpg")));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const OpenDialogRequest request = mainWindowRequest();
        QtOpenFileDialog opener;
        QStringList startedIn;
        auto openAndChoose = [&](const QString& path) {
            return runDialog(opener, request, [&startedIn, path](QFileDialog& dialog) {
                startedIn << dialog.directory().absolutePath();
                if (!path.isEmpty()) {
                    choose(dialog, path);
                }
            });
        };
        QVERIFY(openAndChoose(first.filePath(QStringLiteral("photo.jpg"))));
        QVERIFY(!openAndChoose(QString()));
        QVERIFY(openAndChoose(second.filePath(QStringLiteral("photo.jpg"))));
        QVERIFY(!openAndChoose(QString()));
        // The first open starts where the window asks; a cancelled one changes nothing.
        QCOMPARE(startedIn,
                 (QStringList{QDir::rootPath(), first.path(), first.path(), second.path()}));
        // A new run, like a new dialog object, starts afresh.
        QtOpenFileDialog fresh;
        QString freshStart;
        (void)runDialog(fresh, request, [&freshStart](QFileDialog& dialog) {
            freshStart = dialog.directory().absolutePath();
        });
        QCOMPARE(freshStart, QDir::rootPath());
    }
};

QTEST_MAIN(OpenFileDialogTest)
#include "OpenFileDialogTest.moc"
