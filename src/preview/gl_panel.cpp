#include "preview/gl_panel.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QShowEvent>
#include <cstdio>
#include <cstdlib>
#include <vector>

// X and GL headers last: their macros (None, Bool, Status, ...) clash with Qt.
#include "platform/gl_loader.h"
#include "preview/glx_surface.h"

namespace vertoko {

void GLPanelAssertionFailed(const char* expression, const char* file, int line) {
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, file, line);
    std::fflush(stderr);
    std::abort();
}

#define GL_PANEL_ASSERT(condition, text) \
    ((condition) ? (void)0 : GLPanelAssertionFailed(text, __FILE__, __LINE__))

namespace {

Display* QtX11Display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

}  // namespace

// The child window lives outside Qt's knowledge: its exposures reach the
// application's event queue but no widget, so the panel watches for them.
class TGLPanel::ExposeFilter : public QAbstractNativeEventFilter {
  public:
    ExposeFilter(TGLPanel* panel, unsigned long window) : panel(panel), window(window) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t" || message == nullptr) return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_EXPOSE) return false;
        const auto* expose = static_cast<const xcb_expose_event_t*>(message);
        if (expose->window == window && expose->count == 0) panel->update();
        return false;
    }

  private:
    TGLPanel* panel;
    unsigned long window;
};

TGLPanel::TGLPanel(QWidget* owner) : QWidget(owner) {
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // moves without buttons keep the last position
}

TGLPanel::~TGLPanel() { WMDestroy(); }

void TGLPanel::SetupPixelFormat() {
    PixelFormatDescriptor pfd =
        MakeRequestedDescriptor(PixelFlags, PixelType, ColorBits, DepthBits, LayerType);
    const int nPixelFormat = ChoosePixelFormat(hDC.get(), &pfd);
    GL_PANEL_ASSERT(nPixelFormat, "nPixelFormat");
    GL_PANEL_ASSERT(SetPixelFormat(hDC.get(), nPixelFormat, &pfd),
                    "SetPixelFormat(hDC, nPixelFormat, &pfd)");
    DescribePixelFormat(hDC.get(), nPixelFormat, sizeof(pfd), &pfd);
    chosen = pfd;
    if (pfd.dwFlags & PFD_NEED_PALETTE) {
        hPalette = CreateSurfacePalette(hDC.get(), BuildPalette(pfd));
    } else {
        hPalette = 0;
    }
    if (hRC == nullptr) {
        hRC = FwglCreateContext(hDC->display, hDC->visual, nullptr, True);
        GL_PANEL_ASSERT(hRC, "hRC");
    }
}

void TGLPanel::WMCreate() {
    if (hDC != nullptr || hOpenGL == nullptr) return;
    Display* display = QtX11Display();
    if (display == nullptr) return;
    hDC = std::make_unique<GlxSurface>();
    hDC->display = display;
    hDC->parent = static_cast<Window>(winId());
    hDC->width = SurfaceWidth() > 0 ? SurfaceWidth() : 1;
    hDC->height = SurfaceHeight() > 0 ? SurfaceHeight() : 1;
    SetupPixelFormat();
    GL_PANEL_ASSERT(FwglMakeCurrent(hDC->display, hDC->window, static_cast<GLXContext>(hRC)),
                    "FwglMakeCurrent(hDC, hRC)");
    exposeFilter = std::make_unique<ExposeFilter>(this, hDC->window);
    QCoreApplication::instance()->installNativeEventFilter(exposeFilter.get());
    if (OnGLPostInit) OnGLPostInit(this);
    if (OnGLResize) OnGLResize(this);
}

void TGLPanel::WMDestroy() {
    if (hDC == nullptr) return;
    if (qGuiApp == nullptr) {
        // The application, and with it the X display, is already gone:
        // the server has dropped the window and the context with it.
        exposeFilter.reset();
        hRC = nullptr;
        hPalette = 0;
        hDC.reset();
        return;
    }
    if (exposeFilter) {
        QCoreApplication::instance()->removeNativeEventFilter(exposeFilter.get());
        exposeFilter.reset();
    }
    // After the libraries were closed there is nothing left to call.
    if (hOpenGL != nullptr && hRC != nullptr) {
        GL_PANEL_ASSERT(FwglMakeCurrent(hDC->display, None, nullptr), "FwglMakeCurrent(hDC, NULL)");
        FwglDeleteContext(hDC->display, static_cast<GLXContext>(hRC));
    }
    hRC = nullptr;
    if (hPalette != 0) {
        XFreeColormap(hDC->display, hPalette);
        hPalette = 0;
    }
    DestroySurface(hDC.get());
    hDC.reset();
}

int TGLPanel::SurfaceWidth() const { return qRound(width() * devicePixelRatioF()); }

int TGLPanel::SurfaceHeight() const { return qRound(height() * devicePixelRatioF()); }

void TGLPanel::MakeCurrent() {
    if (hRC == nullptr || hOpenGL == nullptr) return;
    if (FglXGetCurrentContext() != static_cast<GLXContext>(hRC)) {
        FwglMakeCurrent(hDC->display, hDC->window, static_cast<GLXContext>(hRC));
    }
}

void TGLPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    WMCreate();
}

void TGLPanel::RaiseDraw() {
    MakeCurrent();
    if (OnGLDraw) OnGLDraw(this);
}

void TGLPanel::paintEvent(QPaintEvent*) {
    if (hRC == nullptr) return;
    RaiseDraw();
    // The requested flag decides, not the chosen format's.
    if (PixelFlags & kPixelDoubleBuffer) {
        SwapBuffers(hDC.get());
        ++swaps;
    } else {
        FglFlush();
    }
}

void TGLPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (hDC == nullptr) return;
    ResizeSurface(hDC.get(), SurfaceWidth(), SurfaceHeight());
    if (hRC == nullptr) return;
    MakeCurrent();
    if (OnGLResize) OnGLResize(this);
}

void TGLPanel::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) {
        const QPoint at = event->position().toPoint();
        OnMouseMove(this, event->buttons(), event->modifiers(), at.x(), at.y());
    }
    QWidget::mouseMoveEvent(event);
}

void TGLPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp) OnMouseUp(this);
    QWidget::mouseReleaseEvent(event);
}

void TGLPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnDblClick) OnDblClick(this);
    QWidget::mouseDoubleClickEvent(event);
}

QImage TGLPanel::GrabFrame() {
    if (hRC == nullptr || hOpenGL == nullptr) return {};
    RaiseDraw();
    FglFinish();
    const int w = hDC->width;
    const int h = hDC->height;
    QImage image(w, h, QImage::Format_RGB888);
    std::vector<unsigned char> rows(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    FglPixelStorei(GL_PACK_ALIGNMENT, 1);
    FglReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    // OpenGL rows run bottom-up.
    for (int y = 0; y < h; ++y) {
        const unsigned char* source = rows.data() + static_cast<std::size_t>(h - 1 - y) * w * 3;
        std::copy(source, source + static_cast<std::size_t>(w) * 3, image.scanLine(y));
    }
    if (PixelFlags & kPixelDoubleBuffer) {
        SwapBuffers(hDC.get());
        ++swaps;
    }
    return image;
}

}  // namespace vertoko
