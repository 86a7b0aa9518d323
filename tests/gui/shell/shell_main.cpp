// Entry point of the shell's suites: one application object for the run,
// whose standard error box records into applicationErrors().
#include "ShellFixture.h"
#include "gui/kit/Appearance.h"
#include "gui/shell/Application.h"

#include <gtest/gtest.h>

namespace vellarion::test {

namespace {
FakeDialogs* errors = nullptr;
} // namespace

FakeDialogs& applicationErrors() {
    return *errors;
}

} // namespace vellarion::test

int main(int argc, char** argv) {
    // Listing the tests happens without the test properties, so without a
    // display too.
    vellarion::preferOffscreenPlatform();
    vellarion::test::FakeDialogs errors;
    vellarion::test::errors = &errors;
    vellarion::Application app(argc, argv, errors);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
