/* The sample repository's Kestrova client: a small Windows program that
   says what it is. Its version resource is what the setup's "FileVersion"
   check reads; its icon is what the setup shows and puts on the desktop. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  MessageBoxA(NULL, "Kestrova client " KESTROVA_VERSION " (demo build)", "Kestrova",
              MB_OK | MB_ICONINFORMATION);
  return 0;
}
