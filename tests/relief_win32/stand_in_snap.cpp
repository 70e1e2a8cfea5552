// Stands in for a snapshot helper that hangs: it ends only after 20 seconds,
// long after the saver stopped waiting for it, and writes nothing.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Sleep(20000);
    return 0;
}
