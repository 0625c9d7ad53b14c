#include "LongMedia.h"

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <stdexcept>

#include "TestMedia.h"

std::string longVideo(int seconds) {
    namespace fs = std::filesystem;
    const fs::path final =
        fs::path(TestMedia::folder()) / ("long-" + std::to_string(seconds) + "s.mkv");
    if (fs::exists(final))
        return final.string();
    const int loops = static_cast<int>(seconds / TestMedia::kDuration) + 1;
    const std::string partial = final.string() + ".part";
    const int status = QProcess::execute(
        "ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-stream_loop",
                   QString::number(loops), "-i", QString::fromStdString(TestMedia::video()), "-t",
                   QString::number(seconds), "-c", "copy", "-f", "matroska",
                   QString::fromStdString(partial)});
    if (status != 0)
        throw std::runtime_error("ffmpeg could not make " + final.string());
    fs::rename(partial, final);
    return final.string();
}
