// The platform's entry for a saver program. It lives in an object library that
// add_saver_program puts into every saver program, because the runtime's
// start-up code asks for WinMain only after the program's own libraries have
// been searched.
#include "host/saver_host_state.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SaverEntry();
    return 0;
}
