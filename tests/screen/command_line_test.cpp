// The program's switches for the window: help, and the one line given when
// no display can be had.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace {

TEST(CommandLine, HelpNamesTheSwitchesAndTheEventLines) {
    testing_support::TempDir dir;
    auto r = testing_support::run_program(dir.path(), "", {"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"--headless", "--screenshots", "SCREENnn.PNG", "key C [X Y]", "click [X Y]", "type TEXT",
                             "resize W H"})
        EXPECT_NE(r.output.find(word), std::string::npos) << word;
}

TEST(CommandLine, WithoutADisplayOneLineSaysHowToRunHeadless) {
    std::string keep = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    testing_support::TempDir dir;
    auto r = testing_support::run_program(dir.path(), "x\n");
    if (!keep.empty()) setenv("DISPLAY", keep.c_str(), 1);
    EXPECT_EQ(r.status, 1);
    auto lines = testing_support::lines_of(r.output);
    ASSERT_EQ(lines.size(), 1u) << r.output;
    EXPECT_NE(lines[0].find("--headless"), std::string::npos);
}

// SDL and the dozens of libraries it needs are loaded only for a real
// window: a headless run that opens its window and draws maps none of them.
TEST(CommandLine, AHeadlessRunLoadsNoSdl) {
    testing_support::TempDir dir;
    std::filesystem::copy_file(testing_support::test_file("small.SCI"), dir / "small.SCI");
    setenv("LD_DEBUG", "files", 1);  // the loader lists every library it maps
    auto r = testing_support::run_program(dir.path(), "small.SCI\n", {"--headless"});
    unsetenv("LD_DEBUG");
    ASSERT_NE(r.output.find("script ended while the program waited"), std::string::npos) << r.output;
    ASSERT_NE(r.output.find("libcairo.so"), std::string::npos) << "the loader listed nothing";
    EXPECT_EQ(r.output.find("libSDL2"), std::string::npos);
}

}  // namespace

namespace {

TEST(CommandLine, AnUnknownSwitchIsRefusedWithStatusOne) {
    testing_support::TempDir dir;
    auto r = testing_support::run_program(dir.path(), "", {"--headles"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, " Unknown option --headles (see glidersect --help)\n");
}

}  // namespace
