#pragma once
// Twips: the unit in which the window's outer size is stored and compared.

namespace qarvel::window {

inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsFromPixels(int pixels) { return pixels * kTwipsPerPixel; }
// Nearest pixel.
constexpr int pixelsFromTwips(int twips) {
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}
// The smallest pixel count that is at least the given twips, so that a size
// snapped to a twips minimum passes the same check afterwards.
constexpr int pixelsAtLeast(int twips) { return (twips + kTwipsPerPixel - 1) / kTwipsPerPixel; }

}  // namespace qarvel::window
