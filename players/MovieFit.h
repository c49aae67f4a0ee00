// Where a movie goes on the screen: the largest rectangle of the movie's
// aspect ratio that fits, centred, with black bars on the other axis.
#pragma once

#include <windows.h>

// movieWidth × movieHeight is the movie's natural size, screenWidth ×
// screenHeight the area to fill. A zero side never divides: that side comes
// out 0 (both zero: the whole area). Products are taken in 64 bits, so
// large sizes do not overflow.
RECT FitMovie(int movieWidth, int movieHeight, int screenWidth, int screenHeight);
