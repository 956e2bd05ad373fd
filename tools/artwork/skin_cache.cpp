#include "tools/artwork/skin_cache.h"

#include "tools/artwork/skins.h"

namespace artwork {
namespace {

const QImage& CachedSkin(unsigned id, Corners corners) {
    static const QImage none;
    static const QImage skins[2][2] = {
        {DrawMainSkin(Corners::kCut), DrawMainSkin(Corners::kKeep)},
        {DrawPlaybackSkin(Corners::kCut), DrawPlaybackSkin(Corners::kKeep)},
    };
    const int which = corners == Corners::kCut ? 0 : 1;
    switch (id) {
        case 155:
            return skins[0][which];
        case 213:
            return skins[1][which];
        default:
            return none;
    }
}

}  // namespace

const QImage& SkinPicture(unsigned id) {
    return CachedSkin(id, Corners::kCut);
}

const QImage& SkinGround(unsigned id) {
    return CachedSkin(id, Corners::kKeep);
}

}  // namespace artwork
