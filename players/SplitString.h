// Cuts a text buffer in place at a separator, the way the Flash player and
// its settings dialog read a stored mouse macro.
#pragma once

// Starting at the buffer's start, as long as fewer than maxPieces
// separators have been cut: finds the next separator from the current
// piece's start, overwrites its first character with a zero, and starts the
// next piece just after it. pieces[0..n] receive the pieces, where n is the
// number returned (the count of separators cut); when the limit stopped the
// cutting, only maxPieces pieces are recorded and the text after the last
// cut is in none. A return of 0 means the text held no separator.
int SplitString(char* buffer, const char* separator, char** pieces, int maxPieces);
