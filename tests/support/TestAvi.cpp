#include "tests/support/TestAvi.h"

#include <windows.h>

#include <cstdint>

namespace test {

namespace {

void Put32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
void Put16(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}
std::string Chunk(const char* id, const std::string& body) {
    std::string out(id, 4);
    Put32(out, static_cast<uint32_t>(body.size()));
    out += body;
    if (body.size() % 2) out.push_back('\0');
    return out;
}
std::string List(const char* type, const std::string& body) {
    return Chunk("LIST", std::string(type, 4) + body);
}

}  // namespace

bool WriteTestAvi(const std::string& path, int width, int height, int frames, int fps) {
    const uint32_t rowBytes = static_cast<uint32_t>((width * 3 + 3) & ~3);
    const uint32_t frameBytes = rowBytes * static_cast<uint32_t>(height);

    std::string avih;
    Put32(avih, static_cast<uint32_t>(1000000 / fps));  // microseconds per frame
    Put32(avih, frameBytes * static_cast<uint32_t>(fps));
    Put32(avih, 0);
    Put32(avih, 0x10);  // AVIF_HASINDEX
    Put32(avih, static_cast<uint32_t>(frames));
    Put32(avih, 0);
    Put32(avih, 1);  // streams
    Put32(avih, frameBytes);
    Put32(avih, static_cast<uint32_t>(width));
    Put32(avih, static_cast<uint32_t>(height));
    for (int i = 0; i < 4; ++i) Put32(avih, 0);

    std::string strh("vids", 4);
    strh += std::string("DIB ", 4);
    Put32(strh, 0);  // flags
    Put16(strh, 0);
    Put16(strh, 0);
    Put32(strh, 0);
    Put32(strh, 1);                            // scale
    Put32(strh, static_cast<uint32_t>(fps));   // rate
    Put32(strh, 0);                            // start
    Put32(strh, static_cast<uint32_t>(frames));
    Put32(strh, frameBytes);
    Put32(strh, 0xFFFFFFFF);  // quality
    Put32(strh, 0);
    Put16(strh, 0);
    Put16(strh, 0);
    Put16(strh, static_cast<uint16_t>(width));
    Put16(strh, static_cast<uint16_t>(height));

    std::string strf;
    Put32(strf, 40);
    Put32(strf, static_cast<uint32_t>(width));
    Put32(strf, static_cast<uint32_t>(height));
    Put16(strf, 1);
    Put16(strf, 24);
    Put32(strf, 0);  // BI_RGB
    Put32(strf, frameBytes);
    for (int i = 0; i < 4; ++i) Put32(strf, 0);

    std::string hdrl = List("hdrl", Chunk("avih", avih) +
                                        List("strl", Chunk("strh", strh) + Chunk("strf", strf)));

    std::string movi;
    std::string idx1;
    uint32_t offset = 4;  // from the 'movi' type
    for (int f = 0; f < frames; ++f) {
        std::string pixels(frameBytes, '\0');
        const unsigned char shade = static_cast<unsigned char>(40 + (f * 50) % 200);
        for (uint32_t y = 0; y < static_cast<uint32_t>(height); ++y) {
            for (int x = 0; x < width; ++x) {
                char* p = &pixels[y * rowBytes + static_cast<uint32_t>(x) * 3];
                p[0] = static_cast<char>(shade);      // blue
                p[1] = static_cast<char>(255 - shade);  // green
                p[2] = static_cast<char>(200);        // red
            }
        }
        std::string chunk = Chunk("00db", pixels);
        idx1 += std::string("00db", 4);
        Put32(idx1, 0x10);  // AVIIF_KEYFRAME
        Put32(idx1, offset);
        Put32(idx1, frameBytes);
        offset += static_cast<uint32_t>(chunk.size());
        movi += chunk;
    }
    std::string body = std::string("AVI ", 4) + hdrl + List("movi", movi) + Chunk("idx1", idx1);
    std::string file = Chunk("RIFF", body);

    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(handle, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    CloseHandle(handle);
    return ok && written == file.size();
}

}  // namespace test
