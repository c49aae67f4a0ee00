// The entry point of tolvarin.scr and its one application object.
#include "app/SaverApp.h"

namespace {
SaverApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return theApp.Main(instance);
}
