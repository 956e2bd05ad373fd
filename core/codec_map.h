#pragma once

// Codec numbers announced in the DVRs' stream headers, mapped to libavcodec codec ids (AVCodecID values)
// by libavcodec's own codec names, so the map holds for any libavcodec version. 0 (AV_CODEC_ID_NONE) for
// a number that is not in the table.
int DvrCodecToAvCodecId(int dvrCodec);

// The libavcodec codec name behind a DVR codec number, nullptr when none.
const char* DvrCodecName(int dvrCodec);
