#include "render_args.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Base()
{
    return {"relief", "--size", "64x48", "--seed", "7", "--frames", "3", "--out", "dir"};
}

std::vector<std::string> With(std::vector<std::string> args, std::initializer_list<std::string> more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The base command line with the value after opt replaced.
std::vector<std::string> Replace(const std::string& opt, const std::string& value)
{
    std::vector<std::string> args = Base();
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == opt) args[i + 1] = value;
    }
    return args;
}

std::vector<std::string> Without(const std::string& opt)
{
    std::vector<std::string> args = Base(), out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == opt) ++i;
        else out.push_back(args[i]);
    }
    return out;
}

} // namespace

TEST(RenderArgs, FullCommandLine)
{
    RenderArgs a;
    ASSERT_EQ("", ParseRenderArgs(With(Base(), {"--desktop", "d.png", "--ini", "s.ini", "--set", "Degrees=20", "--every", "5",
                                                "--set", "Degrees=30", "--set", "Invert=", "--trace"}),
                                  a));
    EXPECT_EQ("relief", a.saver);
    EXPECT_EQ(64, a.width);
    EXPECT_EQ(48, a.height);
    EXPECT_EQ(7u, a.seed);
    EXPECT_EQ(3u, a.frames);
    EXPECT_EQ("dir", a.outDir);
    EXPECT_EQ("d.png", a.desktopPath);
    EXPECT_EQ("s.ini", a.iniPath);
    EXPECT_EQ(5u, a.every);
    EXPECT_TRUE(a.trace);
    ASSERT_EQ(3u, a.sets.size());
    EXPECT_EQ("Degrees", a.sets[0].first);
    EXPECT_EQ("20", a.sets[0].second);
    EXPECT_EQ("30", a.sets[1].second); // order kept: the later one wins when applied
    EXPECT_EQ("", a.sets[2].second);
}

TEST(RenderArgs, DefaultsAndLimits)
{
    RenderArgs a;
    ASSERT_EQ("", ParseRenderArgs(Base(), a));
    EXPECT_EQ(1u, a.every);
    EXPECT_FALSE(a.trace);
    EXPECT_TRUE(a.desktopPath.empty());

    ASSERT_EQ("", ParseRenderArgs(Replace("--size", "0x0"), a));
    EXPECT_EQ(0, a.width);
    ASSERT_EQ("", ParseRenderArgs(Replace("--size", "65535x0007"), a));
    EXPECT_EQ(65535, a.width);
    EXPECT_EQ(7, a.height);
    ASSERT_EQ("", ParseRenderArgs(Replace("--seed", "4294967295"), a));
    EXPECT_EQ(4294967295u, a.seed);
    ASSERT_EQ("", ParseRenderArgs(Replace("--frames", "0"), a));
    EXPECT_EQ(0u, a.frames);
}

TEST(RenderArgs, HelpStopsParsing)
{
    RenderArgs a;
    EXPECT_EQ("", ParseRenderArgs({"--help"}, a));
    EXPECT_TRUE(a.help);
    EXPECT_EQ("", ParseRenderArgs({"relief", "-h", "--bogus"}, a));
    EXPECT_TRUE(a.help);
    // As the value of an option it is just a value.
    EXPECT_EQ("", ParseRenderArgs(Replace("--out", "--help"), a));
    EXPECT_FALSE(a.help);
}

TEST(RenderArgs, MalformedNumbersAreRejected)
{
    const struct {
        const char* opt;
        const char* value;
    } cases[] = {
        {"--size", "12y4"},   {"--size", "12x"},   {"--size", "x4"},       {"--size", "65536x1"},  {"--size", "1x65536"},
        {"--size", "-1x2"},   {"--size", "1x2x3"}, {"--size", " 1x2"},     {"--size", "1x2 "},     {"--size", "+1x1"},
        {"--size", "1X2"},    {"--size", ""},      {"--seed", "4294967296"}, {"--seed", "-1"},     {"--seed", "1.0"},
        {"--seed", "0x10"},   {"--seed", "12abc"}, {"--seed", ""},         {"--frames", "5k"},     {"--frames", "-3"},
        {"--frames", "99999999999999999999999"},
    };
    for (const auto& c : cases) {
        RenderArgs a;
        const std::string error = ParseRenderArgs(Replace(c.opt, c.value), a);
        EXPECT_NE(std::string::npos, error.find(c.opt)) << c.opt << " '" << c.value << "' gave: " << error;
        EXPECT_NE(std::string::npos, error.find(std::string("'") + c.value + "'")) << error;
    }
    RenderArgs a;
    EXPECT_NE("", ParseRenderArgs(With(Base(), {"--every", "0"}), a));
    EXPECT_NE("", ParseRenderArgs(With(Base(), {"--every", "2x"}), a));
}

TEST(RenderArgs, ShapeErrors)
{
    const std::vector<std::string> bad[] = {
        {},
        {"--size", "2x2"},                                  // no saver name first
        With(Base(), {"--bogus"}),                          // unknown option
        With(Base(), {"stray"}),                            // stray word
        With(Base(), {"--ini"}),                            // value missing at the end
        With(Base(), {"--seed", "8"}),                      // given twice
        With(Base(), {"--out", "again"}),
        With(Base(), {"--set", "Degrees"}),                 // no '='
        With(Base(), {"--set", "=5"}),                      // empty key
        With(Base(), {"--set", "[Other]=5"}),               // would read as a section
        With(Base(), {"--set", "Deg rees=5"}),
        With(Base(), {"--set", "Degrees=1\n[X]"}),          // line break in a value
        With(Base(), {"--desktop", ""}),
        Without("--size"), Without("--seed"), Without("--frames"), Without("--out"),
    };
    for (const auto& args : bad) {
        RenderArgs a;
        std::string joined;
        for (const auto& s : args) joined += s + " ";
        EXPECT_NE("", ParseRenderArgs(args, a)) << joined;
    }
    RenderArgs a;
    EXPECT_EQ("missing --seed", ParseRenderArgs(Without("--seed"), a));
    EXPECT_EQ("unknown option '--bogus'", ParseRenderArgs(With(Base(), {"--bogus"}), a));
}

TEST(RenderArgs, WipeCommandLines)
{
    const std::vector<std::string> wipe = {"wipe", "--size", "40x30", "--seed", "7", "--number", "14", "--out", "dir"};
    RenderArgs a;
    ASSERT_EQ("", ParseRenderArgs(With(wipe, {"--trace-draw", "--trace", "--desktop", "d.bmp"}), a));
    EXPECT_EQ(RenderCommand::Wipe, a.command);
    EXPECT_EQ(14, a.wipeNumber);
    EXPECT_EQ(2, a.delayFactor);
    EXPECT_TRUE(a.trace && a.traceDraw);
    EXPECT_EQ("d.bmp", a.desktopPath);
    EXPECT_EQ("dir", a.outDir);
    // Values of --number and --delay-factor at their limits.
    const struct {
        const char* number;
        const char* delayFactor;
        std::int32_t wipeNumber;
        int factor;
    } limits[] = {{"-1", "0", -1, 0}, {"-2147483648", "1000", -2147483647 - 1, 1000}, {"2147483647", "7", 2147483647, 7}, {"-0", "00", 0, 0}};
    for (const auto& c : limits) {
        ASSERT_EQ("", ParseRenderArgs({"wipe", "--number", c.number, "--delay-factor", c.delayFactor, "--out", "o", "--seed", "0", "--size", "0x0"}, a));
        EXPECT_EQ(c.wipeNumber, a.wipeNumber);
        EXPECT_EQ(c.factor, a.delayFactor);
    }

    // Each bad line and a piece its message must hold.
    const std::vector<std::string> noNumber = {"wipe", "--size", "4x4", "--seed", "1", "--out", "o"};
    const struct {
        std::vector<std::string> args;
        const char* message;
    } bad[] = {
        {noNumber, "missing --number"},
        {With(noNumber, {"--number", "1.5"}), "--number: expected a number in -2147483648..2147483647, got '1.5'"},
        {With(noNumber, {"--number", "99999999999"}), "'99999999999'"},
        {With(noNumber, {"--number", "2147483648"}), "'2147483648'"},
        {With(noNumber, {"--number", "-2147483649"}), "'-2147483649'"},
        {With(noNumber, {"--number", "+3"}), "'+3'"},
        {With(noNumber, {"--number", "-"}), "--number"},
        {With(noNumber, {"--number", "--3"}), "--number"},
        {With(wipe, {"--number", "3"}), "--number given twice"},
        {With(wipe, {"--delay-factor", "1001"}), "--delay-factor: expected a number in 0..1000, got '1001'"},
        {With(wipe, {"--delay-factor", "-1"}), "'-1'"},
        {With(wipe, {"--frames", "3"}), "option '--frames' does not apply to wipe"},
        {With(wipe, {"--ini", "s.ini"}), "'--ini' does not apply"},
        {With(wipe, {"--set", "A=1"}), "'--set' does not apply"},
        {With(wipe, {"--every", "2"}), "'--every' does not apply"},
        {With(wipe, {"--ticks", "2"}), "option '--ticks' does not apply to wipe"},
        {With(Base(), {"--number", "3"}), "option '--number' does not apply to relief"},
        {With(Base(), {"--delay-factor", "3"}), "'--delay-factor' does not apply"},
        {With(Base(), {"--trace-draw"}), "'--trace-draw' does not apply"},
    };
    for (const auto& c : bad) {
        const std::string error = ParseRenderArgs(c.args, a);
        EXPECT_NE(std::string::npos, error.find(c.message)) << "got: " << error;
    }
    const std::string usage = RenderUsage();
    EXPECT_EQ(0u, usage.find("usage: saver-render relief --size WxH --seed N --frames K"));
    EXPECT_NE(std::string::npos, usage.find("\n       saver-render wipe --size WxH --seed N --number K"));
}

TEST(RenderArgs, TerrainCommandLines)
{
    const std::vector<std::string> terrain = {"terrain", "--size", "160x120", "--seed", "5", "--ticks", "27", "--out", "dir"};
    RenderArgs a;
    ASSERT_EQ("", ParseRenderArgs(With(terrain, {"--ini", "k.ini", "--set", "Speed=5", "--set", "Erase=2", "--every", "5",
                                                 "--trace", "--trace-draw"}),
                                  a));
    EXPECT_EQ(RenderCommand::Terrain, a.command);
    EXPECT_EQ("", a.saver);
    EXPECT_EQ(160, a.width);
    EXPECT_EQ(120, a.height);
    EXPECT_EQ(5u, a.seed);
    EXPECT_EQ(27u, a.ticks);
    EXPECT_EQ("dir", a.outDir);
    EXPECT_EQ("k.ini", a.iniPath);
    EXPECT_EQ(5u, a.every);
    EXPECT_TRUE(a.trace && a.traceDraw);
    ASSERT_EQ(2u, a.sets.size());
    EXPECT_EQ("Erase", a.sets[1].first);
    EXPECT_EQ("2", a.sets[1].second);

    // Defaults, and --ticks at its limits.
    const struct {
        const char* ticks;
        std::uint32_t value;
    } limits[] = {{"0", 0}, {"4294967295", 4294967295u}, {"007", 7}};
    for (const auto& c : limits) {
        ASSERT_EQ("", ParseRenderArgs({"terrain", "--ticks", c.ticks, "--out", "o", "--seed", "0", "--size", "0x0"}, a));
        EXPECT_EQ(c.value, a.ticks);
        EXPECT_EQ(1u, a.every);
        EXPECT_FALSE(a.trace || a.traceDraw);
        EXPECT_TRUE(a.iniPath.empty() && a.sets.empty());
    }

    // Each bad line and a piece its message must hold.
    const std::vector<std::string> noTicks = {"terrain", "--size", "4x4", "--seed", "1", "--out", "o"};
    const struct {
        std::vector<std::string> args;
        const char* message;
    } bad[] = {
        {noTicks, "missing --ticks"},
        {{"terrain", "--ticks", "1", "--size", "4x4", "--seed", "1"}, "missing --out"},
        {With(noTicks, {"--ticks", "4294967296"}), "--ticks: expected a number in 0..4294967295, got '4294967296'"},
        {With(noTicks, {"--ticks", "-1"}), "'-1'"},
        {With(terrain, {"--frames", "3"}), "option '--frames' does not apply to terrain"},
        {With(terrain, {"--desktop", "d.png"}), "'--desktop' does not apply"},
        {With(terrain, {"--number", "3"}), "'--number' does not apply"},
        {With(terrain, {"--delay-factor", "3"}), "'--delay-factor' does not apply"},
        {With(Base(), {"--ticks", "3"}), "option '--ticks' does not apply to relief"},
    };
    for (const auto& c : bad) {
        const std::string error = ParseRenderArgs(c.args, a);
        EXPECT_NE(std::string::npos, error.find(c.message)) << "got: " << error;
    }
    EXPECT_NE(std::string::npos, std::string(RenderUsage()).find("\n       saver-render terrain --size WxH --seed N --ticks K"));
}
