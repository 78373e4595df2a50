// Kestrova — identity photo maker.
#pragma once

#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/ErrorReporter.h"
#include "platform/FaceFinder.h"
#include "platform/MessageBox.h"
#include "platform/OpenFileDialog.h"
#include "platform/PictureLoader.h"
#include "platform/Services.h"
#include "platform/UrlOpener.h"

#include <QList>
#include <QMap>
#include <QPair>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

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
    QList<OpenDialogRequest> requests;
    /// Runs while the dialog is shown, before it answers, as a user's doings there.
    std::function<void(const OpenDialogRequest&)> whileShown;
    std::optional<QString> showOpen(const OpenDialogRequest& request) override
    {
        ++shown;
        requests << request;
        if (whileShown) {
            whileShown(request);
        }
        if (answers.isEmpty()) {
            return std::nullopt;
        }
        return answers.takeFirst();
    }
};

/// Serves pictures registered by name; any other name fails as an unreadable file.
class FakePictureLoader final : public PictureLoader
{
public:
    QMap<QString, QImage> pictures;
    std::optional<PendingPicture> open(const QString& path) override
    {
        const auto it = pictures.constFind(path);
        if (it == pictures.constEnd()) {
            return std::nullopt;
        }
        return PendingPicture(
            [picture = *it](DecodeListener*) -> std::optional<QImage> { return picture; }, true);
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

/// Records each report; the program would have ended at the first.
class RecordingErrorReporter final : public ErrorReporter
{
public:
    QList<AppError> reported;
    void report(const AppError& error) override { reported << error; }
};

/// Answers every search with the scripted result. While held, a search waits until released,
/// as a slow first search does while the model loads.
class FakeFaceFinder final : public FaceFinder
{
public:
    FaceSearch answer;
    std::atomic<int> searches = 0;

    std::optional<QString> prepare() override
    {
        return answer.outcome == FaceSearch::Outcome::ModelUnavailable
                   ? std::optional<QString>(answer.problem)
                   : std::nullopt;
    }
    FaceSearch find(const PhotoPyramid&) override
    {
        std::unique_lock lock(m_mutex);
        m_released.wait(lock, [this] { return !m_held; });
        ++searches;
        return answer;
    }
    void hold()
    {
        const std::lock_guard lock(m_mutex);
        m_held = true;
    }
    void release()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_held = false;
        }
        m_released.notify_all();
    }

    /// A face whose eyes and chin are at these points of the photo.
    static FaceSearch found(QPointF leftEye, QPointF rightEye, QPointF chin)
    {
        return FaceSearch{FaceSearch::Outcome::Found, FaceLandmarks{leftEye, rightEye, chin, {}},
                          QString()};
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_held = false;
};

/// A full set of test doubles and the Services bundle over them.
struct FakePlatform
{
    FakeClock clock;
    FakeOpenFileDialog openDialog;
    FakePictureLoader pictures;
    RecordingUrlOpener urls;
    RecordingMessageBox messages;
    RecordingErrorReporter errors;
    FakeFaceFinder faces;
    Services services{
        clock,        openDialog, pictures, urls, messages, errors, QStringLiteral("/opt/kestrova"),
        TwipsScale{}, faces};

    /// The same services, with pictures coming from another loader.
    [[nodiscard]] Services withPictures(PictureLoader& loader) const
    {
        return Services{services.clock,      services.openDialog, loader,
                        services.urls,       services.messages,   services.errors,
                        services.programDir, services.tpp,        services.faces};
    }
};
