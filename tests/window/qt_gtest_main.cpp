#include <gtest/gtest.h>

#include <QApplication>

// The application is made only when tests run, so listing them needs no display. Qt runs on
// the platform a session wrapper names in PELLUCOR_TEST_QPA, else on QT_QPA_PLATFORM's, else
// offscreen: window logic needs no display.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    const QByteArray wanted = qgetenv("PELLUCOR_TEST_QPA");
    if (!wanted.isEmpty())
        qputenv("QT_QPA_PLATFORM", wanted);
    else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
