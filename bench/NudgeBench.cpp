// Kestrova — identity photo maker.
// One nudge tick of the real main window — frame step, outline move and
// preview refresh — with a 48-megapixel photo loaded, against the 50 ms the
// timer allows between ticks.
#include "ButtonPress.h"
#include "TestDoubles.h"
#include "TestPictures.h"
#include "framing/Form1.h"
#include "framing/FramingSession.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Window
{
    FakePlatform platform;
    std::unique_ptr<Form1> form;

    explicit Window(int zoomOuts)
    {
        platform.pictures.pictures.insert("/photo.jpg", TestPictures::photoLike(QSize(6000, 8000)));
        form = std::make_unique<Form1>(platform.services);
        form->show();
        platform.openDialog.answers = QStringList{"/photo.jpg"};
        pressAndRelease(form->findChild<QWidget*>("Command8"));
        for (int i = 0; i < zoomOuts; ++i) {
            pressAndRelease(form->findChild<QWidget*>("Command7"));
        }
        QApplication::processEvents();
    }
};

// Arg 0: the photo at natural size; arg 1: zoomed out to about the work
// area's height (33 steps of 0.9 from 8000 pixels).
void BM_NudgeTick48Megapixel(benchmark::State& state)
{
    Window window(state.range(0) == 0 ? 0 : 33);
    QWidget* right = window.form->findChild<QWidget*>("Command5");
    QWidget* left = window.form->findChild<QWidget*>("Command2");
    int ticks = 0;
    for (auto _ : state) {
        // Walk back and forth between the edges so every tick moves the frame.
        if (ticks % 110 == 0) {
            pressAndRelease((ticks / 110) % 2 == 0 ? right : left);
        }
        window.form->session().nudgeTick();
        // Includes the repaint of the work area and the preview it causes.
        QApplication::processEvents();
        ++ticks;
        benchmark::DoNotOptimize(window.form->session().framePosition());
    }
}
BENCHMARK(BM_NudgeTick48Megapixel)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
