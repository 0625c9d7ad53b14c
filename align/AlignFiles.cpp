#include "AlignFiles.h"

#include <exception>
#include <mutex>
#include <thread>

#include "OffsetFinder.h"
#include "SoundDecoder.h"

namespace {

// Decoding takes most of the time; the analysis the rest.
constexpr double kDecodingShare = 0.85;

class SharedProgress {
public:
    explicit SharedProgress(const std::function<void(double)>& progress) : m_progress(progress) {}
    void decoded(int file, double p) {
        std::lock_guard lock(m_mutex);
        m_decoded[file] = p;
        tell(kDecodingShare * (m_decoded[0] + m_decoded[1]) / 2);
    }
    void analysed(double p) {
        std::lock_guard lock(m_mutex);
        tell(kDecodingShare + (1 - kDecodingShare) * p);
    }

private:
    void tell(double p) {
        if (m_progress)
            m_progress(p);
    }
    const std::function<void(double)>& m_progress;
    std::mutex m_mutex;
    double m_decoded[2] = {0, 0};
};

}  // namespace

Alignment alignFiles(const std::string& file1, const std::string& file2,
                     std::atomic<bool>& cancelled, const std::function<void(double)>& progress) {
    SharedProgress shared(progress);
    MonoSound sound1, sound2;
    std::exception_ptr failure1, failure2;
    auto decode = [&](const std::string& file, int index, MonoSound& into,
                      std::exception_ptr& failure) {
        try {
            into = decodeMono(file, kAlignRate, cancelled,
                              [&shared, index](double p) { shared.decoded(index, p); });
        } catch (const AlignError& e) {
            failure = std::current_exception();
            if (e.kind() == AlignError::Kind::Unreadable)
                cancelled = true;
        } catch (...) {
            failure = std::current_exception();
            cancelled = true;
        }
    };
    std::thread second(decode, std::cref(file2), 1, std::ref(sound2), std::ref(failure2));
    decode(file1, 0, sound1, failure1);
    second.join();
    // A file's own fault before the cancellation it caused in the other.
    for (const std::exception_ptr& failure : {failure1, failure2}) {
        if (!failure)
            continue;
        try {
            std::rethrow_exception(failure);
        } catch (const AlignError& e) {
            if (e.kind() != AlignError::Kind::Cancelled)
                throw;
        }
    }
    if (failure1)
        std::rethrow_exception(failure1);
    if (failure2)
        std::rethrow_exception(failure2);
    return findAlignment({sound1, file1}, {sound2, file2}, cancelled,
                         [&shared](double p) { shared.analysed(p); });
}
