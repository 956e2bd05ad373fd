#include "tools/artwork/artwork.h"

#include "tools/artwork/buttons.h"
#include "tools/artwork/icons.h"
#include "tools/artwork/pictures.h"
#include "tools/artwork/skin_cache.h"
#include "tools/artwork/skins.h"
#include "tools/artwork/sliders.h"

QImage DrawArtwork(unsigned id) {
    using namespace artwork;
    switch (id) {
        case 155:
        case 213:
            return SkinPicture(id);
        case 189:
            return DrawLoginSkin();
        case 132:
            return DrawTreeBackground();
        default:
            break;
    }
    for (QImage (*draw)(unsigned) :
         {DrawButtonStrip, DrawSliderPicture, DrawIconPicture, DrawScreenPicture}) {
        QImage picture = draw(id);
        if (!picture.isNull()) {
            return picture;
        }
    }
    return {};
}
