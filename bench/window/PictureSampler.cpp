#include "PictureSampler.h"

#include <algorithm>

#include "FrameReader.h"

PictureSampler::PictureSampler(std::vector<ScreenRect> regions) : m_regions(std::move(regions)) {
    int left = m_regions.front().x, top = m_regions.front().y;
    int right = left + m_regions.front().width, bottom = top + m_regions.front().height;
    for (const auto& r : m_regions) {
        left = std::min(left, r.x);
        top = std::min(top, r.y);
        right = std::max(right, r.x + r.width);
        bottom = std::max(bottom, r.y + r.height);
    }
    m_bounds = {left, top, right - left, bottom - top};
    for (auto& r : m_regions) {
        r.x -= left;
        r.y -= top;
    }
}

PictureSampler::~PictureSampler() {
    stop();
}

void PictureSampler::start(std::chrono::milliseconds period, std::size_t count) {
    stop();
    {
        std::lock_guard lock(m_mutex);
        m_samples.clear();
    }
    m_stop = false;
    m_finished = false;
    m_thread = std::thread([this, period, count] { run(period, count); });
}

void PictureSampler::stop() {
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

std::string PictureSampler::error() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

std::vector<PictureSampler::Sample> PictureSampler::samples() const {
    std::lock_guard lock(m_mutex);
    return m_samples;
}

void PictureSampler::run(std::chrono::milliseconds period, std::size_t count) {
    std::optional<ScreenGrab> screen;
    try {
        screen.emplace();
    } catch (const std::exception& e) {
        std::lock_guard lock(m_mutex);
        m_error = e.what();
        m_finished = true;
        return;
    }
    auto next = Clock::now();
    for (std::size_t taken = 0; !m_stop && (count == 0 || taken < count); ++taken) {
        Sample sample;
        sample.at = Clock::now();
        const ScreenImage image = screen->grab(m_bounds);
        for (const auto& region : m_regions) {
            sample.frames.push_back(FrameReader::read(image, region));
        }
        {
            std::lock_guard lock(m_mutex);
            m_samples.push_back(std::move(sample));
        }
        // A steady pace, not a pause after each capture: the capture's own time is not added.
        next += period;
        std::this_thread::sleep_until(next);
    }
    m_finished = true;
}
