// The preview's availability: OpenGL and GLU loaded at run time and an X11
// display to draw on. The main window calls LoadOpenGL once at creation and
// enables its preview command with the result; hOpenGL (platform/gl_loader.h)
// is non-null exactly when it returned true.
#pragma once

namespace vertoko {

// False, with nothing loaded, when the application does not run on Qt's
// xcb platform (offscreen, Wayland) or a library or entry point is missing.
bool LoadOpenGL();

// The same with other library names, so that a missing library can be
// tried out.
bool LoadOpenGL(const char* glName, const char* gluName);

// True on Qt's xcb platform with an X display.
bool PreviewPlatformAvailable();

}  // namespace vertoko
