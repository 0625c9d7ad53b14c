// The built program run as a user runs it: pellucor --align on files made with ffmpeg, its one
// line on standard output and its exit status.
#include <gtest/gtest.h>

#include <QProcess>
#include <cstdlib>
#include <regex>

#include "AlignMedia.h"
#include "NamedCases.h"

namespace {

struct Finished {
    int status = -1;
    std::string out, err;
};

// No display: the command must not need one.
Finished pellucor(const std::vector<std::string>& arguments) {
    QStringList args;
    for (const std::string& a : arguments)
        args << QString::fromStdString(a);
    QProcessEnvironment environment;
    environment.insert("PATH", "/usr/bin:/bin");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(PELLUCOR_EXE, args);
    if (!program.waitForFinished(110000))
        throw std::runtime_error("cannot run " PELLUCOR_EXE);
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            program.readAllStandardOutput().toStdString(),
            program.readAllStandardError().toStdString()};
}

std::string near() {
    return AlignMedia::made("align-cli-near.wav", "wav", 3, 40, "lowpass=f=2500",
                            {"-ar", "16000", "-ac", "2"});
}
std::string far() {
    return AlignMedia::made("align-cli-far.mp3", "mp3", 10.25, 45, "highpass=f=300,volume=-12dB",
                            {"-ar", "44100", "-c:a", "libmp3lame", "-b:a", "64k"});
}
std::string unrelated() {
    return AlignMedia::made("align-cli-other.wav", "wav", 0, 40, "", {}, 3);
}

TEST(AlignCommand, PrintsOneLineAndEndsWithZero) {
    const Finished run = pellucor({"--align", near(), far()});
    EXPECT_EQ(run.status, 0) << run.err;
    std::smatch parts;
    const std::regex format(
        "offset=([+-][0-9]+\\.[0-9]{4}) drift_ppm=([+-][0-9]+\\.[0-9]) score=([01]\\.[0-9]{2})\n");
    ASSERT_TRUE(std::regex_match(run.out, parts, format)) << run.out;
    EXPECT_NEAR(std::atof(parts[1].str().c_str()), -7.25, 0.0011);
    EXPECT_NEAR(std::atof(parts[2].str().c_str()), 0.0, 2.0);
}

std::string nothing() {
    return {};
}

struct FailureCase {
    const char* name;
    std::vector<std::string (*)()> files;  // given after --align
    int status;
    std::string (*named)();  // the file the sentence names, if any
};

class FailingAlignCommand : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailingAlignCommand, SaysWhyOnStandardErrorAlone) {
    std::vector<std::string> arguments{"--align"};
    for (const auto file : GetParam().files)
        arguments.push_back(file());
    const Finished run = pellucor(arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_EQ(run.out, "");
    ASSERT_FALSE(run.err.empty());
    // One sentence; a command line refused as such is followed by the usage.
    const std::size_t lineEnd = run.err.find('\n');
    ASSERT_NE(lineEnd, std::string::npos) << run.err;
    EXPECT_TRUE(lineEnd == run.err.size() - 1 || run.err.substr(lineEnd + 1).starts_with("Usage:"))
        << run.err;
    EXPECT_NE(run.err.find(GetParam().named()), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FailingAlignCommand,
    ::testing::Values(
        FailureCase{"NoCommonSound", {near, unrelated}, 3, nothing},
        FailureCase{"FirstFileMissing", {TestMedia::missing, far}, 2, TestMedia::missing},
        FailureCase{"SecondFileMissing", {near, TestMedia::missing}, 2, TestMedia::missing},
        FailureCase{"OneFileOnly", {near}, 2, nothing}),
    byName);

}  // namespace
