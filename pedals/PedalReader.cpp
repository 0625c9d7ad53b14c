#include "PedalReader.h"

#include <linux/input.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "PedalDecoding.h"

namespace {

// Per call: 256 hidraw reports, or 1024 input events; at 10,000 reports a second that is
// 25 ms worth, more than a turn of the event loop brings.
constexpr int kReportsPerCall = 256;
constexpr int kEventReadsPerCall = 16;
constexpr std::size_t kEventsPerRead = 64;

}  // namespace

PedalReader::PedalReader(PedalNode node, const PedalModel& model, int fd, IPedalLog& log)
    : m_node(std::move(node)), m_model(model), m_fd(fd), m_log(log) {}

std::string PedalReader::description() const {
    return std::string(m_model.name) + " (" + usbIdText(m_node.vendor, m_node.product) + ") at " +
           m_node.devnode;
}

PedalReader::Status PedalReader::read(std::vector<RoleMask>& held) {
    return m_node.kind == PedalNode::Kind::Hidraw ? readReports(held) : readEvents(held);
}

// hidraw hands out one whole report per read().
PedalReader::Status PedalReader::readReports(std::vector<RoleMask>& held) {
    std::array<std::uint8_t, 64> report{};
    for (int i = 0; i < kReportsPerCall; ++i) {
        const ssize_t got = ::read(m_fd, report.data(), report.size());
        if (got <= 0)
            return ended(got, errno);
        const auto mask = decodeHidReport(m_model.family,
                                          std::span(report.data(), static_cast<std::size_t>(got)));
        if (!mask) {
            unknown("a report starting with byte " + std::to_string(report[0]) + " (" +
                    std::to_string(got) + " bytes)");
            continue;
        }
        take(*mask, held);
    }
    return Status::Open;
}

// An event node hands out whole input events; a pipe may split one, whose start is kept.
PedalReader::Status PedalReader::readEvents(std::vector<RoleMask>& held) {
    constexpr std::size_t kSize = sizeof(input_event);
    std::array<std::uint8_t, kSize * kEventsPerRead> buffer{};
    for (int i = 0; i < kEventReadsPerCall; ++i) {
        const std::size_t kept = m_partial.size();
        std::copy(m_partial.begin(), m_partial.end(), buffer.begin());
        const ssize_t got = ::read(m_fd, buffer.data() + kept, buffer.size() - kept);
        if (got <= 0)
            return ended(got, errno);
        const std::size_t total = kept + static_cast<std::size_t>(got);
        const std::size_t whole = total / kSize * kSize;
        m_partial.assign(buffer.begin() + static_cast<std::ptrdiff_t>(whole),
                         buffer.begin() + static_cast<std::ptrdiff_t>(total));
        for (std::size_t at = 0; at < whole; at += kSize) {
            input_event e{};
            std::memcpy(&e, buffer.data() + at, kSize);
            if (e.type == EV_SYN && e.code == SYN_DROPPED) {
                // The kernel lost events: what is held is no longer known, so all goes up.
                m_log.warning("pedal " + description() + " lost events; its pedals count as up");
                take(0, held);
                continue;
            }
            // Auto-repeat (value 2) changes nothing; scan codes and reports carry no role.
            if (e.type != EV_KEY || e.value == 2)
                continue;
            const KeyMeaning meaning = meaningOfKey(e.code);
            if (!meaning.known) {
                unknown("key code " + std::to_string(e.code));
                continue;
            }
            if (!meaning.role)
                continue;
            const RoleMask bit = maskOf(*meaning.role);
            take(e.value ? (m_held | bit) : (m_held & ~bit), held);
        }
    }
    return Status::Open;
}

PedalReader::Status PedalReader::ended(long result, int error) {
    if (result < 0 && (error == EAGAIN || error == EINTR))
        return Status::Open;
    const std::string why = result == 0 ? "the node ended" : std::strerror(error);
    m_log.info("pedal " + description() + " is gone (" + why + ")");
    return Status::Gone;
}

void PedalReader::take(RoleMask now, std::vector<RoleMask>& held) {
    if (now == m_held)
        return;
    m_held = now;
    held.push_back(now);
}

// Said once per node: a device that sends something else sends it again and again.
void PedalReader::unknown(const std::string& what) {
    if (std::exchange(m_unknownSaid, true))
        return;
    m_log.warning("pedal " + description() + " sent " + what +
                  ", which no pedal of its kind sends; it is ignored (said once)");
}
