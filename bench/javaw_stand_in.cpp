// The runtime's javaw.exe for the VM start benchmark: a windowed program that ends at
// once. Like the real one it has user32 loaded from its start, since it reports its
// failures in message boxes; under Wine that is most of a windowed program's start.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR arguments, int) {
    if (lstrcmpW(arguments, L"-fail") == 0) MessageBoxW(nullptr, L"The Java VM could not be started.", L"Java", MB_OK);
    return 0;
}
