#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

// The application is made only when tests run, so listing them needs no display.
class QtApplication : public testing::Environment {
public:
    QtApplication(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "xcb");
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
