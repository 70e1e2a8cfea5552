#include "render_session.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

#include "common/ini_settings_store.h"
#include "image_io.h"
#include "saver_registry.h"
#include "synthetic_desktop.h"

namespace {

int Fail(std::ostream& log, const std::string& message)
{
    log << "saver-render: " << message << '\n';
    return kExitUsage;
}

} // namespace

std::string FramePath(const std::string& dir, std::uint32_t tick)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05lu.png", static_cast<unsigned long>(tick));
    return (std::filesystem::path(dir) / name).string();
}

std::vector<std::uint8_t> SurfaceToRgb(const SoftwareSurface& surface)
{
    std::vector<std::uint8_t> rgb(surface.pixels.size() * 3);
    std::uint8_t* out = rgb.data();
    for (const std::uint32_t p : surface.pixels) {
        *out++ = static_cast<std::uint8_t>(p >> 16);
        *out++ = static_cast<std::uint8_t>(p >> 8);
        *out++ = static_cast<std::uint8_t>(p);
    }
    return rgb;
}

bool MakeDirectories(const std::string& dir, std::string& error)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (std::filesystem::is_directory(dir)) return true;
    error = "cannot create directory '" + dir + "'" + (ec ? ": " + ec.message() : std::string());
    return false;
}

int RunRender(const RenderArgs& args, std::ostream& trace, std::ostream& log)
{
    const SaverInfo* saver = FindSaver(args.saver);
    if (!saver) return Fail(log, "unknown saver '" + args.saver + "' (known: " + SaverNames() + ")");

    try {
        // Settings: the file if given, then each --set as if it stood in the file.
        IniSettingsStore store;
        if (!args.iniPath.empty()) {
            std::vector<std::uint8_t> probe;
            std::string error;
            if (!ReadFileBytes(args.iniPath, probe, error)) return Fail(log, "--ini: " + error);
            if (!store.Load(args.iniPath)) return Fail(log, "--ini: cannot read '" + args.iniPath + "'");
        }
        for (const auto& kv : args.sets) {
            if (!SaverHasKey(*saver, kv.first))
                log << "saver-render: warning: " << saver->name << " has no setting '" << kv.first << "'\n";
            store.SetValue(saver->section, kv.first.c_str(), kv.second);
        }

        std::vector<std::uint8_t> picture;
        if (args.desktopPath.empty()) {
            picture = SyntheticDesktopPicture(args.width, args.height);
        } else {
            std::string error;
            if (!LoadDesktopPicture(args.desktopPath, args.width, args.height, picture, error))
                return Fail(log, "--desktop: " + error);
        }

        const bool drawable = args.width > 0 && args.height > 0;
        const bool writesFrames = drawable && args.frames >= args.every;
        if (writesFrames) {
            std::string error;
            if (!MakeDirectories(args.outDir, error)) return Fail(log, "--out: " + error);
        }

        std::unique_ptr<SaverRun> run = saver->start(store, args.seed, args.width, args.height, picture);
        picture.clear();
        picture.shrink_to_fit();
        if (!run->Ready()) log << "saver-render: warning: " << saver->name << " could not set up its tables; it draws nothing\n";
        SoftwareSurface surface(args.width, args.height);

        std::uint32_t written = 0;
        for (std::uint64_t t = 1; t <= args.frames; ++t) {
            const std::string fields = run->Tick(surface);
            if (args.trace) trace << "tick " << t << ' ' << fields << '\n';
            if (drawable && t % args.every == 0) {
                const std::vector<std::uint8_t> rgb = SurfaceToRgb(surface);
                std::string error;
                if (!WritePng(FramePath(args.outDir, static_cast<std::uint32_t>(t)), args.width, args.height, rgb.data(),
                              kFrameCompressionLevel, error)) {
                    trace.flush();
                    return Fail(log, "--out: " + error);
                }
                ++written;
            }
        }
        trace.flush();
        if (!trace) return Fail(log, "cannot write the trace");
        log << "wrote " << written << " frames to " << args.outDir << '\n';
        return kExitOk;
    } catch (const std::bad_alloc&) {
        return Fail(log, "out of memory for a " + std::to_string(args.width) + "x" + std::to_string(args.height) + " render");
    }
}
