// Run-time loading of OpenGL and GLU: the table is either complete or empty.
#include <dlfcn.h>
#include <gtest/gtest.h>

// After gtest: the X headers behind it define None, Bool and friends.
#include "platform/gl_loader.h"

namespace vertoko {
namespace {

bool TableIsEmpty() {
    for (int i = 0; i < kOpenGLEntryCount; ++i) {
        if (OpenGLEntry(i) != nullptr) return false;
    }
    return FglXChooseVisual == nullptr && FglReadPixels == nullptr;
}

class GlLoaderTest : public ::testing::Test {
  protected:
    void TearDown() override { FreeOpenGL(); }
};

TEST_F(GlLoaderTest, BothLibrariesFillEveryEntryInLookUpOrder) {
    ASSERT_TRUE(LoadOpenGLLibraries());
    ASSERT_NE(hOpenGL, nullptr);
    ASSERT_NE(hGLU, nullptr);
    for (int i = 0; i < kOpenGLEntryCount; ++i) EXPECT_NE(OpenGLEntry(i), nullptr) << i;
    EXPECT_EQ(OpenGLEntry(kOpenGLEntryCount), nullptr);

    // Spot checks of the order and of the GLX stand-ins for the context calls.
    EXPECT_EQ(OpenGLEntry(0), dlsym(hOpenGL, "glBegin"));
    EXPECT_EQ(OpenGLEntry(25), dlsym(hOpenGL, "glViewport"));
    EXPECT_EQ(OpenGLEntry(26), dlsym(hOpenGL, "glXMakeCurrent"));
    EXPECT_EQ(OpenGLEntry(27), dlsym(hOpenGL, "glXDestroyContext"));
    EXPECT_EQ(OpenGLEntry(28), dlsym(hOpenGL, "glXCreateContext"));
    EXPECT_EQ(OpenGLEntry(29), dlsym(hGLU, "gluPerspective"));
    EXPECT_EQ(OpenGLEntry(30), dlsym(hGLU, "gluLookAt"));
    EXPECT_EQ(reinterpret_cast<void*>(FwglMakeCurrent), dlsym(hOpenGL, "glXMakeCurrent"));

    // Loading again while loaded keeps the same handles.
    void* before = hOpenGL;
    EXPECT_TRUE(LoadOpenGLLibraries());
    EXPECT_EQ(hOpenGL, before);
}

TEST_F(GlLoaderTest, MissingLibraryLeavesNothingLoaded) {
    EXPECT_FALSE(LoadOpenGLLibraries("libGL.so.1", "libvertoko-no-such-glu.so.1"));
    EXPECT_EQ(hOpenGL, nullptr);
    EXPECT_EQ(hGLU, nullptr);
    EXPECT_TRUE(TableIsEmpty());

    EXPECT_FALSE(LoadOpenGLLibraries("libvertoko-no-such-gl.so.1", "libGLU.so.1"));
    EXPECT_EQ(hOpenGL, nullptr);
    EXPECT_TRUE(TableIsEmpty());

    EXPECT_FALSE(LoadOpenGLLibraries(nullptr, "libGLU.so.1"));
    EXPECT_EQ(hOpenGL, nullptr);
}

TEST_F(GlLoaderTest, LibraryWithoutTheEntryPointsCountsAsMissing) {
    // libm opens fine but has no gluPerspective: the OpenGL entries that
    // were already found must not stay behind.
    EXPECT_FALSE(LoadOpenGLLibraries("libGL.so.1", "libm.so.6"));
    EXPECT_EQ(hOpenGL, nullptr);
    EXPECT_EQ(hGLU, nullptr);
    EXPECT_TRUE(TableIsEmpty());

    // And a failed load does not stand in the way of a good one.
    EXPECT_TRUE(LoadOpenGLLibraries());
    EXPECT_NE(FgluLookAt, nullptr);
}

TEST_F(GlLoaderTest, FreeClosesOnceAndClearsTheTable) {
    FreeOpenGL();  // not loaded: nothing to do
    EXPECT_EQ(hOpenGL, nullptr);
    ASSERT_TRUE(LoadOpenGLLibraries());
    FreeOpenGL();
    EXPECT_EQ(hOpenGL, nullptr);
    EXPECT_EQ(hGLU, nullptr);
    EXPECT_TRUE(TableIsEmpty());
    FreeOpenGL();
    EXPECT_EQ(hOpenGL, nullptr);
}

}  // namespace
}  // namespace vertoko
