#pragma once

#include <vector>

// Every picture the programs load by resource number, with its size. `frames` is 3 for the button strips
// (normal, hover and pressed pictures side by side), 1 for everything else.
struct ArtworkEntry {
    unsigned id;
    int width;
    int height;
    int frames;
    const char* family;
    const char* meaning;
};

const std::vector<ArtworkEntry>& ArtworkCatalog();
const ArtworkEntry* FindArtwork(unsigned id);

// The application icon (icon resource 128 of both programs), written as resources/icons/128.png with an
// alpha channel; it is not a bitmap resource and is not in the catalog.
inline constexpr unsigned kAppIconId = 128;
inline constexpr int kAppIconSize = 256;

// Windows shaped from the white corner pixels of their skin: the 11 x 11 corner areas of these bitmaps are
// pure white exactly where the window is cut away.
inline constexpr unsigned kShapedSkins[] = {155, 213};
inline constexpr int kShapedCornerSize = 11;
