// A movie's frames as the player gets them: decoded and converted into a
// 32-bit display plane (platform::media::MovieDecoder converting straight
// into the plane's memory, as the movie plane does), against bare FFmpeg decoding the same MPEG-1 file
// and converting each frame with swscale into a B, G, R, A picture (its
// fastest 32-bit output: B, G, R, X costs it about a tenth more). The file
// (800 x 600, 50 frames, made with FFmpeg's MPEG-1 encoder on first use) is
// read whole per iteration by both. Target: at most 1.05 times FFmpeg's time.
#include <benchmark/benchmark.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "display/FastPlane.h"
#include "display/PixelFormat.h"
#include "platform/MovieDecoder.h"

namespace {

constexpr int kW = 800, kH = 600, kFrames = 50;

// Moving soft shapes with grain, so that the encoder makes real P frames.
std::string WriteMovie()
{
    const std::string path = (std::filesystem::temp_directory_path() / "lantern_movie_bench.mpg").string();
    AVFormatContext* out = nullptr;
    avformat_alloc_output_context2(&out, nullptr, "mpeg", path.c_str());
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
    AVStream* stream = avformat_new_stream(out, codec);
    AVCodecContext* enc = avcodec_alloc_context3(codec);
    enc->width = kW;
    enc->height = kH;
    enc->pix_fmt = AV_PIX_FMT_YUV420P;
    enc->time_base = AVRational{1, 25};
    enc->framerate = AVRational{25, 1};
    enc->bit_rate = 4000000;
    enc->gop_size = 12;
    avcodec_open2(enc, codec, nullptr);
    avcodec_parameters_from_context(stream->codecpar, enc);
    stream->time_base = enc->time_base;
    avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (avformat_write_header(out, nullptr) < 0) {
        std::fprintf(stderr, "movie_bench: cannot write %s\n", path.c_str());
    }
    AVFrame* frame = av_frame_alloc();
    frame->format = enc->pix_fmt;
    frame->width = kW;
    frame->height = kH;
    av_frame_get_buffer(frame, 0);
    AVPacket* packet = av_packet_alloc();
    uint32_t seed = 5;
    auto drain = [&] {
        while (avcodec_receive_packet(enc, packet) == 0) {
            av_packet_rescale_ts(packet, enc->time_base, stream->time_base);
            packet->stream_index = stream->index;
            av_interleaved_write_frame(out, packet);
        }
    };
    for (int n = 0; n < kFrames; ++n) {
        av_frame_make_writable(frame);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                seed = seed * 1103515245u + 12345u;
                const double v = 128 + 90 * std::sin((x + 4 * n) * 0.013) * std::cos((y - 3 * n) * 0.011);
                frame->data[0][y * frame->linesize[0] + x] = static_cast<uint8_t>(v + ((seed >> 16) % 9));
            }
        }
        for (int p = 1; p < 3; ++p)
            for (int y = 0; y < kH / 2; ++y)
                for (int x = 0; x < kW / 2; ++x)
                    frame->data[p][y * frame->linesize[p] + x] = static_cast<uint8_t>(128 + 40 * std::sin((x + y + n * p) * 0.02));
        frame->pts = n;
        avcodec_send_frame(enc, frame);
        drain();
    }
    avcodec_send_frame(enc, nullptr);
    drain();
    av_write_trailer(out);
    avio_closep(&out->pb);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&enc);
    avformat_free_context(out);
    return path;
}

const std::string& MoviePath()
{
    static const std::string path = WriteMovie();
    return path;
}

void BM_FfmpegSwscale(benchmark::State& state)
{
    std::vector<uint8_t> picture(static_cast<size_t>(kW) * kH * 4);
    for (auto _ : state) {
        AVFormatContext* format = nullptr;
        avformat_open_input(&format, MoviePath().c_str(), nullptr, nullptr);
        avformat_find_stream_info(format, nullptr);
        const AVCodec* codec = nullptr;
        const int stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        AVCodecContext* dec = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(dec, format->streams[stream]->codecpar);
        avcodec_open2(dec, codec, nullptr);
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        SwsContext* sws = nullptr;
        int frames = 0;
        auto receive = [&] {
            while (avcodec_receive_frame(dec, frame) == 0) {
                sws = sws_getCachedContext(sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                           kW, kH, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
                uint8_t* dst[4] = {picture.data(), nullptr, nullptr, nullptr};
                int pitch[4] = {kW * 4, 0, 0, 0};
                sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, pitch);
                ++frames;
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == stream) avcodec_send_packet(dec, packet);
            av_packet_unref(packet);
            receive();
        }
        avcodec_send_packet(dec, nullptr);
        receive();
        benchmark::DoNotOptimize(picture.data());
        if (frames != kFrames) state.SkipWithError("FFmpeg decoded a different number of frames");
        sws_freeContext(sws);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&dec);
        avformat_close_input(&format);
    }
}

void BM_MovieIntoPlane(benchmark::State& state)
{
    CFastPlane plane;
    plane.CreateSurface(kW, kH, pixfmt::kBGRX32);
    for (auto _ : state) {
        auto decoder = platform::media::MovieDecoder::Open(MoviePath());
        if (!decoder) {
            state.SkipWithError("the movie does not open");
            break;
        }
        int frames = 0;
        int64_t start = 0;
        while (decoder->NextFrame(&start)) {
            const SurfaceView v = plane.GetSurfaceView();
            decoder->ConvertInto(v.pixels, v.pitch);
            ++frames;
        }
        benchmark::DoNotOptimize(plane.GetSurfaceView().pixels);
        if (frames != kFrames) state.SkipWithError("the decoder gave a different number of frames");
    }
}

BENCHMARK(BM_FfmpegSwscale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MovieIntoPlane)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchsupport::MedianReporter {
public:
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        PrintRatio("movie frames decoded + converted vs FFmpeg + swscale, MPEG-1", "BM_MovieIntoPlane",
                   "BM_FfmpegSwscale", 1.05);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
