// GoogleTest main for widget tests: one QApplication for the whole run, on
// whatever platform QT_QPA_PLATFORM names (offscreen unless a test needs X).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
