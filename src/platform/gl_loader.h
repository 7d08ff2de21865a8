// Run-time access to OpenGL 1.1, GLU and the GLX window binding.
//
// The preview never links against OpenGL: the two libraries are opened by
// name once at start-up and the entry points it uses are kept in one
// process-wide table of function pointers, each named F + the entry point.
// A non-null hOpenGL is the one test of whether OpenGL is available; while it
// is null every pointer of the table is null too, so callers test hOpenGL
// first and never call through a missing pointer.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glx.h>

namespace vertoko {

// Library names used by the no-argument LoadOpenGLLibraries.
extern const char* const kOpenGLLibraryName;
extern const char* const kGluLibraryName;

// Handles of the two libraries; null while not loaded.
extern void* hOpenGL;
extern void* hGLU;

// The 31 entry points of the preview, in look-up order. The three context
// entries keep their historical names but hold the GLX counterparts:
// FwglMakeCurrent = glXMakeCurrent, FwglDeleteContext = glXDestroyContext,
// FwglCreateContext = glXCreateContext.
extern decltype(&::glBegin) FglBegin;
extern decltype(&::glCallList) FglCallList;
extern decltype(&::glClear) FglClear;
extern decltype(&::glClearColor) FglClearColor;
extern decltype(&::glColor3f) FglColor3f;
extern decltype(&::glDeleteLists) FglDeleteLists;
extern decltype(&::glEnable) FglEnable;
extern decltype(&::glEnd) FglEnd;
extern decltype(&::glEndList) FglEndList;
extern decltype(&::glFlush) FglFlush;
extern decltype(&::glGetDoublev) FglGetDoublev;
extern decltype(&::glLightfv) FglLightfv;
extern decltype(&::glLightModelfv) FglLightModelfv;
extern decltype(&::glLightModeli) FglLightModeli;
extern decltype(&::glLoadIdentity) FglLoadIdentity;
extern decltype(&::glMaterialfv) FglMaterialfv;
extern decltype(&::glMatrixMode) FglMatrixMode;
extern decltype(&::glMultMatrixd) FglMultMatrixd;
extern decltype(&::glNewList) FglNewList;
extern decltype(&::glNormal3f) FglNormal3f;
extern decltype(&::glPolygonMode) FglPolygonMode;
extern decltype(&::glPopMatrix) FglPopMatrix;
extern decltype(&::glPushMatrix) FglPushMatrix;
extern decltype(&::glRotatef) FglRotatef;
extern decltype(&::glVertex3f) FglVertex3f;
extern decltype(&::glViewport) FglViewport;
extern decltype(&::glXMakeCurrent) FwglMakeCurrent;
extern decltype(&::glXDestroyContext) FwglDeleteContext;
extern decltype(&::glXCreateContext) FwglCreateContext;
extern decltype(&::gluPerspective) FgluPerspective;
extern decltype(&::gluLookAt) FgluLookAt;

// Entry points looked up alongside the table: the GLX side of pixel formats
// and buffer swaps, and the read-back used to check what was drawn.
extern decltype(&::glXChooseVisual) FglXChooseVisual;
extern decltype(&::glXGetConfig) FglXGetConfig;
extern decltype(&::glXSwapBuffers) FglXSwapBuffers;
extern decltype(&::glXGetCurrentContext) FglXGetCurrentContext;
extern decltype(&::glFinish) FglFinish;
extern decltype(&::glReadPixels) FglReadPixels;
extern decltype(&::glPixelStorei) FglPixelStorei;

// Number of entries of the preview's table (without the extras above).
inline constexpr int kOpenGLEntryCount = 31;

// Opens both libraries and fills the table. Returns true with hOpenGL and
// hGLU set and every pointer non-null. Returns false when a library cannot
// be opened or lacks any entry point; then no library stays open, hOpenGL
// and hGLU are null and the whole table is null. A second call while loaded
// returns true without reopening.
bool LoadOpenGLLibraries(const char* glName, const char* gluName);
bool LoadOpenGLLibraries();

// Closes OpenGL and then GLU when hOpenGL is non-null, and clears the
// handles and the table; does nothing otherwise. The libraries are opened
// so that their code stays mapped after the close, because the X display
// (closed later by the toolkit) keeps hooks into the OpenGL library.
void FreeOpenGL();

// The address of table entry index (0-based, look-up order), for checks.
void* OpenGLEntry(int index);

}  // namespace vertoko
