// A module planted under the HTML Help control's name where a search by name would find it
// before the system folder: the program's folder and the current folder. The driver must never
// load it.

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
  return TRUE;
}
