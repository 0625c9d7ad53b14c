#include "SignalQuit.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <csignal>

#include "AppLog.h"

namespace {

int g_pipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Nothing can be done about a full pipe: a quit is already waiting.
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

SignalQuit::SignalQuit(std::function<void()> quit, QObject* parent)
    : QObject(parent), m_quit(std::move(quit)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        qCWarning(lcApp) << "cannot watch for SIGTERM and SIGINT; they end the program at once";
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
        }
        m_quit();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

SignalQuit::~SignalQuit() {
    if (g_pipe[0] < 0)
        return;
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}
