// The analysis on sounds made in memory: offsets known to the sample, either sign, drift, files
// of very different lengths, microphones that differ; and the refusals.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "AlignTestSound.h"
#include "NamedCases.h"
#include "OffsetFinder.h"

namespace {

const std::string kName1 = "one.wav", kName2 = "two.wav";

Alignment align(const MonoSound& a, const MonoSound& b) {
    std::atomic<bool> cancelled{false};
    return findAlignment({a, kName1}, {b, kName2}, cancelled, {});
}

struct PairCase {
    const char* name;
    double from1, seconds1;  // where file 1 starts in the source, and its length
    double from2, seconds2;
    double driftPpm;  // file 2's clock against file 1's
};

class KnownPair : public ::testing::TestWithParam<PairCase> {};

TEST_P(KnownPair, IsFoundToWithinHalfAMillisecondAndTwoPpm) {
    const PairCase& c = GetParam();
    const std::vector<float> source = speechLike(200, kTestRate, 7);
    const double stretch = 1 + c.driftPpm * 1e-6;
    const MonoSound one = monoOf(excerptOf(source, kTestRate, c.from1, c.seconds1, 1.0));
    const MonoSound two = monoOf(excerptOf(source, kTestRate, c.from2, c.seconds2, stretch));
    const Alignment found = align(one, two);
    EXPECT_NEAR(found.offset, (c.from1 - c.from2) * stretch, 0.0005);
    EXPECT_NEAR(found.driftPpm, c.driftPpm, 2.0);
    EXPECT_GT(found.score, 0.5);
}

// 1/8000 s is one sample: the offsets sit between samples as often as on them.
INSTANTIATE_TEST_SUITE_P(Pairs, KnownPair,
                         ::testing::Values(PairCase{"SameStart", 10, 60, 10, 60, 0},
                                           PairCase{"SecondStartsLater", 20.5, 60, 13.154125, 70,
                                                    0},
                                           PairCase{"SecondStartsEarlier", 3, 60, 40.0003, 50, 0},
                                           PairCase{"OneSampleApart", 30, 40, 30.000125, 40, 0},
                                           PairCase{"SecondRunsFast", 5, 90, 12.25, 90, 300},
                                           PairCase{"SecondRunsSlow", 30, 90, 2.5, 100, -250},
                                           PairCase{"ShortInsideLong", 100, 20, 0, 190, 120},
                                           PairCase{"LongAroundShort", 0, 190, 150.75, 15, -80},
                                           PairCase{"OverlapOnlyPartly", 0, 80, 50, 80, 0}),
                         byName);

TEST(DifferentMicrophones, QuieterNoisierSideIsAlignedAsWell) {
    const std::vector<float> source = speechLike(120, kTestRate, 11);
    const MonoSound one =
        monoOf(mixed(excerptOf(source, kTestRate, 12, 100, 1.0), noise(100, -35, 1)));
    // Twelve decibels quieter with noise ten decibels under the sound.
    const MonoSound two =
        monoOf(mixed(excerptOf(source, kTestRate, 4.5, 110, 1 + 150e-6), noise(110, -27, 2)), 0.25);
    const Alignment found = align(one, two);
    EXPECT_NEAR(found.offset, 7.5 * (1 + 150e-6), 0.0005);
    EXPECT_NEAR(found.driftPpm, 150, 2.0);
}

struct UnrelatedCase {
    const char* name;
    std::vector<float> (*first)();
    std::vector<float> (*second)();
};

std::vector<float> speechA() {
    return speechLike(60, kTestRate, 21);
}
std::vector<float> speechB() {
    return speechLike(60, kTestRate, 22);
}
std::vector<float> speechLong() {
    return speechLike(180, kTestRate, 23);
}
std::vector<float> hiss() {
    return noise(60, -20, 24);
}
std::vector<float> otherHiss() {
    return noise(60, -20, 25);
}
std::vector<float> silence() {
    return std::vector<float>(60 * kTestRate, 0.0f);
}
std::vector<float> tone() {
    std::vector<float> out(60 * kTestRate);
    for (std::size_t n = 0; n < out.size(); ++n)
        out[n] = float(0.3 * std::sin(2 * 3.141592653589793 * 440.0 * double(n) / kTestRate));
    return out;
}

class UnrelatedPair : public ::testing::TestWithParam<UnrelatedCase> {};

TEST_P(UnrelatedPair, IsRefusedAsSharingNoSound) {
    const MonoSound one = monoOf(GetParam().first()), two = monoOf(GetParam().second());
    try {
        align(one, two);
        FAIL() << "aligned a pair that shares no sound";
    } catch (const AlignError& e) {
        EXPECT_EQ(e.kind(), AlignError::Kind::NoCommonSound) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, UnrelatedPair,
                         ::testing::Values(UnrelatedCase{"TwoTalks", speechA, speechB},
                                           UnrelatedCase{"TalkAndLongerTalk", speechA, speechLong},
                                           UnrelatedCase{"TalkAndHiss", speechA, hiss},
                                           UnrelatedCase{"TwoHisses", hiss, otherHiss},
                                           UnrelatedCase{"TwoEqualTones", tone, tone},
                                           UnrelatedCase{"TalkAndSilence", speechA, silence},
                                           UnrelatedCase{"TwoSilences", silence, silence}),
                         byName);

TEST(SilentFile, IsNamedInTheRefusal) {
    const MonoSound talk = monoOf(speechA()), quiet = monoOf(silence());
    try {
        align(talk, quiet);
        FAIL() << "aligned against silence";
    } catch (const AlignError& e) {
        EXPECT_NE(std::string(e.what()).find(kName2), std::string::npos) << e.what();
    }
}

TEST(Cancelling, StopsTheAnalysis) {
    const MonoSound one = monoOf(speechA());
    std::atomic<bool> cancelled{true};
    try {
        findAlignment({one, kName1}, {one, kName2}, cancelled, {});
        FAIL() << "the analysis ran on after the cancel";
    } catch (const AlignError& e) {
        EXPECT_EQ(e.kind(), AlignError::Kind::Cancelled);
    }
}

}  // namespace
