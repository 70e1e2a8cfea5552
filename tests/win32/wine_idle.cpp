// Keeps one Wine process alive for the whole test run, so Wine does not start
// shutting down its background processes between two test programs.
#include <windows.h>

int main()
{
    Sleep(INFINITE);
    return 0;
}
