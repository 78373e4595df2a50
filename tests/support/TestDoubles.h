// Kestrova — identity photo maker.
#pragma once

#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/OpenFileDialog.h"
#include "platform/PictureLoader.h"
#include "platform/Services.h"
#include "platform/UrlOpener.h"

#include <QList>
#include <QMap>
#include <QPair>

#include <functional>

class FakeClock final : public Clock
{
public:
    QDateTime time{QDate(2011, 8, 10), QTime(9, 5, 3)};
    mutable int readings = 0;
    QDateTime now() const override
    {
        ++readings;
        return time;
    }
};

/// Answers each showOpen() with the next scripted name; an exhausted script cancels.
class FakeOpenFileDialog final : public OpenFileDialog
{
public:
    QStringList answers;
    int shown = 0;
    void setSettings(const OpenDialogSettings& settings) override { m_settings = settings; }
    const OpenDialogSettings& settings() const override { return m_settings; }
    QString showOpen() override
    {
        ++shown;
        if (answers.isEmpty()) {
            if (m_settings.cancelError) {
                throw AppError(kCancelErrorNumber, QStringLiteral("cancelled"));
            }
            return {};
        }
        return answers.takeFirst();
    }

private:
    OpenDialogSettings m_settings;
};

/// Serves pictures registered by name; any other name fails as an unreadable file.
class FakePictureLoader final : public PictureLoader
{
public:
    QMap<QString, QImage> pictures;
    QImage load(const QString& path) override
    {
        const auto it = pictures.constFind(path);
        if (it == pictures.constEnd()) {
            throw AppError(kInvalidPictureErrorNumber, QStringLiteral("unreadable"));
        }
        return *it;
    }
};

class RecordingUrlOpener final : public UrlOpener
{
public:
    QList<QUrl> opened;
    void open(const QUrl& url) override { opened << url; }
};

class RecordingMessageBox final : public MessageBox
{
public:
    QList<QPair<QString, QString>> shown;
    std::function<void()> onShow;
    void show(const QString& title, const QString& text) override
    {
        shown << qMakePair(title, text);
        if (onShow) {
            onShow();
        }
    }
};

/// A full set of test doubles and the Services bundle over them.
struct FakePlatform
{
    FakeClock clock;
    FakeOpenFileDialog openDialog;
    FakePictureLoader pictures;
    RecordingUrlOpener urls;
    RecordingMessageBox messages;
    Services services{
        clock, openDialog, pictures, urls, messages, QStringLiteral("/opt/kestrova"), TwipsScale{}};
};
