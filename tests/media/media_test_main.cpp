// Runs the media tests inside a Qt application, since players need one. Listing the tests must
// work without a display, so the application is only created to run them.
#include <gtest/gtest.h>

#include <clocale>
#include <memory>

#ifdef MEDIA_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<TestApplication> app;
    if (!GTEST_FLAG_GET(list_tests)) {
        app = std::make_unique<TestApplication>(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
    }
    return RUN_ALL_TESTS();
}
