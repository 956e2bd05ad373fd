// The decoder on short streams encoded here with libavcodec's encoders.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

#include "dvr/stream_headers.h"
#include "media/libav_log.h"
#include "media/video_decoder.h"
#include "tests/media/test_streams.h"

namespace {

struct DecodeResult {
    int pictures = 0;
    int width = 0;
    int height = 0;
    bool contentOk = true;
};

bool Near(int value, int want) {
    return std::abs(value - want) <= 8;
}

DecodeResult DecodeAll(VideoDecoder& decoder, const EncodedStream& stream) {
    DecodeResult r;
    for (const auto& packet : stream.packets) {
        AVFrame* frame = nullptr;
        int w = 0, h = 0;
        if (decoder.Decode(packet.data(), static_cast<int>(packet.size()), &frame, &w, &h) != 0)
            continue;
        ++r.pictures;
        r.width = w;
        r.height = h;
        const uint8_t* y = frame->data[0] + (h / 2) * frame->linesize[0];
        const uint8_t* u = frame->data[1] + (h / 4) * frame->linesize[1];
        const uint8_t* v = frame->data[2] + (h / 4) * frame->linesize[2];
        r.contentOk = r.contentOk && Near(y[w / 4], 60) && Near(y[3 * w / 4], 200) && Near(u[w / 4], 100) &&
                      Near(v[w / 4], 160);
    }
    return r;
}

struct CodecCase {
    const char* encoder;
    int dvrCodec;
    int width;
    int height;
};

void PrintTo(const CodecCase& c, std::ostream* os) {
    *os << c.encoder << " as codec " << c.dvrCodec << " " << c.width << "x" << c.height;
}

class DecoderCodecs : public ::testing::TestWithParam<CodecCase> {};

TEST_P(DecoderCodecs, DecodesEveryFrameAtItsSize) {
    const CodecCase& c = GetParam();
    if (!HaveEncoder(c.encoder))
        GTEST_SKIP() << c.encoder << " encoder not in this libavcodec";
    EncodedStream stream;
    ASSERT_TRUE(EncodeTestStream(c.encoder, c.width, c.height, 10, &stream));
    VideoDecoder decoder;
    ASSERT_EQ(decoder.Open(DecoderCodecId(c.dvrCodec)), 0);
    DecodeResult r = DecodeAll(decoder, stream);
    EXPECT_EQ(r.pictures, 10);
    EXPECT_EQ(r.width, c.width);
    EXPECT_EQ(r.height, c.height);
    EXPECT_TRUE(r.contentOk);
}

INSTANTIATE_TEST_SUITE_P(Streams, DecoderCodecs,
                         ::testing::Values(CodecCase{"libx264", 17, 352, 288},
                                           CodecCase{"mpeg4", 16, 352, 288}, CodecCase{"mpeg4", 0, 176, 144},
                                           CodecCase{"h263", 13, 176, 144}),
                         [](const auto& info) {
                             return std::string(info.param.encoder) + "_" +
                                    std::to_string(info.param.dvrCodec);
                         });

TEST(Decoder, UnknownCodecNumbersDoNotOpen) {
    VideoDecoder decoder;
    EXPECT_EQ(DecoderCodecId(99), 0);
    EXPECT_EQ(decoder.Open(DecoderCodecId(99)), -1);
    decoder.Close();
    EXPECT_FALSE(decoder.IsOpen());
}

TEST(Decoder, NothingDecodesWhileClosedOrFromAnEmptyPacket) {
    EncodedStream stream;
    ASSERT_TRUE(EncodeTestStream("mpeg4", 176, 144, 3, &stream));
    VideoDecoder decoder;
    const auto& first = stream.packets[0];
    EXPECT_EQ(decoder.Decode(first.data(), static_cast<int>(first.size()), nullptr, nullptr, nullptr), -1);
    ASSERT_EQ(decoder.Open(DecoderCodecId(16)), 0);
    EXPECT_EQ(decoder.Decode(nullptr, 0, nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(decoder.Decode(first.data(), 0, nullptr, nullptr, nullptr), -1);
    // An empty packet must not have ended the stream: the real packets still decode.
    EXPECT_EQ(DecodeAll(decoder, stream).pictures, 3);
}

TEST(Decoder, ReopenTakesANewSizeAndCodec) {
    EncodedStream small, large;
    ASSERT_TRUE(EncodeTestStream("h263", 176, 144, 4, &small));
    ASSERT_TRUE(EncodeTestStream("mpeg4", 704, 576, 4, &large));
    VideoDecoder decoder;
    ASSERT_EQ(decoder.Open(DecoderCodecId(13)), 0);
    DecodeResult a = DecodeAll(decoder, small);
    decoder.Close();
    ASSERT_EQ(decoder.Open(DecoderCodecId(16)), 0);
    DecodeResult b = DecodeAll(decoder, large);
    EXPECT_EQ(a.width, 176);
    EXPECT_EQ(b.width, 704);
    EXPECT_EQ(b.height, 576);
    EXPECT_EQ(b.pictures, 4);
}

TEST(Decoder, SameCodecFollowsASizeChangeInTheStream) {
    EncodedStream small, large;
    ASSERT_TRUE(EncodeTestStream("mpeg4", 176, 144, 3, &small));
    ASSERT_TRUE(EncodeTestStream("mpeg4", 352, 288, 3, &large));
    VideoDecoder decoder;
    ASSERT_EQ(decoder.Open(DecoderCodecId(16)), 0);
    EXPECT_EQ(DecodeAll(decoder, small).width, 176);
    DecodeResult r = DecodeAll(decoder, large);
    EXPECT_EQ(r.width, 352);
    EXPECT_EQ(r.pictures, 3);
}

// A stream that claims pictures far bigger than any camera's is refused instead of decoded.
TEST(Decoder, HugePicturesAreRefused) {
    EncodedStream huge;
    ASSERT_TRUE(EncodeTestStream("mpeg4", 4352, 4096, 1, &huge));
    VideoDecoder decoder;
    ASSERT_EQ(decoder.Open(DecoderCodecId(16)), 0);
    EXPECT_EQ(DecodeAll(decoder, huge).pictures, 0);
}

TEST(Decoder, PicturesThatAreNotPlanar420AreDropped) {
    EncodedStream stream;
    ASSERT_TRUE(EncodeTestStream("mjpeg", 64, 48, 2, &stream, 1, true));
    VideoDecoder decoder;
    ASSERT_EQ(decoder.Open(AV_CODEC_ID_MJPEG), 0);
    EXPECT_EQ(DecodeAll(decoder, stream).pictures, 0);
    // The same pictures in 4:2:0 come out.
    EncodedStream planar;
    ASSERT_TRUE(EncodeTestStream("mjpeg", 64, 48, 2, &planar, 1, false));
    EXPECT_EQ(DecodeAll(decoder, planar).pictures, 2);
}

TEST(StreamHeaders, ShortBlocksKeepTheRestOfThePreviousHeader) {
    VideoStreamHeader header{352, 288, 2500, 16};
    const int32_t block[2] = {704, 576};
    ApplyStreamHeaderBlock(&header, reinterpret_cast<const uint8_t*>(block), 8);
    EXPECT_EQ(header.width, 704);
    EXPECT_EQ(header.height, 576);
    EXPECT_EQ(header.frameRate, 2500);
    EXPECT_EQ(header.codecType, 16);
    uint8_t longBlock[20] = {};
    longBlock[0] = 2;
    AudioStreamHeader audio{};
    ApplyStreamHeaderBlock(&audio, longBlock, sizeof longBlock);
    EXPECT_EQ(audio.channels, 2);
}

}  // namespace

// libav's messages reach the terminal once per text and decoder, warnings and errors only, up to a bound.
TEST(LibavLog, WritesEachWarningOncePerDecoderUpToTheBound) {
    LibavLogFilter filter(3);
    int first = 0;
    int second = 0;
    struct Step {
        int level;
        const void* context;
        const char* text;
        bool written;
    };
    const Step steps[] = {
        {AV_LOG_WARNING, &first, "clipping dct coefficients", true},
        {AV_LOG_WARNING, &first, "clipping dct coefficients", false},  // the same again: quiet
        {AV_LOG_WARNING, &second, "clipping dct coefficients", true},  // another stream says it too
        {AV_LOG_INFO, &first, "a note", false},                        // below warning level
        {AV_LOG_DEBUG, &first, "detail", false},
        {AV_LOG_ERROR, &first, "", false},
        {AV_LOG_ERROR, &first, "Picture size 0x0 is invalid", true},
        {AV_LOG_ERROR, &second, "Picture size 0x0 is invalid", false},  // past the bound of three
        {AV_LOG_ERROR, &first, "Picture size 0x0 is invalid", false},
    };
    for (const Step& step : steps)
        EXPECT_EQ(filter.Admit(step.level, step.context, step.text), step.written) << step.text;
    // The bound is announced once.
    EXPECT_TRUE(filter.TakeFullNotice());
    EXPECT_FALSE(filter.Admit(AV_LOG_ERROR, &second, "another"));
    EXPECT_FALSE(filter.TakeFullNotice());
}
