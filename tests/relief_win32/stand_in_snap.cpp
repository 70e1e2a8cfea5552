// Stands in for the snapshot helper, or for any program a saver must not
// start. It first notes that it ran, with its process id, in "<its own
// path>.ran"; then it does what "stand_in.txt" beside it says: "hang" (also
// without the file: it ends only after 20 seconds, long after the saver
// stopped waiting for it) or an exit code to end with at once. It never
// writes a snapshot.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    const std::wstring self(path);
    if (std::FILE* ran = _wfopen((self + L".ran").c_str(), L"wb")) {
        std::fprintf(ran, "%lu\n", static_cast<unsigned long>(GetCurrentProcessId()));
        std::fclose(ran);
    }
    char action[32] = "hang";
    if (std::FILE* told = _wfopen((self.substr(0, self.find_last_of(L'\\') + 1) + L"stand_in.txt").c_str(), L"rb")) {
        const std::size_t length = std::fread(action, 1, sizeof action - 1, told);
        action[length] = '\0';
        std::fclose(told);
    }
    if (std::strncmp(action, "hang", 4) == 0) {
        Sleep(20000);
        return 0;
    }
    return std::atoi(action);
}
