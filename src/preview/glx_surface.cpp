#include "preview/glx_surface.h"

#include <bit>

#include "platform/gl_loader.h"

namespace vertoko {

namespace {

XVisualInfo* FindVisual(Display* display, int format) {
    if (display == nullptr || format <= 0) return nullptr;
    XVisualInfo pattern{};
    pattern.visualid = static_cast<VisualID>(format);
    int count = 0;
    return XGetVisualInfo(display, VisualIDMask, &pattern, &count);
}

int ConfigValue(Display* display, XVisualInfo* visual, int attribute) {
    int value = 0;
    if (FglXGetConfig(display, visual, attribute, &value) != 0) return 0;
    return value;
}

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

void MaskToBits(unsigned long mask, std::uint8_t& bits, std::uint8_t& shift) {
    if (mask == 0) {
        bits = 0;
        shift = 0;
        return;
    }
    shift = static_cast<std::uint8_t>(std::countr_zero(mask));
    bits = static_cast<std::uint8_t>(std::popcount(mask));
}

}  // namespace

int ChoosePixelFormat(HDC hDC, const PixelFormatDescriptor* pfd) {
    if (hDC == nullptr || hDC->display == nullptr || pfd == nullptr) return 0;
    if (FglXChooseVisual == nullptr) return 0;
    const int screen = DefaultScreen(hDC->display);
    for (bool relaxed : {false, true}) {
        std::vector<int> attributes = GlxAttributes(*pfd, relaxed);
        XVisualInfo* visual = FglXChooseVisual(hDC->display, screen, attributes.data());
        if (visual != nullptr) {
            const int id = static_cast<int>(visual->visualid);
            XFree(visual);
            return id;
        }
    }
    return 0;
}

bool SetPixelFormat(HDC hDC, int format, const PixelFormatDescriptor*) {
    if (hDC == nullptr || hDC->window != 0) return false;
    XVisualInfo* visual = FindVisual(hDC->display, format);
    if (visual == nullptr) return false;
    Display* display = hDC->display;
    Colormap colormap = XCreateColormap(display, hDC->parent, visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = colormap;
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;   // never cleared by the server
    attributes.event_mask = ExposureMask;  // mouse and keys go on to the panel
    const Window window = XCreateWindow(
        display, hDC->parent, 0, 0, static_cast<unsigned>(hDC->width),
        static_cast<unsigned>(hDC->height), 0, visual->depth, InputOutput, visual->visual,
        CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    if (window == 0) {
        XFreeColormap(display, colormap);
        XFree(visual);
        return false;
    }
    XMapWindow(display, window);
    XFlush(display);
    hDC->window = window;
    hDC->visual = visual;
    hDC->colormap = colormap;
    return true;
}

int DescribePixelFormat(HDC hDC, int format, unsigned size, PixelFormatDescriptor* pfd) {
    if (hDC == nullptr || FglXGetConfig == nullptr) return 0;
    XVisualInfo* visual = FindVisual(hDC->display, format);
    if (visual == nullptr) return 0;
    if (pfd != nullptr && size >= sizeof(PixelFormatDescriptor)) {
        Display* display = hDC->display;
        PixelFormatDescriptor d{};
        d.nSize = sizeof(PixelFormatDescriptor);
        d.nVersion = 1;
        d.dwFlags = PFD_DRAW_TO_WINDOW;
        if (ConfigValue(display, visual, GLX_USE_GL)) d.dwFlags |= PFD_SUPPORT_OPENGL;
        if (ConfigValue(display, visual, GLX_DOUBLEBUFFER)) d.dwFlags |= PFD_DOUBLEBUFFER;
        if (ConfigValue(display, visual, GLX_STEREO)) d.dwFlags |= PFD_STEREO;
        const bool rgba = ConfigValue(display, visual, GLX_RGBA) != 0;
        d.iPixelType = rgba ? PFD_TYPE_RGBA : PFD_TYPE_COLORINDEX;
        // Writable colour cells are what a palette is needed for.
        if (visual->c_class == PseudoColor || visual->c_class == GrayScale) {
            d.dwFlags |= PFD_NEED_PALETTE;
        }
        d.cColorBits = Byte(ConfigValue(display, visual, GLX_BUFFER_SIZE));
        if (rgba) {
            // The colour bits count red, green and blue, as the descriptor
            // does, not the alpha bits of the buffer.
            MaskToBits(visual->red_mask, d.cRedBits, d.cRedShift);
            MaskToBits(visual->green_mask, d.cGreenBits, d.cGreenShift);
            MaskToBits(visual->blue_mask, d.cBlueBits, d.cBlueShift);
            if (d.cRedBits == 0) d.cRedBits = Byte(ConfigValue(display, visual, GLX_RED_SIZE));
            if (d.cGreenBits == 0) {
                d.cGreenBits = Byte(ConfigValue(display, visual, GLX_GREEN_SIZE));
            }
            if (d.cBlueBits == 0) d.cBlueBits = Byte(ConfigValue(display, visual, GLX_BLUE_SIZE));
            d.cColorBits = Byte(d.cRedBits + d.cGreenBits + d.cBlueBits);
            d.cAlphaBits = Byte(ConfigValue(display, visual, GLX_ALPHA_SIZE));
        }
        d.cAccumRedBits = Byte(ConfigValue(display, visual, GLX_ACCUM_RED_SIZE));
        d.cAccumGreenBits = Byte(ConfigValue(display, visual, GLX_ACCUM_GREEN_SIZE));
        d.cAccumBlueBits = Byte(ConfigValue(display, visual, GLX_ACCUM_BLUE_SIZE));
        d.cAccumAlphaBits = Byte(ConfigValue(display, visual, GLX_ACCUM_ALPHA_SIZE));
        d.cAccumBits =
            Byte(d.cAccumRedBits + d.cAccumGreenBits + d.cAccumBlueBits + d.cAccumAlphaBits);
        d.cDepthBits = Byte(ConfigValue(display, visual, GLX_DEPTH_SIZE));
        d.cStencilBits = Byte(ConfigValue(display, visual, GLX_STENCIL_SIZE));
        d.cAuxBuffers = Byte(ConfigValue(display, visual, GLX_AUX_BUFFERS));
        const int level = ConfigValue(display, visual, GLX_LEVEL);
        d.iLayerType =
            level > 0 ? PFD_OVERLAY_PLANE : (level < 0 ? PFD_UNDERLAY_PLANE : PFD_MAIN_PLANE);
        *pfd = d;
    }
    XFree(visual);
    return 1;
}

bool SwapBuffers(HDC hDC) {
    if (hDC == nullptr || hDC->window == 0 || FglXSwapBuffers == nullptr) return false;
    FglXSwapBuffers(hDC->display, hDC->window);
    return true;
}

Colormap CreateSurfacePalette(HDC hDC, const std::vector<PaletteEntry>& palette) {
    if (hDC == nullptr || hDC->window == 0 || hDC->visual == nullptr || palette.empty()) return 0;
    const int cclass = hDC->visual->c_class;
    if (cclass != PseudoColor && cclass != GrayScale) return 0;
    Display* display = hDC->display;
    Colormap colormap = XCreateColormap(display, hDC->window, hDC->visual->visual, AllocAll);
    const std::size_t cells = static_cast<std::size_t>(hDC->visual->colormap_size);
    std::vector<XColor> colors;
    for (std::size_t i = 0; i < palette.size() && i < cells; ++i) {
        XColor c{};
        c.pixel = i;
        c.red = static_cast<unsigned short>(palette[i].red * 257);
        c.green = static_cast<unsigned short>(palette[i].green * 257);
        c.blue = static_cast<unsigned short>(palette[i].blue * 257);
        c.flags = DoRed | DoGreen | DoBlue;
        colors.push_back(c);
    }
    XStoreColors(display, colormap, colors.data(), static_cast<int>(colors.size()));
    XSetWindowColormap(display, hDC->window, colormap);
    XFlush(display);
    return colormap;
}

void ResizeSurface(HDC hDC, int width, int height) {
    if (hDC == nullptr) return;
    hDC->width = width > 0 ? width : 1;
    hDC->height = height > 0 ? height : 1;
    if (hDC->window == 0) return;
    XResizeWindow(hDC->display, hDC->window, static_cast<unsigned>(hDC->width),
                  static_cast<unsigned>(hDC->height));
    XFlush(hDC->display);
}

void DestroySurface(HDC hDC) {
    if (hDC == nullptr) return;
    if (hDC->window != 0) {
        XDestroyWindow(hDC->display, hDC->window);
        hDC->window = 0;
    }
    if (hDC->colormap != 0) {
        XFreeColormap(hDC->display, hDC->colormap);
        hDC->colormap = 0;
    }
    if (hDC->visual != nullptr) {
        XFree(hDC->visual);
        hDC->visual = nullptr;
    }
    if (hDC->display != nullptr) XFlush(hDC->display);
}

}  // namespace vertoko
