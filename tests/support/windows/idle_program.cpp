// A program that does nothing until it is ended: the end-to-end suite runs a copy of it under
// AutoCAD's executable name, so that the setup program sees AutoCAD running.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  for (;;) Sleep(INFINITE);
}
