// The built program run as a user runs it: pellucor --align on files made with ffmpeg, its one
// line on standard output and its exit status.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <regex>

#include "AlignMedia.h"
#include "NamedCases.h"

namespace {

struct Finished {
    int status = -1;
    std::string out, err;
};

std::string readAll(int fd) {
    std::string text;
    std::array<char, 4096> buffer{};
    ssize_t got;
    while ((got = ::read(fd, buffer.data(), buffer.size())) > 0)
        text.append(buffer.data(), std::size_t(got));
    ::close(fd);
    return text;
}

// No display: the command must not need one.
Finished pellucor(const std::vector<std::string>& arguments) {
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        throw std::runtime_error("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);
    std::vector<char*> argv{const_cast<char*>(PELLUCOR_EXE)};
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> env{const_cast<char*>("PATH=/usr/bin:/bin"), nullptr};
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, PELLUCOR_EXE, &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0)
        throw std::runtime_error("cannot start " PELLUCOR_EXE);
    Finished run;
    run.err = readAll(err[0]);
    run.out = readAll(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
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

class AlignCommand : public ::testing::Test {};

TEST_F(AlignCommand, PrintsOneLineAndEndsWithZero) {
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
