// The drawing surface of the GL panel on X11: a child window inside the
// panel's own window, created with the visual that the requested pixel
// format chooses, so that the OpenGL context and the drawable always share
// one visual. The four functions keep the shape of the classic pixel-format
// calls; GLX goes through the run-time table (platform/gl_loader.h).
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

#include "preview/pixel_format.h"

namespace vertoko {

struct GlxSurface {
    Display* display = nullptr;
    Window parent = 0;  // the panel's native window
    Window window = 0;  // our child window, 0 until SetPixelFormat
    XVisualInfo* visual = nullptr;
    Colormap colormap = 0;
    int width = 1;
    int height = 1;
};
using HDC = GlxSurface*;

// The visual id of the visual closest to the descriptor (strict sizes
// first, then any size of the right kind), or 0 when none matches.
int ChoosePixelFormat(HDC hDC, const PixelFormatDescriptor* pfd);

// Creates the child window with the visual format. Fails when the format is
// unknown or a format was already set on this surface.
bool SetPixelFormat(HDC hDC, int format, const PixelFormatDescriptor* pfd);

// Fills pfd (when size is at least 40) with what visual format actually
// offers. Returns 1, or 0 for an unknown format.
int DescribePixelFormat(HDC hDC, int format, unsigned size, PixelFormatDescriptor* pfd);

bool SwapBuffers(HDC hDC);

// Stores the palette in a colormap of its own when the surface's visual has
// writable colour cells and installs it on the window; returns the colormap
// or 0 when the visual has none.
Colormap CreateSurfacePalette(HDC hDC, const std::vector<PaletteEntry>& palette);

void ResizeSurface(HDC hDC, int width, int height);

// Destroys the child window, its colormap and the visual record.
void DestroySurface(HDC hDC);

}  // namespace vertoko
