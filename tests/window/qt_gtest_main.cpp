#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

// The application is made only when tests run, so listing them needs no display. Qt runs on
// the platform a session wrapper names in PELLUCOR_TEST_QPA, else on QT_QPA_PLATFORM's, else
// offscreen: window logic needs no display.
class QtApplication : public testing::Environment {
public:
    QtApplication(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}
    void SetUp() override {
        const QByteArray wanted = qgetenv("PELLUCOR_TEST_QPA");
        if (!wanted.isEmpty())
            qputenv("QT_QPA_PLATFORM", wanted);
        else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int& m_argc;
    char** m_argv;
    std::unique_ptr<QApplication> m_app;
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new QtApplication(argc, argv));
    return RUN_ALL_TESTS();
}
