#include "PlayerOpen.h"

#include <filesystem>
#include <utility>

void PlayerOpen::begin(std::string path) {
    m_path = std::move(path);
    m_state = State::Waiting;
    m_request = 0;
    m_entry = 0;
}

std::uint64_t PlayerOpen::send() {
    m_state = State::Sent;
    m_request = nextRequest();
    return m_request;
}

bool PlayerOpen::isThisOpensReply(std::uint64_t id) const {
    return m_state == State::Sent && id == m_request;
}

bool PlayerOpen::loaded() {
    if (m_state != State::Sent) {
        return false;
    }
    m_state = State::Loaded;
    return true;
}

void PlayerOpen::restarted() {
    if (m_state == State::Loaded) {
        m_state = State::Settled;
    }
}

void PlayerOpen::clear() {
    m_state = State::Empty;
    m_request = 0;
    m_entry = 0;
}

std::string PlayerOpen::fileName() const {
    return std::filesystem::path(m_path).filename().string();
}
