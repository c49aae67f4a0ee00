#include "players/SplitString.h"

#include <cstring>

int SplitString(char* buffer, const char* separator, char** pieces, int maxPieces) {
    if (!buffer || !separator || !*separator || maxPieces <= 0) return 0;
    size_t separatorLength = std::strlen(separator);
    char* piece = buffer;
    pieces[0] = piece;
    int cut = 0;
    while (cut < maxPieces) {
        char* found = std::strstr(piece, separator);
        if (!found) break;
        *found = '\0';
        ++cut;
        piece = found + separatorLength;
        if (cut < maxPieces) pieces[cut] = piece;
    }
    return cut;
}
