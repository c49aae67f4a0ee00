#include "players/MovieFit.h"

RECT FitMovie(int movieWidth, int movieHeight, int screenWidth, int screenHeight) {
    // Negative sizes count as empty; then neither division below can see a 0.
    const long long mw = movieWidth > 0 ? movieWidth : 0;
    const long long mh = movieHeight > 0 ? movieHeight : 0;
    const long long W = screenWidth > 0 ? screenWidth : 0;
    const long long H = screenHeight > 0 ? screenHeight : 0;
    long long x = 0, y = 0, width = W, height = H;
    if (H * mw < W * mh) {
        // Narrower than the screen: as high as the screen, bars left and right.
        width = H * mw / mh;
        height = H;
        x = (W - width) / 2;
    } else if (H * mw > W * mh) {
        // Wider: as wide as the screen, bars above and below.
        width = W;
        height = W * mh / mw;
        y = (H - height) / 2;
    }
    RECT rect;
    rect.left = static_cast<LONG>(x);
    rect.top = static_cast<LONG>(y);
    rect.right = static_cast<LONG>(x + width);
    rect.bottom = static_cast<LONG>(y + height);
    return rect;
}
