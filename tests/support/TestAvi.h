// Writes small uncompressed 24-bit AVI files for the movie tests: Video for
// Windows plays them with no codec installed.
#pragma once

#include <string>

namespace test {

// frames frames of width x height at fps frames a second, each frame a
// solid colour. False when the file could not be written.
bool WriteTestAvi(const std::string& path, int width, int height, int frames, int fps);

}  // namespace test
