#include "BenchMain.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>

BenchProcess::BenchProcess(int argc, char** argv)
    : m_argc(argc), m_argv(argv), m_options(argc, argv) {}

BenchProcess::~BenchProcess() = default;

QCoreApplication& BenchProcess::core() {
    if (!m_app) {
        m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
        std::setlocale(LC_NUMERIC, "C");
    }
    return *m_app;
}

QApplication& BenchProcess::widgets() {
    if (!m_app) {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            throw std::runtime_error("no X display: run it with bash scripts/with-xvfb.sh");
        qputenv("QT_QPA_PLATFORM", "xcb");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        std::setlocale(LC_NUMERIC, "C");
    }
    auto* app = qobject_cast<QApplication*>(m_app.get());
    if (!app)
        throw std::logic_error("the benchmark asked for widgets after a core application");
    return *app;
}

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    try {
        BenchProcess process(argc, argv);
        return runBench(process);
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
