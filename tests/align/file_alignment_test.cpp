// Files made with ffmpeg, decoded and aligned: codecs, rates, channels, a video, drift; files
// that cannot be read; the worker threads' progress and cancel.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "AlignFiles.h"
#include "AlignMedia.h"
#include "AlignmentWorker.h"
#include "NamedCases.h"
#include "SoundDecoder.h"

namespace {

Alignment align(const std::string& file1, const std::string& file2) {
    std::atomic<bool> cancelled{false};
    return alignFiles(file1, file2, cancelled, {});
}

struct FilePairCase {
    const char* name;
    std::string (*first)();
    std::string (*second)();
    double offset, driftPpm;
};

std::string mp3Stereo() {
    return AlignMedia::made("align-mp3-stereo.mp3", "mp3", 5, 40, "pan=stereo|c0=c0|c1=c0",
                            {"-ar", "44100", "-c:a", "libmp3lame", "-b:a", "96k"});
}
std::string opusHighPassed() {
    return AlignMedia::made("align-opus.ogg", "ogg", 12.5, 45, "highpass=f=400,volume=-12dB",
                            {"-c:a", "libopus", "-b:a", "32k"});
}
// As a camera writes it: H.264 and AAC in MP4, whose edit list hides the encoder's priming.
std::string videoWithSound() {
    return TestMedia::generated(
        "align-video.mp4", "mp4",
        {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=35", "-i",
         AlignMedia::source(1)},
        {"-af", "atrim=start=20:duration=35,asetpts=PTS-STARTPTS", "-c:v", "libx264", "-preset",
         "ultrafast", "-c:a", "aac", "-b:a", "96k", "-shortest"});
}
std::string telephone() {
    return AlignMedia::made("align-telephone.wav", "wav", 0, 58, "highpass=f=300,lowpass=f=3400",
                            {"-ar", "8000", "-c:a", "pcm_mulaw"});
}
std::string flac() {
    return AlignMedia::made("align-flac.flac", "flac", 10, 45, "", {"-c:a", "flac"});
}
// The source at 48012 Hz read as 48000: its clock runs 250 ppm slow against the source.
std::string drifting() {
    return AlignMedia::made("align-drifting.m4a", "ipod", 2, 55, "asetrate=48012,aresample=48000",
                            {"-c:a", "aac", "-b:a", "96k"});
}

constexpr double kSlow = 48000.0 / 48012.0;

class FilePair : public ::testing::TestWithParam<FilePairCase> {};

TEST_P(FilePair, IsAlignedToWithinAMillisecond) {
    const FilePairCase& c = GetParam();
    const Alignment found = align(c.first(), c.second());
    EXPECT_NEAR(found.offset, c.offset, 0.001);
    EXPECT_NEAR(found.driftPpm, c.driftPpm, 2.0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FilePair,
    ::testing::Values(FilePairCase{"Mp3AgainstQuieterOpus", mp3Stereo, opusHighPassed, -7.5, 0},
                      FilePairCase{"VideoAgainstTelephone", videoWithSound, telephone, 20, 0},
                      FilePairCase{"TelephoneAgainstVideo", telephone, videoWithSound, -20, 0},
                      FilePairCase{"FlacAgainstDriftingAac", flac, drifting, 8 * kSlow,
                                   (kSlow - 1) * 1e6}),
    byName);

std::string wavMono44() {
    return AlignMedia::made("align-mono-44k.wav", "wav", 0, 30, "", {"-ar", "44100"});
}

struct LengthCase {
    const char* name;
    std::string (*file)();
    double seconds;
    double within;  // AAC ends with a partly filled frame of 21 ms
};

class DecodedSound : public ::testing::TestWithParam<LengthCase> {};

// A sample gained or lost per frame would show as drift.
TEST_P(DecodedSound, LastsAsLongAsTheFile) {
    std::atomic<bool> cancelled{false};
    const MonoSound sound = decodeMono(GetParam().file(), kAlignRate, cancelled, {});
    EXPECT_EQ(sound.rate, kAlignRate);
    EXPECT_NEAR(sound.seconds(), GetParam().seconds, GetParam().within);
}

INSTANTIATE_TEST_SUITE_P(Files, DecodedSound,
                         ::testing::Values(LengthCase{"WavMono44k", wavMono44, 30, 0.002},
                                           LengthCase{"Mp3Stereo", mp3Stereo, 40, 0.002},
                                           LengthCase{"Opus", opusHighPassed, 45, 0.002},
                                           LengthCase{"Video", videoWithSound, 35, 0.022},
                                           LengthCase{"Telephone", telephone, 58, 0.002},
                                           LengthCase{"Aac", drifting, 55 * kSlow, 0.022}),
                         byName);

std::string videoOnly() {
    return TestMedia::generated("align-video-only.mkv", "matroska",
                                {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=25:duration=5"},
                                {"-c:v", "libx264", "-preset", "ultrafast"});
}

struct BadFileCase {
    const char* name;
    std::string (*file)();
    const char* why;
};

class BadFile : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadFile, IsRefusedByName) {
    const std::string bad = GetParam().file();
    for (const bool first : {true, false}) {
        try {
            first ? align(bad, flac()) : align(flac(), bad);
            FAIL() << "aligned " << bad;
        } catch (const AlignError& e) {
            EXPECT_EQ(e.kind(), AlignError::Kind::Unreadable);
            const std::string message = e.what();
            EXPECT_NE(message.find(bad), std::string::npos) << message;
            EXPECT_NE(message.find(GetParam().why), std::string::npos) << message;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFile,
    ::testing::Values(BadFileCase{"VideoWithoutSound", videoOnly, "no sound stream"},
                      BadFileCase{"Text", TestMedia::text, "cannot be read"},
                      BadFileCase{"Missing", TestMedia::missing, "No such file"}),
    byName);

// What the window sees of the worker threads.
class WorkerThreads : public ::testing::Test {
protected:
    // Aligns two files and waits for the outcome; `onProgress` sees each report under the lock.
    void alignAndWait(AlignmentWorker& aligner, std::function<void(double)> onProgress) {
        aligner.start(
            flac(), drifting(),
            [this, onProgress](double p) {
                std::lock_guard lock(m_mutex);
                onProgress(p);
            },
            [this](const AlignmentWorker::Outcome& o) {
                std::lock_guard lock(m_mutex);
                m_doneAt = std::chrono::steady_clock::now();
                m_outcomes.push_back(o);
                m_changed.notify_all();
            });
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_outcomes.empty(); });
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<AlignmentWorker::Outcome> m_outcomes;
    std::chrono::steady_clock::time_point m_doneAt;
};

TEST_F(WorkerThreads, ReportRisingProgressAndOneResult) {
    AlignmentWorker aligner;
    std::vector<double> progress;
    alignAndWait(aligner, [&](double p) { progress.push_back(p); });
    std::lock_guard lock(m_mutex);
    ASSERT_EQ(m_outcomes.size(), 1u);
    ASSERT_TRUE(std::holds_alternative<Alignment>(m_outcomes[0]));
    ASSERT_FALSE(progress.empty());
    for (std::size_t i = 1; i < progress.size(); ++i)
        EXPECT_GE(progress[i], progress[i - 1]);
    EXPECT_GE(progress.front(), 0.0);
    EXPECT_DOUBLE_EQ(progress.back(), 1.0);
}

TEST_F(WorkerThreads, EndWithinTwoHundredMillisecondsOfACancel) {
    AlignmentWorker aligner;
    std::chrono::steady_clock::time_point cancelledAt;
    bool asked = false;
    alignAndWait(aligner, [&](double) {
        if (!asked) {
            asked = true;
            cancelledAt = std::chrono::steady_clock::now();
            aligner.cancel();
        }
    });
    std::lock_guard lock(m_mutex);
    ASSERT_TRUE(std::holds_alternative<AlignError>(m_outcomes[0]));
    EXPECT_EQ(std::get<AlignError>(m_outcomes[0]).kind(), AlignError::Kind::Cancelled);
    EXPECT_LT(m_doneAt - cancelledAt, std::chrono::milliseconds(200));
}

}  // namespace
