#include "SoundDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <memory>

#include "AlignLog.h"
#include "Alignment.h"
#include "Cancel.h"

namespace {

std::string avText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

[[noreturn]] void unreadable(const std::string& path, const std::string& why) {
    throw AlignError(AlignError::Kind::Unreadable,
                     "The file " + path + " cannot be read: " + why + ".");
}

struct FormatCloser {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwrFreer {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

// Reads packets, decodes them and resamples the frames into one channel at the target rate.
class Decoding {
public:
    Decoding(const std::string& path, int rate, const std::atomic<bool>& cancelled,
             const std::function<void(double)>& progress)
        : m_path(path), m_cancelled(cancelled), m_progress(progress) {
        m_sound.rate = rate;
    }

    MonoSound run() {
        open();
        std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
        std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
        if (!packet || !frame)
            unreadable(m_path, "out of memory");
        int packets = 0;
        while (true) {
            throwIfCancelled(m_cancelled);
            const int read = av_read_frame(m_format.get(), packet.get());
            if (read == AVERROR_EOF)
                break;
            if (read < 0) {
                alignLog(m_path + ": reading stopped early: " + avText(read));
                break;
            }
            if (packet->stream_index == m_stream) {
                if (++packets % 64 == 0)
                    report(packet->pts);
                const int sent = avcodec_send_packet(m_codec.get(), packet.get());
                if (sent < 0)
                    alignLog(m_path + ": a damaged packet was skipped: " + avText(sent));
                else
                    drain(frame.get());
            }
            av_packet_unref(packet.get());
        }
        avcodec_send_packet(m_codec.get(), nullptr);
        drain(frame.get());
        flushResampler();
        if (m_sound.samples.empty())
            unreadable(m_path, "its sound stream holds no sound that can be decoded");
        return std::move(m_sound);
    }

private:
    void open() {
        AVFormatContext* format = nullptr;
        const int opened = avformat_open_input(&format, m_path.c_str(), nullptr, nullptr);
        if (opened < 0)
            unreadable(m_path, avText(opened));
        m_format.reset(format);
        const int found = avformat_find_stream_info(format, nullptr);
        if (found < 0)
            unreadable(m_path, avText(found));
        const AVCodec* codec = nullptr;
        m_stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (m_stream == AVERROR_STREAM_NOT_FOUND)
            unreadable(m_path, "it holds no sound stream");
        if (m_stream < 0 || !codec)
            unreadable(m_path, "no decoder for its sound stream");
        const AVStream* stream = format->streams[m_stream];
        m_timeBase = av_q2d(stream->time_base);
        m_duration = stream->duration != AV_NOPTS_VALUE ? double(stream->duration) * m_timeBase
                     : format->duration > 0             ? double(format->duration) / AV_TIME_BASE
                                                        : 0.0;
        m_codec.reset(avcodec_alloc_context3(codec));
        if (!m_codec || avcodec_parameters_to_context(m_codec.get(), stream->codecpar) < 0)
            unreadable(m_path, "its sound stream's parameters are not understood");
        m_codec->pkt_timebase = stream->time_base;
        const int codecOpened = avcodec_open2(m_codec.get(), codec, nullptr);
        if (codecOpened < 0)
            unreadable(m_path, avText(codecOpened));
        // One allocation of the expected length: growing a vector of two hours, or shrinking it
        // to fit, holds it twice for a moment.
        if (m_duration > 0)
            m_sound.samples.reserve(std::size_t(m_duration * 1.01 * m_sound.rate) + 4096);
    }

    void drain(AVFrame* frame) {
        while (true) {
            const int got = avcodec_receive_frame(m_codec.get(), frame);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
                return;
            if (got < 0) {
                alignLog(m_path + ": a frame could not be decoded: " + avText(got));
                return;
            }
            resample(frame);
            av_frame_unref(frame);
        }
    }

    void prepareResampler(const AVFrame* frame) {
        if (m_swr && frame->sample_rate == m_inRate && frame->format == m_inFormat &&
            av_channel_layout_compare(&frame->ch_layout, &m_frameLayout) == 0)
            return;
        if (m_swr)
            flushResampler();
        av_channel_layout_uninit(&m_frameLayout);
        av_channel_layout_copy(&m_frameLayout, &frame->ch_layout);
        // A layout that names no channels is taken as the usual one for their number.
        av_channel_layout_uninit(&m_inLayout);
        av_channel_layout_copy(&m_inLayout, &frame->ch_layout);
        if (m_inLayout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&m_inLayout, frame->ch_layout.nb_channels);
        m_inRate = frame->sample_rate;
        m_inFormat = frame->format;
        AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
        SwrContext* swr = nullptr;
        if (swr_alloc_set_opts2(&swr, &mono, AV_SAMPLE_FMT_S16, m_sound.rate, &m_inLayout,
                                AVSampleFormat(m_inFormat), m_inRate, 0, nullptr) < 0 ||
            swr_init(swr) < 0) {
            swr_free(&swr);
            unreadable(m_path, "its sound cannot be converted");
        }
        m_swr.reset(swr);
    }

    void resample(const AVFrame* frame) {
        prepareResampler(frame);
        const int room = swr_get_out_samples(m_swr.get(), frame->nb_samples);
        if (room <= 0)
            return;
        const std::size_t before = m_sound.samples.size();
        m_sound.samples.resize(before + std::size_t(room));
        auto* out = reinterpret_cast<std::uint8_t*>(m_sound.samples.data() + before);
        const int made =
            swr_convert(m_swr.get(), &out, room,
                        const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
        m_sound.samples.resize(before + std::size_t(std::max(made, 0)));
        if (made < 0)
            alignLog(m_path + ": a frame could not be resampled: " + avText(made));
    }

    void flushResampler() {
        if (!m_swr)
            return;
        const int room = swr_get_out_samples(m_swr.get(), 0);
        if (room > 0) {
            const std::size_t before = m_sound.samples.size();
            m_sound.samples.resize(before + std::size_t(room));
            auto* out = reinterpret_cast<std::uint8_t*>(m_sound.samples.data() + before);
            const int made = swr_convert(m_swr.get(), &out, room, nullptr, 0);
            m_sound.samples.resize(before + std::size_t(std::max(made, 0)));
        }
        m_swr.reset();
    }

    void report(std::int64_t pts) {
        if (!m_progress || m_duration <= 0 || pts == AV_NOPTS_VALUE)
            return;
        m_progress(std::clamp(double(pts) * m_timeBase / m_duration, 0.0, 1.0));
    }

    const std::string& m_path;
    const std::atomic<bool>& m_cancelled;
    const std::function<void(double)>& m_progress;
    MonoSound m_sound;
    std::unique_ptr<AVFormatContext, FormatCloser> m_format;
    std::unique_ptr<AVCodecContext, CodecFreer> m_codec;
    std::unique_ptr<SwrContext, SwrFreer> m_swr;
    AVChannelLayout m_frameLayout{};
    AVChannelLayout m_inLayout{};
    int m_inRate = 0;
    int m_inFormat = -1;
    int m_stream = -1;
    double m_timeBase = 0.0;
    double m_duration = 0.0;

public:
    ~Decoding() {
        av_channel_layout_uninit(&m_frameLayout);
        av_channel_layout_uninit(&m_inLayout);
    }
};

}  // namespace

MonoSound decodeMono(const std::string& path, int rate, const std::atomic<bool>& cancelled,
                     const std::function<void(double)>& progress) {
    MonoSound sound = Decoding(path, rate, cancelled, progress).run();
    if (progress)
        progress(1.0);
    return sound;
}
