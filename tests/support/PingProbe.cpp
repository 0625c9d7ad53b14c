#include "PingProbe.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

PingProbe::PingProbe(std::uint32_t window, std::chrono::milliseconds interval)
    : m_connection(xcb_connect(nullptr, nullptr)), m_window(window), m_interval(interval) {
    if (xcb_connection_has_error(m_connection))
        throw std::runtime_error("no X display");
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    m_protocols = atom("WM_PROTOCOLS");
    m_ping = atom("_NET_WM_PING");
    // Answers go to the root window, to whoever listens for its structure or substructure.
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
    m_thread = std::thread([this] { run(); });
}

PingProbe::~PingProbe() {
    m_quit = true;
    m_thread.join();
    xcb_disconnect(m_connection);
}

xcb_atom_t PingProbe::atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t result = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

void PingProbe::ping(std::uint32_t stamp) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = m_window;
    event.type = m_protocols;
    event.data.data32[0] = m_ping;
    event.data.data32[1] = stamp;
    event.data.data32[2] = m_window;
    xcb_send_event(m_connection, 0, m_window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection);
}

void PingProbe::run() {
    auto next = Clock::now();
    pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    while (!m_quit) {
        if (m_sending && Clock::now() >= next) {
            std::uint32_t stamp = 0;
            {
                std::lock_guard lock(m_mutex);
                m_sentAt.push_back(Clock::now());
                m_latencyMs.push_back(-1);
                stamp = static_cast<std::uint32_t>(m_sentAt.size());
            }
            ping(stamp);
            next += m_interval;
        }
        poll(&fd, 1, 2);
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                message->type == m_protocols && message->data.data32[0] == m_ping &&
                message->data.data32[2] == m_window) {
                const std::uint32_t stamp = message->data.data32[1];
                std::lock_guard lock(m_mutex);
                if (stamp >= 1 && stamp <= m_sentAt.size() && m_latencyMs[stamp - 1] < 0) {
                    m_latencyMs[stamp - 1] = std::chrono::duration<double, std::milli>(
                                                 Clock::now() - m_sentAt[stamp - 1])
                                                 .count();
                }
            }
            std::free(event);
        }
    }
}

bool PingProbe::allAnswered() {
    std::lock_guard lock(m_mutex);
    return std::none_of(m_latencyMs.begin(), m_latencyMs.end(), [](double ms) { return ms < 0; });
}

PingProbe::Figures PingProbe::figures() {
    std::lock_guard lock(m_mutex);
    Figures f;
    f.sent = static_cast<int>(m_sentAt.size());
    const auto now = Clock::now();
    for (std::size_t i = 0; i < m_latencyMs.size(); ++i) {
        if (m_latencyMs[i] >= 0) {
            ++f.answered;
            f.longestMs = std::max(f.longestMs, m_latencyMs[i]);
        } else {
            f.longestMs = std::max(
                f.longestMs, std::chrono::duration<double, std::milli>(now - m_sentAt[i]).count());
        }
    }
    return f;
}
