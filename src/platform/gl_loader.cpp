// Opens OpenGL and GLU with dlopen and fills the entry-point table.
#include "platform/gl_loader.h"

#include <dlfcn.h>

namespace vertoko {

#ifdef _WIN32
const char* const kOpenGLLibraryName = "opengl32.dll";
const char* const kGluLibraryName = "glu32.dll";
#else
const char* const kOpenGLLibraryName = "libGL.so.1";
const char* const kGluLibraryName = "libGLU.so.1";
#endif

void* hOpenGL = nullptr;
void* hGLU = nullptr;

decltype(&::glBegin) FglBegin = nullptr;
decltype(&::glCallList) FglCallList = nullptr;
decltype(&::glClear) FglClear = nullptr;
decltype(&::glClearColor) FglClearColor = nullptr;
decltype(&::glColor3f) FglColor3f = nullptr;
decltype(&::glDeleteLists) FglDeleteLists = nullptr;
decltype(&::glEnable) FglEnable = nullptr;
decltype(&::glEnd) FglEnd = nullptr;
decltype(&::glEndList) FglEndList = nullptr;
decltype(&::glFlush) FglFlush = nullptr;
decltype(&::glGetDoublev) FglGetDoublev = nullptr;
decltype(&::glLightfv) FglLightfv = nullptr;
decltype(&::glLightModelfv) FglLightModelfv = nullptr;
decltype(&::glLightModeli) FglLightModeli = nullptr;
decltype(&::glLoadIdentity) FglLoadIdentity = nullptr;
decltype(&::glMaterialfv) FglMaterialfv = nullptr;
decltype(&::glMatrixMode) FglMatrixMode = nullptr;
decltype(&::glMultMatrixd) FglMultMatrixd = nullptr;
decltype(&::glNewList) FglNewList = nullptr;
decltype(&::glNormal3f) FglNormal3f = nullptr;
decltype(&::glPolygonMode) FglPolygonMode = nullptr;
decltype(&::glPopMatrix) FglPopMatrix = nullptr;
decltype(&::glPushMatrix) FglPushMatrix = nullptr;
decltype(&::glRotatef) FglRotatef = nullptr;
decltype(&::glVertex3f) FglVertex3f = nullptr;
decltype(&::glViewport) FglViewport = nullptr;
decltype(&::glXMakeCurrent) FwglMakeCurrent = nullptr;
decltype(&::glXDestroyContext) FwglDeleteContext = nullptr;
decltype(&::glXCreateContext) FwglCreateContext = nullptr;
decltype(&::gluPerspective) FgluPerspective = nullptr;
decltype(&::gluLookAt) FgluLookAt = nullptr;

decltype(&::glXChooseVisual) FglXChooseVisual = nullptr;
decltype(&::glXGetConfig) FglXGetConfig = nullptr;
decltype(&::glXSwapBuffers) FglXSwapBuffers = nullptr;
decltype(&::glXGetCurrentContext) FglXGetCurrentContext = nullptr;
decltype(&::glFinish) FglFinish = nullptr;
decltype(&::glReadPixels) FglReadPixels = nullptr;
decltype(&::glPixelStorei) FglPixelStorei = nullptr;

namespace {

// One row per entry point: where its pointer lives, the name to look up and
// whether GLU (rather than OpenGL) supplies it. The first 31 rows are the
// preview's table in look-up order.
struct EntryPoint {
    void** slot;
    const char* name;
    bool fromGlu;
};

template <typename F>
void** Slot(F& pointer) {
    return reinterpret_cast<void**>(&pointer);
}

const EntryPoint kEntryPoints[] = {
    {Slot(FglBegin), "glBegin", false},
    {Slot(FglCallList), "glCallList", false},
    {Slot(FglClear), "glClear", false},
    {Slot(FglClearColor), "glClearColor", false},
    {Slot(FglColor3f), "glColor3f", false},
    {Slot(FglDeleteLists), "glDeleteLists", false},
    {Slot(FglEnable), "glEnable", false},
    {Slot(FglEnd), "glEnd", false},
    {Slot(FglEndList), "glEndList", false},
    {Slot(FglFlush), "glFlush", false},
    {Slot(FglGetDoublev), "glGetDoublev", false},
    {Slot(FglLightfv), "glLightfv", false},
    {Slot(FglLightModelfv), "glLightModelfv", false},
    {Slot(FglLightModeli), "glLightModeli", false},
    {Slot(FglLoadIdentity), "glLoadIdentity", false},
    {Slot(FglMaterialfv), "glMaterialfv", false},
    {Slot(FglMatrixMode), "glMatrixMode", false},
    {Slot(FglMultMatrixd), "glMultMatrixd", false},
    {Slot(FglNewList), "glNewList", false},
    {Slot(FglNormal3f), "glNormal3f", false},
    {Slot(FglPolygonMode), "glPolygonMode", false},
    {Slot(FglPopMatrix), "glPopMatrix", false},
    {Slot(FglPushMatrix), "glPushMatrix", false},
    {Slot(FglRotatef), "glRotatef", false},
    {Slot(FglVertex3f), "glVertex3f", false},
    {Slot(FglViewport), "glViewport", false},
    {Slot(FwglMakeCurrent), "glXMakeCurrent", false},
    {Slot(FwglDeleteContext), "glXDestroyContext", false},
    {Slot(FwglCreateContext), "glXCreateContext", false},
    {Slot(FgluPerspective), "gluPerspective", true},
    {Slot(FgluLookAt), "gluLookAt", true},
    // Looked up alongside the table.
    {Slot(FglXChooseVisual), "glXChooseVisual", false},
    {Slot(FglXGetConfig), "glXGetConfig", false},
    {Slot(FglXSwapBuffers), "glXSwapBuffers", false},
    {Slot(FglXGetCurrentContext), "glXGetCurrentContext", false},
    {Slot(FglFinish), "glFinish", false},
    {Slot(FglReadPixels), "glReadPixels", false},
    {Slot(FglPixelStorei), "glPixelStorei", false},
};

static_assert(sizeof(kEntryPoints) / sizeof(kEntryPoints[0]) > kOpenGLEntryCount);

void ClearTable() {
    for (const EntryPoint& entry : kEntryPoints) *entry.slot = nullptr;
}

// RTLD_NODELETE: Mesa's GLX registers close hooks on the X display, which
// the toolkit closes after we are done; the code must still be there then.
void* OpenLibrary(const char* name) { return dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE); }

}  // namespace

bool LoadOpenGLLibraries(const char* glName, const char* gluName) {
    if (hOpenGL != nullptr) return true;
    if (glName == nullptr || gluName == nullptr) return false;
    void* gl = OpenLibrary(glName);
    if (gl == nullptr) return false;
    void* glu = OpenLibrary(gluName);
    if (glu == nullptr) {
        dlclose(gl);
        return false;
    }
    for (const EntryPoint& entry : kEntryPoints) {
        void* address = dlsym(entry.fromGlu ? glu : gl, entry.name);
        if (address == nullptr) {
            // A library without one of our entry points counts as absent.
            ClearTable();
            dlclose(gl);
            dlclose(glu);
            return false;
        }
        *entry.slot = address;
    }
    hOpenGL = gl;
    hGLU = glu;
    return true;
}

bool LoadOpenGLLibraries() { return LoadOpenGLLibraries(kOpenGLLibraryName, kGluLibraryName); }

void FreeOpenGL() {
    if (hOpenGL == nullptr) return;
    dlclose(hOpenGL);
    dlclose(hGLU);
    hOpenGL = nullptr;
    hGLU = nullptr;
    ClearTable();
}

void* OpenGLEntry(int index) {
    if (index < 0 || index >= kOpenGLEntryCount) return nullptr;
    return *kEntryPoints[index].slot;
}

}  // namespace vertoko
