#include "BenchMedia.h"

#include <unistd.h>

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <stdexcept>

#include "TestMedia.h"

namespace fs = std::filesystem;

namespace {

// Bump when the files change, so stale ones from an older build are not reused.
constexpr const char* kVersion = "b1";

std::string generated(const std::string& name, const QStringList& source) {
    const fs::path final = fs::path(TestMedia::folder()) / name;
    if (fs::exists(final)) {
        return final.string();
    }
    // Written under a private name and renamed when whole, so a second process never sees
    // half a file.
    const std::string partial = final.string() + ".part" + std::to_string(::getpid());
    QStringList args{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"};
    args << source;
    args << "-f"
         << "matroska" << QString::fromStdString(partial);
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", args);
    if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitStatus() != QProcess::NormalExit ||
        ffmpeg.exitCode() != 0) {
        throw std::runtime_error("ffmpeg failed making " + name + ": " +
                                 ffmpeg.readAllStandardError().toStdString());
    }
    fs::rename(partial, final);
    return final.string();
}

QStringList tone(int seconds) {
    return {"-f", "lavfi", "-i",
            QString("sine=frequency=440:sample_rate=48000:duration=%1").arg(seconds)};
}

QStringList encoding(const char* preset) {
    return {"-c:v",     "libx264", "-preset", preset, "-g",       "50",
            "-pix_fmt", "yuv420p", "-c:a",    "flac", "-shortest"};
}

std::string baseName(const char* kind, int width, int height, int seconds) {
    return std::string("bench-") + kVersion + "-" + kind + "-" + std::to_string(width) + "x" +
           std::to_string(height) + "-" + std::to_string(seconds) + "s.mkv";
}

}  // namespace

std::string BenchMedia::moving(int width, int height, int seconds) {
    QStringList source{"-f", "lavfi", "-i",
                       QString("testsrc2=size=%1x%2:rate=%3:duration=%4")
                           .arg(width)
                           .arg(height)
                           .arg(kFrameRate)
                           .arg(seconds)};
    // A camera's encoder spends more than ultrafast does; the decoder's cost follows.
    return generated(baseName("moving", width, height, seconds),
                     source + tone(seconds) + encoding("veryfast"));
}

std::string BenchMedia::frameNumbered(int width, int height, int seconds) {
    // Drawn at 4 pixels a stripe and scaled up without smoothing: the expression runs on few
    // pixels and the edges stay sharp.
    const int small = kStripes * 4;
    const int smallHeight = 36;
    const QString bit =
        QString("mod(floor(N/pow(2,floor(X*%1/W)))+floor(N/pow(2,floor(X*%1/W)+1)),2)")
            .arg(kStripes);
    const QString band = QString("lt(Y,%1)").arg(smallHeight / 4);
    const QString grey = QString("if(%1,0,255*%2)").arg(band, bit);
    const QString green = QString("if(%1,255,255*%2)").arg(band, bit);
    const QString filter = QString(
                               "color=c=black:s=%1x%2:r=%3:d=%4,format=gbrp,"
                               "geq=r='%5':g='%6':b='%5',scale=%7:%8:flags=neighbor")
                               .arg(small)
                               .arg(smallHeight)
                               .arg(kFrameRate)
                               .arg(seconds)
                               .arg(grey, green)
                               .arg(width)
                               .arg(height);
    return generated(
        baseName("frames", width, height, seconds),
        QStringList{"-f", "lavfi", "-i", filter} + tone(seconds) + encoding("ultrafast"));
}
