// saver-render: runs a screen saver's effect or a wipe headless and writes
// what it draws as PNG files. See RenderUsage() for the command lines.
#include <iostream>
#include <string>
#include <vector>

#include "render_args.h"
#include "render_session.h"

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    RenderArgs parsed;
    const std::string error = ParseRenderArgs(args, parsed);
    if (!error.empty()) {
        std::cerr << "saver-render: " << error << '\n' << RenderUsage() << '\n';
        return kExitUsage;
    }
    if (parsed.help) {
        std::cout << RenderUsage() << '\n';
        return kExitOk;
    }
    const int code = RunRender(parsed, std::cout, std::cerr);
    if (code == kExitUsage) std::cerr << RenderUsage() << '\n';
    return code;
}
