// Renders a DXF file in the preview window and saves what it drew as a PNG:
//   preview_screenshot <file.dxf> <out.png> [multi]
// Run on an X display with GLX, e.g. under xvfb-run. Used for the README.
#include <QApplication>
#include <QImage>
#include <QTest>
#include <cstdio>
#include <string>

#include "convert/drawing_load.h"
#include "model/mesh_model.h"
#include "preview/gl_panel.h"
#include "preview/load_opengl.h"
#include "preview/pview.h"
// After Qt: the X headers behind it define None, Bool and friends.
#include "platform/gl_loader.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <file.dxf> <out.png> [multi]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    if (!vertoko::LoadOpenGL()) {
        std::fprintf(stderr, "no OpenGL on an X display\n");
        return 1;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    vertoko::MeshObject* objects = nullptr;
    std::string message;
    const int multi = argc > 3 ? 1 : 0;
    vertoko::ReaderOptions options;
    options.dxfMulti = multi;
    vertoko::DrawingLoad load = vertoko::LoadDrawing(file, options);
    const std::int32_t count = load.count;
    objects = load.objects;
    message = load.message;
    std::fclose(file);
    if (count == 0) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return 1;
    }
    const vertoko::Extents extents = vertoko::ComputeExtents(count, objects);
    int saved = 1;
    {
        vertoko::TPView view;
        view.FitView(extents);
        view.SetColors(0x00664D00u, 0x00DEDEDEu);  // the colour dialog's defaults
        view.ShowPreview(true, count, objects);
        if (!QTest::qWaitForWindowExposed(&view)) return 1;
        // A slight turn shows the model's depth.
        QMouseEvent hover(QEvent::MouseMove, QPointF(0, 0), QPointF(0, 0), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.GLPanel1, &hover);
        QMouseEvent turn(QEvent::MouseMove, QPointF(-25, 20), QPointF(-25, 20), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.GLPanel1, &turn);
        const QImage frame = view.GLPanel1->GrabFrame();
        if (!frame.isNull() && frame.save(QString::fromLocal8Bit(argv[2]), "PNG")) saved = 0;
    }
    vertoko::FreeObjectTable(count, objects);
    vertoko::FreeOpenGL();
    return saved;
}
