#include "core/codec_map.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {
struct CodecEntry {
    int dvrCodec;
    const char* name;
};

constexpr CodecEntry kCodecs[] = {
    {10, "mpeg1video"},   {11, "mpeg2video"}, {12, "h261"},  {13, "h263"},     {14, "mjpeg"},
    {15, "jpegls"},       {16, "mpeg4"},      {17, "h264"},  {18, "jpeg2000"}, {1003, "adpcm_g722"},
    {1004, "adpcm_g726"}, {1005, "mp2"},      {1006, "mp3"}, {1007, "aac"},
};
}  // namespace

const char* DvrCodecName(int dvrCodec) {
    for (const CodecEntry& e : kCodecs) {
        if (e.dvrCodec == dvrCodec)
            return e.name;
    }
    return nullptr;
}

int DvrCodecToAvCodecId(int dvrCodec) {
    const char* name = DvrCodecName(dvrCodec);
    if (name == nullptr)
        return AV_CODEC_ID_NONE;
    const AVCodecDescriptor* d = avcodec_descriptor_get_by_name(name);
    return d != nullptr ? static_cast<int>(d->id) : AV_CODEC_ID_NONE;
}
