#include "LongMedia.h"

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <stdexcept>

#include <unistd.h>

#include "TestMedia.h"

namespace {

namespace fs = std::filesystem;

// Runs ffmpeg into a partial name of this process and renames the result, so a half-made file is
// never reused and two benchmarks starting at once do not write into one another's.
std::string made(const fs::path& final, const QStringList& arguments) {
    if (fs::exists(final))
        return final.string();
    const std::string partial = final.string() + ".part" + std::to_string(::getpid());
    const QStringList common{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"};
    const QStringList output{"-f", "matroska", QString::fromStdString(partial)};
    if (QProcess::execute("ffmpeg", common + arguments + output) != 0)
        throw std::runtime_error("ffmpeg could not make " + final.string());
    fs::rename(partial, final);
    return final.string();
}

std::string clip(const std::string& size) {
    if (size == "320x240")
        return TestMedia::video();
    const QString d = QString::number(TestMedia::kDuration);
    return made(
        fs::path(TestMedia::folder()) / ("clip-" + size + ".mkv"),
        {"-f", "lavfi", "-i",
         QString::fromStdString("testsrc=rate=25:size=" + size) + ":duration=" + d, "-f", "lavfi",
         "-i", "sine=frequency=440:sample_rate=48000:duration=" + d, "-c:v", "libx264", "-preset",
         "ultrafast", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "flac", "-shortest"});
}

}  // namespace

std::string longVideo(int seconds, const std::string& size) {
    const std::string source = clip(size);
    const int loops = static_cast<int>(seconds / TestMedia::kDuration) + 1;
    return made(
        fs::path(TestMedia::folder()) / ("long-" + size + "-" + std::to_string(seconds) + "s.mkv"),
        {"-stream_loop", QString::number(loops), "-i", QString::fromStdString(source), "-t",
         QString::number(seconds), "-c", "copy"});
}
