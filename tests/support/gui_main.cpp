// Entry point of the gui suites: one QApplication for the whole run.
#include "gui/kit/Appearance.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Test discovery runs the suite without the test properties' environment:
    // gui suites never need a display.
    vellarion::preferOffscreenPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellarion"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
