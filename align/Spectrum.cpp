#include "Spectrum.h"

#include <algorithm>
#include <mutex>
#include <new>

namespace {

std::mutex& plannerMutex() {
    static std::mutex m;
    return m;
}

}  // namespace

std::size_t powerOfTwoAtLeast(std::size_t n) {
    std::size_t p = 1;
    while (p < n)
        p *= 2;
    return p;
}

Spectrum::Spectrum(std::size_t length) : m_length(length) {
    std::lock_guard lock(plannerMutex());
    m_real = fftwf_alloc_real(length);
    m_complex = fftwf_alloc_complex(length / 2 + 1);
    if (!m_real || !m_complex)
        throw std::bad_alloc();
    const int n = static_cast<int>(length);
    m_forward = fftwf_plan_dft_r2c_1d(n, m_real, m_complex, FFTW_ESTIMATE);
    m_backward = fftwf_plan_dft_c2r_1d(n, m_complex, m_real, FFTW_ESTIMATE);
}

Spectrum::~Spectrum() {
    std::lock_guard lock(plannerMutex());
    fftwf_destroy_plan(m_forward);
    fftwf_destroy_plan(m_backward);
    fftwf_free(m_real);
    fftwf_free(m_complex);
}

void Spectrum::transform(std::span<const float> signal, std::vector<std::complex<float>>& out) {
    const std::size_t used = std::min(signal.size(), m_length);
    std::copy_n(signal.begin(), used, m_real);
    std::fill(m_real + used, m_real + m_length, 0.0f);
    fftwf_execute(m_forward);
    const auto* bins = reinterpret_cast<const std::complex<float>*>(m_complex);
    out.assign(bins, bins + m_length / 2 + 1);
}

void Spectrum::correlate(const std::vector<std::complex<float>>& a,
                         const std::vector<std::complex<float>>& b, bool phat, std::size_t fromBin,
                         std::vector<float>& out) {
    auto* bins = reinterpret_cast<std::complex<float>*>(m_complex);
    const std::size_t count = m_length / 2 + 1;
    for (std::size_t k = 0; k < count; ++k) {
        std::complex<float> cross = std::conj(a[k]) * b[k];
        if (phat) {
            const float magnitude = std::abs(cross);
            cross = magnitude > 1e-20f ? cross / magnitude : std::complex<float>{};
        }
        bins[k] = cross;
    }
    std::fill_n(bins, std::min(std::max<std::size_t>(fromBin, 1), count), std::complex<float>{});
    fftwf_execute(m_backward);
    out.assign(m_real, m_real + m_length);
}
