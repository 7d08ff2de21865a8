// Frames per second of the preview window while the model is turned with
// the left button held, and with full detail at rest, on whatever OpenGL
// the X display offers (bench/preview_bench.sh runs it under Xvfb with
// Mesa's software renderer).
//
//   preview_bench FILE.dxf [SECONDS]   (default 3 seconds per measurement)
//
// Prints one line per measurement; exits 0 without measuring when there is
// no OpenGL, so that a smoke run passes on a machine without it.
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "convert/drawing_load.h"
#include "preview/drag_model.h"
#include "preview/gl_panel.h"
#include "preview/load_opengl.h"
#include "preview/pview.h"
// After Qt: the X headers behind it define None, Bool and friends.
#include "platform/gl_loader.h"

namespace {

using vertoko::TPView;

void SendMove(QWidget* panel, int x, int y, Qt::MouseButtons buttons) {
    QMouseEvent event(QEvent::MouseMove, QPointF(x, y), panel->mapToGlobal(QPointF(x, y)),
                      Qt::NoButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &event);
}

void SendRelease(QWidget* panel, int x, int y) {
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(x, y), panel->mapToGlobal(QPointF(x, y)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &event);
}

// Paints until the panel has swapped once more, as the event loop would
// after a mouse move.
void AwaitFrame(vertoko::TGLPanel* panel) {
    const int before = panel->SwapCount();
    panel->update();
    while (panel->SwapCount() == before) QCoreApplication::processEvents();
    vertoko::FglFinish();
}

// Frames per second over seconds: each frame one mouse move of a few pixels
// with buttons held (Qt::NoButton: the model at rest, repainted).
double Measure(TPView& view, Qt::MouseButtons buttons, double seconds) {
    vertoko::TGLPanel* panel = view.GLPanel1;
    int x = panel->width() / 2;
    const int y = panel->height() / 2;
    SendMove(panel, x, y, Qt::NoButton);
    QElapsedTimer clock;
    clock.start();
    int frames = 0;
    while (clock.nsecsElapsed() < static_cast<qint64>(seconds * 1e9)) {
        x += 3;
        SendMove(panel, x, y, buttons);
        AwaitFrame(panel);
        ++frames;
    }
    const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    if (buttons != Qt::NoButton) SendRelease(panel, x, y);
    return frames / elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: preview_bench FILE.dxf [SECONDS]\n");
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 3.0;
    QApplication app(argc, argv);
    if (!vertoko::LoadOpenGL()) {
        std::printf("preview_bench: no OpenGL on this display, nothing measured\n");
        return 0;
    }

    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "preview_bench: cannot open %s\n", argv[1]);
        return 1;
    }
    vertoko::ReaderOptions options;  // the defaults: one object, cleaned
    vertoko::DrawingLoad load = vertoko::LoadDrawing(file, options);
    std::fclose(file);
    if (load.count == 0) {
        std::fprintf(stderr, "preview_bench: %s\n", load.message.c_str());
        return 1;
    }
    std::int64_t faces = 0;
    for (std::int32_t i = 0; i < load.count; ++i) faces += load.objects[i].polygonCount;

    int status = 0;
    {
        TPView view;
        view.SetColors(0x00664D00u, 0x00DEDEDEu);
        view.FitView(load.extents);
        QElapsedTimer build;
        build.start();
        view.ShowPreview(true, load.count, load.objects);
        if (!QTest::qWaitForWindowExposed(&view) || !view.GLPanel1->HasContext()) {
            std::fprintf(stderr, "preview_bench: the preview did not show\n");
            status = 1;
        } else {
            AwaitFrame(view.GLPanel1);
            const double buildSeconds = static_cast<double>(build.nsecsElapsed()) / 1e9;
            const std::size_t full = vertoko::FannedTriangleCount(load.count, load.objects);
            std::printf("faces %lld, triangles %zu, drag model %s (budget %zu triangles)\n",
                        static_cast<long long>(faces), full,
                        view.HasDragModel() ? "used" : "not needed", vertoko::kDragTriangleBudget);
            std::printf("model lists built and first frame drawn in %.2f s\n", buildSeconds);
            // The share of that the stand-in takes, made once more on its own.
            QElapsedTimer simplify;
            simplify.start();
            const vertoko::DragMesh mesh = vertoko::MakeDragMesh(
                load.count, load.objects, load.extents.center, vertoko::kDragTriangleBudget);
            std::printf("of which the drag model (%zu triangles): %.2f s\n", mesh.TriangleCount(),
                        static_cast<double>(simplify.nsecsElapsed()) / 1e9);
            // VERTOKO_BENCH_SHOTS=DIR keeps the full and the dragged picture
            // of the same view, to look at the stand-in.
            if (const char* shots = std::getenv("VERTOKO_BENCH_SHOTS")) {
                vertoko::TGLPanel* panel = view.GLPanel1;
                panel->GrabFrame().save(QStringLiteral("%1/full.png").arg(shots));
                SendMove(panel, 10, 10, Qt::NoButton);
                SendMove(panel, 10, 10, Qt::LeftButton);
                panel->GrabFrame().save(QStringLiteral("%1/dragged.png").arg(shots));
                SendRelease(panel, 10, 10);
            }
            std::printf("dragging:    %.1f frames per second\n",
                        Measure(view, Qt::LeftButton, seconds));
            std::printf("full detail: %.1f frames per second\n",
                        Measure(view, Qt::NoButton, seconds));
        }
    }
    vertoko::FreeObjectTable(load.count, load.objects);
    return status;
}
