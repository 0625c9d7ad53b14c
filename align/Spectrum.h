#pragma once

#include <fftw3.h>

#include <complex>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

// Cross-correlation of real signals through FFTW, for one transform length. The plans are made
// once (FFTW's planner is not thread-safe, so making them is serialised) and then used from one
// thread.
class Spectrum {
public:
    explicit Spectrum(std::size_t length);
    ~Spectrum();
    Spectrum(const Spectrum&) = delete;
    Spectrum& operator=(const Spectrum&) = delete;

    std::size_t length() const { return m_length; }

    // The transform of the signal, zero-padded to the length.
    void transform(std::span<const float> signal, std::vector<std::complex<float>>& out);
    // c[p] = sum over n of a[n] * b[n + p], p taken modulo the length, from the transforms of
    // a and b, from bin `fromBin` up; with phat every frequency's weight is made one (GCC-PHAT).
    void correlate(const std::vector<std::complex<float>>& a,
                   const std::vector<std::complex<float>>& b, bool phat, std::size_t fromBin,
                   std::vector<float>& out);

private:
    std::size_t m_length;
    float* m_real;
    fftwf_complex* m_complex;
    fftwf_plan m_forward;
    fftwf_plan m_backward;
};

// The smallest power of two not below n.
std::size_t powerOfTwoAtLeast(std::size_t n);
