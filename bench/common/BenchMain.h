#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <memory>

#include "BenchOptions.h"

// What every benchmark's process starts with. The one main() (BenchMain.cpp) makes standard
// output line-buffered, so that figures appear as they are measured even through a pipe, reads
// the command line and calls the benchmark's runBench; an exception that escapes it is printed
// and ends the run with status 1.
class BenchProcess {
public:
    BenchProcess(int argc, char** argv);
    ~BenchProcess();
    BenchProcess(const BenchProcess&) = delete;
    BenchProcess& operator=(const BenchProcess&) = delete;

    const BenchOptions& options() const { return m_options; }
    int argc() const { return m_argc; }
    char** argv() const { return m_argv; }

    // The Qt application, made when the benchmark asks for it: a benchmark that first times
    // other processes holds no display connection meanwhile. Numbers are written in the C
    // locale, which Qt's own locale set-up replaces.
    QCoreApplication& core();
    // Widgets on the X11 platform (the benchmarks grab keys and read the screen through xcb);
    // throws without an X display rather than grab keys on a display it was not given.
    QApplication& widgets();

private:
    int m_argc;
    char** m_argv;
    BenchOptions m_options;
    std::unique_ptr<QCoreApplication> m_app;
};

// Each benchmark defines its own; its return value is the process's status.
int runBench(BenchProcess& process);
