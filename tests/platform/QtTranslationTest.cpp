// Kestrova — identity photo maker.
#include "platform/ErrorReportingApplication.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

/// Runs under several system locales (see the test registrations): the texts
/// Qt draws itself must be Chinese under every one of them.
class QtTranslationTest : public QObject
{
    Q_OBJECT

private slots:
    void standardButtonsAreChinese_data()
    {
        QTest::addColumn<QDialogButtonBox::StandardButton>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("Cancel") << QDialogButtonBox::Cancel << QStringLiteral("取消");
        QTest::newRow("OK") << QDialogButtonBox::Ok << QStringLiteral("确定");
        QTest::newRow("Open") << QDialogButtonBox::Open << QStringLiteral("打开");
    }
    void standardButtonsAreChinese()
    {
        QFETCH(QDialogButtonBox::StandardButton, button);
        QFETCH(QString, text);
        QDialogButtonBox box(button);
        QCOMPARE(box.button(button)->text(), text);
    }

    void messageBoxButtonIsChinese()
    {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Kestrova"), QStringLiteral("错误 5"),
                        QMessageBox::Ok);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    }

    void fileDialogTextsAreChinese_data()
    {
        QTest::addColumn<QFileDialog::DialogLabel>("label");
        QTest::addColumn<QString>("english");
        QTest::newRow("Look in") << QFileDialog::LookIn << QStringLiteral("Look in:");
        QTest::newRow("File name") << QFileDialog::FileName << QStringLiteral("File &name:");
        QTest::newRow("Files of type") << QFileDialog::FileType << QStringLiteral("Files of type:");
        QTest::newRow("Accept") << QFileDialog::Accept << QStringLiteral("&Open");
        QTest::newRow("Reject") << QFileDialog::Reject << QStringLiteral("Cancel");
    }
    void fileDialogTextsAreChinese()
    {
        QFETCH(QFileDialog::DialogLabel, label);
        QFETCH(QString, english);
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        const QString text = dialog.labelText(label);
        QVERIFY2(text != english, qPrintable(text));
        QVERIFY2(hasHan(text), qPrintable(text));
    }

    void textBoxMenuIsChinese()
    {
        QLineEdit edit(QStringLiteral("10"));
        const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                texts << action->text();
                QVERIFY2(hasHan(action->text()), qPrintable(action->text()));
            }
        }
        QVERIFY(texts.size() >= 5);
    }

private:
    static bool hasHan(const QString& text)
    {
        return std::any_of(text.begin(), text.end(),
                           [](QChar c) { return c.script() == QChar::Script_Han; });
    }
};

int main(int argc, char** argv)
{
    // The real application object, as the program starts it.
    ErrorReportingApplication app(argc, argv);
    QtTranslationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "QtTranslationTest.moc"
