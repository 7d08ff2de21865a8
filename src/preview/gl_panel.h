// TGLPanel: a widget whose native window becomes an OpenGL drawing surface.
//
// At its first showing the panel chooses a pixel format from its properties,
// creates a child X window of that format filling the panel, builds a palette
// when the format needs one, and creates one OpenGL context that it makes
// current and keeps current until the panel is destroyed. The owner draws
// through three events: OnGLPostInit once the context is current,
// OnGLResize right after it and at every resize, OnGLDraw at every paint
// (followed by a buffer swap when PFD_DOUBLEBUFFER is requested).
// Without OpenGL (hOpenGL null) or an X display the panel stays an empty
// widget and raises no event.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "preview/pixel_format.h"

namespace vertoko {

struct GlxSurface;

// Reports a failed set-up step as the C runtime's assertion does,
// "Assertion failed: <expression>, file <file>, line <line>", on standard
// error, and ends the program abnormally.
[[noreturn]] void GLPanelAssertionFailed(const char* expression, const char* file, int line);

class TGLPanel : public QWidget {
    Q_OBJECT

  public:
    using Event = std::function<void(TGLPanel* sender)>;
    using MouseMoveEvent = std::function<void(TGLPanel* sender, Qt::MouseButtons buttons,
                                              Qt::KeyboardModifiers shift, int x, int y)>;

    explicit TGLPanel(QWidget* owner);
    ~TGLPanel() override;  // releases the context, the surface and the palette

    // Requested format; the defaults are draw to window, support OpenGL,
    // double buffer, RGBA, 24 colour bits, 24 depth bits, main plane.
    std::uint16_t PixelFlags = kPixelDrawToWindow | kPixelSupportOpenGL | kPixelDoubleBuffer;
    std::uint8_t PixelType = 0;
    std::int32_t ColorBits = 24;
    std::int32_t DepthBits = 24;
    std::uint8_t LayerType = 0;

    Event OnGLPostInit;
    Event OnGLDraw;
    Event OnGLResize;
    MouseMoveEvent OnMouseMove;
    Event OnMouseUp;  // a button released
    Event OnDblClick;

    // True once the context exists and is current.
    bool HasContext() const { return hRC != nullptr; }
    // The format actually chosen (valid once HasContext()).
    const PixelFormatDescriptor& ChosenFormat() const { return chosen; }
    // The palette colormap, or 0 for a true-colour format.
    unsigned long GetPalette() const { return hPalette; }
    // Size of the drawing surface in device pixels (the panel's size times
    // the screen's scale factor); what the viewport must cover.
    int SurfaceWidth() const;
    int SurfaceHeight() const;
    // Paints since creation that ended with a buffer swap.
    int SwapCount() const { return swaps; }

    // Makes the panel's context current again if something else took it.
    void MakeCurrent();

    // Raises OnGLDraw and reads the drawn frame back before the swap, as an
    // RGB image of the panel's size; null image without a context.
    QImage GrabFrame();

    QPaintEngine* paintEngine() const override { return nullptr; }

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void WMCreate();
    void WMDestroy();
    void SetupPixelFormat();
    void RaiseDraw();

    void* hRC = nullptr;  // the GLX context
    std::unique_ptr<GlxSurface> hDC;
    unsigned long hPalette = 0;
    PixelFormatDescriptor chosen{};
    int swaps = 0;
    class ExposeFilter;
    std::unique_ptr<ExposeFilter> exposeFilter;
};

}  // namespace vertoko
