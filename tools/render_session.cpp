#include "render_session.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

#include "headless/ini_settings_store.h"
#include "common/runtime_random.h"
#include "common/step_pause.h"
#include "headless/tracing_surface.h"
#include "image_io.h"
#include "headless/saver_registry.h"
#include "headless/synthetic_desktop.h"
#include "relief/relief_life.h"
#include "terrain/terrain_life.h"
#include "terrain/terrain_wipes.h"
#include "terrain_trace.h"

namespace {

int Fail(std::ostream& log, const std::string& message)
{
    log << "saver-render: " << message << '\n';
    return kExitUsage;
}

std::string NumberedPath(const std::string& dir, const char* stem, std::uint64_t number)
{
    char name[48];
    std::snprintf(name, sizeof name, "%s-%05llu.png", stem, static_cast<unsigned long long>(number));
    return (std::filesystem::path(dir) / name).string();
}

// The desktop picture of the command line: the --desktop file, else the
// built-in synthetic desktop.
bool LoadPicture(const RenderArgs& args, std::vector<std::uint8_t>& picture, std::string& error)
{
    if (!args.desktopPath.empty()) return LoadDesktopPicture(args.desktopPath, args.width, args.height, picture, error);
    picture = SyntheticDesktopPicture(args.width, args.height);
    return true;
}

bool WriteSurfacePng(const std::string& path, const SoftwareSurface& surface, std::string& error)
{
    const std::vector<std::uint8_t> rgb = SurfaceToRgb(surface);
    return WritePng(path, surface.width, surface.height, rgb.data(), kFrameCompressionLevel, error);
}

// The saver's settings: the --ini file if given, then each --set as if it
// stood in the file (later ones win), warning of keys the saver does not read.
bool LoadSettings(const RenderArgs& args, const SaverLife& saver, IniSettingsStore& store, std::ostream& log, std::string& error)
{
    if (!args.iniPath.empty()) {
        std::vector<std::uint8_t> probe;
        if (!ReadFileBytes(args.iniPath, probe, error)) {
            error = "--ini: " + error;
            return false;
        }
        if (!store.Load(args.iniPath)) {
            error = "--ini: cannot read '" + args.iniPath + "'";
            return false;
        }
    }
    for (const auto& kv : args.sets) {
        if (!SaverHasKey(saver, kv.first))
            log << "saver-render: warning: " << saver.name << " has no setting '" << kv.first << "'\n";
        store.SetValue(saver.section, kv.first.c_str(), kv.second);
    }
    return true;
}

// Keeps where the light went at the last tick, for the trace line.
class ReliefTrace : public ReliefEvents {
public:
    void LightMoved(ReliefPathPosition position) override
    {
        fields = "px " + std::to_string(position.px) + " py " + std::to_string(position.py);
    }
    std::string fields;
};

// Creates the saver at the place, ticks it `ticks` times and writes the
// surface after every `every`-th tick; beforeTick and afterTick see each
// tick's number. Returns the number of frames written, or -1 with `error`.
template <typename BeforeTick, typename AfterTick>
long long DriveSaver(const SaverLife& saver, SaverPlace& place, void* state, std::uint64_t ticks, const RenderArgs& args,
                     const SoftwareSurface& surface, BeforeTick beforeTick, AfterTick afterTick, std::string& error)
{
    const bool drawable = args.width > 0 && args.height > 0;
    long long written = 0;
    for (std::uint64_t t = 1; t <= ticks; ++t) {
        beforeTick(t);
        saver.tick(state, place);
        afterTick(t);
        if (drawable && t % args.every == 0) {
            if (!WriteSurfacePng(FramePath(args.outDir, static_cast<std::uint32_t>(t)), surface, error)) return -1;
            ++written;
        }
    }
    return written;
}

int RunSaverFrames(const RenderArgs& args, std::ostream& trace, std::ostream& log)
{
    const SaverLife* saver = FindSaver(args.saver);
    if (!saver) return Fail(log, "unknown saver '" + args.saver + "' (known: " + SaverNames() + ")");

    IniSettingsStore store;
    std::string error;
    if (!LoadSettings(args, *saver, store, log, error)) return Fail(log, error);

    std::vector<std::uint8_t> picture;
    if (!LoadPicture(args, picture, error)) return Fail(log, "--desktop: " + error);

    const bool drawable = args.width > 0 && args.height > 0;
    const bool writesFrames = drawable && args.frames >= args.every;
    if (writesFrames && !MakeDirectories(args.outDir, error)) return Fail(log, "--out: " + error);

    SoftwareSurface surface(args.width, args.height);
    ReliefTrace events;
    SaverPlace place;
    place.settings = &store;
    place.seed = args.seed;
    place.picture = picture.data();
    place.pictureSize = picture.size();
    place.surface = &surface;
    place.width = args.width;
    place.height = args.height;
    place.events = &events;
    unsigned period = 0;
    void* state = saver->create(place, period);
    place.picture = nullptr;
    place.pictureSize = 0;
    std::vector<std::uint8_t>().swap(picture);
    if (state == nullptr) log << "saver-render: warning: " << saver->name << " could not set up its tables; it draws nothing\n";

    const long long written = DriveSaver(
        *saver, place, state, args.frames, args, surface, [&](std::uint64_t) { events.fields.clear(); },
        [&](std::uint64_t t) {
            if (!args.trace) return;
            trace << "tick " << t;
            if (!events.fields.empty()) trace << ' ' << events.fields;
            trace << '\n';
        },
        error);
    saver->destroy(state);
    trace.flush();
    if (written < 0) return Fail(log, "--out: " + error);
    if (!trace) return Fail(log, "cannot write the trace");
    log << "wrote " << written << " frames to " << args.outDir << '\n';
    return kExitOk;
}

// Thrown by the recording pause when a picture cannot be written: the wipe
// stops there.
struct PictureWriteError {
    std::string message;
};

// A wipe's pauses, recorded instead of waited: each one is counted, traced
// as "sleep MS" when asked, and written as a picture of the surface as it is
// at that moment.
class RecordingPause : public StepPause {
public:
    RecordingPause(const SoftwareSurface& surface, const std::string& dir, bool writes, std::ostream* trace)
        : surface_(surface), dir_(dir), writes_(writes), trace_(trace)
    {
    }

    void Pause(int milliseconds) override
    {
        ++count_;
        totalMilliseconds_ += milliseconds;
        if (trace_) *trace_ << "sleep " << milliseconds << '\n';
        std::string error;
        if (writes_ && !WriteSurfacePng(PausePath(dir_, count_), surface_, error)) throw PictureWriteError{error};
    }

    std::uint64_t Count() const { return count_; }
    long long TotalMilliseconds() const { return totalMilliseconds_; }

private:
    const SoftwareSurface& surface_;
    const std::string& dir_;
    bool writes_;
    std::ostream* trace_;
    std::uint64_t count_ = 0;
    long long totalMilliseconds_ = 0;
};

int RunWipe(const RenderArgs& args, std::ostream& trace, std::ostream& log)
{
    std::vector<std::uint8_t> picture;
    std::string error;
    if (!LoadPicture(args, picture, error)) return Fail(log, "--desktop: " + error);

    const bool drawable = args.width > 0 && args.height > 0;
    if (drawable && !MakeDirectories(args.outDir, error)) return Fail(log, "--out: " + error);

    // The scene the wipe clears; putting it there is not part of the wipe,
    // so it is done before any tracing.
    SoftwareSurface surface(args.width, args.height);
    if (drawable) surface.PutPixelBlock(0, 0, args.width, args.height, picture.data());
    picture.clear();
    picture.shrink_to_fit();

    RuntimeRandom random;
    SeedRuntimeRandom(random, args.seed);
    RecordingPause pause(surface, args.outDir, drawable, args.traceDraw ? &trace : nullptr);
    TracingSurface tracing(surface, trace);
    DrawSurface& target = args.traceDraw ? static_cast<DrawSurface&>(tracing) : surface;
    int played = 0;
    try {
        played = PlayWipe(target, random, pause, args.width, args.height, args.wipeNumber, args.delayFactor);
    } catch (const PictureWriteError& e) {
        trace.flush();
        return Fail(log, "--out: " + e.message);
    }
    if (drawable && !WriteSurfacePng(FinalPath(args.outDir), surface, error)) {
        trace.flush();
        return Fail(log, "--out: " + error);
    }
    if (args.trace) trace << "wipe " << played << " pauses " << pause.Count() << " sleep-ms " << pause.TotalMilliseconds() << '\n';
    trace.flush();
    if (!trace) return Fail(log, "cannot write the trace");
    log << "wrote " << (drawable ? pause.Count() + 1 : 0) << " pictures to " << args.outDir << '\n';
    return kExitOk;
}

// The terrain saver as its window runs it: created once on a black client
// area of the command line's size, then ticked; its wipes' pauses are counted
// (and traced as "sleep MS" with --trace-draw) instead of slept. The trace
// comes in the order things happen: each drawing call as it is made, "wipe K"
// after the wipe's own drawing, and a scene's lines after its clear.
int RunTerrain(const RenderArgs& args, std::ostream& trace, std::ostream& log)
{
    const SaverLife& saver = kTerrainLife;
    IniSettingsStore store;
    std::string error;
    if (!LoadSettings(args, saver, store, log, error)) return Fail(log, error);

    const bool drawable = args.width > 0 && args.height > 0;
    const bool writesFrames = drawable && args.ticks >= args.every;
    if (writesFrames && !MakeDirectories(args.outDir, error)) return Fail(log, "--out: " + error);

    SoftwareSurface surface(args.width, args.height);
    TracingSurface tracing(surface, trace);
    RecordingPause pause(surface, args.outDir, /*writes*/ false, args.traceDraw ? &trace : nullptr);
    TerrainTraceWriter events(trace, args.trace, args.traceDraw ? &tracing : nullptr);

    SaverPlace place;
    place.settings = &store;
    place.seed = args.seed;
    place.surface = args.traceDraw ? static_cast<DrawSurface*>(&tracing) : &surface;
    place.pause = &pause;
    place.width = args.width;
    place.height = args.height;
    place.events = args.trace || args.traceDraw ? &events : nullptr;
    unsigned period = 0;
    void* state = saver.create(place, period);
    const long long written = DriveSaver(
        saver, place, state, args.ticks, args, surface, [&](std::uint64_t t) { events.SetTick(t); }, [](std::uint64_t) {}, error);
    saver.destroy(state);
    trace.flush();
    if (written < 0) return Fail(log, "--out: " + error);
    if (!trace) return Fail(log, "cannot write the trace");
    log << "wrote " << written << " frames to " << args.outDir << '\n';
    return kExitOk;
}

} // namespace

std::string FramePath(const std::string& dir, std::uint32_t tick) { return NumberedPath(dir, "frame", tick); }

std::string PausePath(const std::string& dir, std::uint64_t pause) { return NumberedPath(dir, "pause", pause); }

std::string FinalPath(const std::string& dir) { return (std::filesystem::path(dir) / "final.png").string(); }

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
    try {
        switch (args.command) {
        case RenderCommand::Wipe:
            return RunWipe(args, trace, log);
        case RenderCommand::Terrain:
            return RunTerrain(args, trace, log);
        case RenderCommand::SaverFrames:
            break;
        }
        return RunSaverFrames(args, trace, log);
    } catch (const std::bad_alloc&) {
        return Fail(log, "out of memory for a " + std::to_string(args.width) + "x" + std::to_string(args.height) + " render");
    }
}
