#include "preview/load_opengl.h"

#include <QGuiApplication>

#include "platform/gl_loader.h"

namespace vertoko {

bool PreviewPlatformAvailable() {
    if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) {
        return false;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr && x11->display() != nullptr;
}

bool LoadOpenGL(const char* glName, const char* gluName) {
    if (!PreviewPlatformAvailable()) return false;
    return LoadOpenGLLibraries(glName, gluName);
}

bool LoadOpenGL() { return LoadOpenGL(kOpenGLLibraryName, kGluLibraryName); }

}  // namespace vertoko
