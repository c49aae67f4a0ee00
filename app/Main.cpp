// The entry point of tolvarin.scr and its one application object.
#include "app/SaverApp.h"
#include "framework/SystemLibrary.h"

namespace {
SaverApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a library: none is ever taken from the
    // program's own folder, which anyone may be able to write to.
    RestrictLibrarySearch();
    return theApp.Main(instance);
}
