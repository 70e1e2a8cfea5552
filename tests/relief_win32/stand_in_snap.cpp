// Stands in for the snapshot helper, or for any program a saver must not
// start. It notes that it ran, with its process id, in "<its path>.ran", then
// does what "stand_in.txt" beside it says: "hang" (ends after 20 seconds, long
// after the saver stopped waiting) or an exit code to end with at once.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    const std::wstring self(path);
    if (std::FILE* ran = _wfopen((self + L".ran").c_str(), L"wb")) {
        std::fprintf(ran, "%lu\n", GetCurrentProcessId());
        std::fclose(ran);
    }
    char action[32] = "hang";
    if (std::FILE* told = _wfopen((self.substr(0, self.find_last_of(L'\\') + 1) + L"stand_in.txt").c_str(), L"rb")) {
        action[std::fread(action, 1, sizeof action - 1, told)] = '\0';
        std::fclose(told);
    }
    if (action[0] != 'h') return std::atoi(action);
    Sleep(20000);
    return 0;
}
