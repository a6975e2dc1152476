// Quick-looks of an archive: the standard set of each mission, pages whose
// every image and link is there, a rerun that skips what has not changed,
// one line for each mission that fails, and an archive drawn by GNU
// parallel, two processes at a time, into one consistent index.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

int shell(const std::string& cmd) {
    const int rc = std::system((cmd + " > /dev/null 2>&1").c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

void make_mission(const fs::path& path, int dives, int seed) {
    const fs::path gen_nc = fs::path(GLIDERSECT_BINARY).parent_path() / "gen_nc";
    ASSERT_EQ(shell("'" + gen_nc.string() + "' --dives " + std::to_string(dives) + " --samples 120 --deflate 0 --seed " +
                    std::to_string(seed) + " '" + path.string() + "'"),
              0);
}

// Every src and href of the page names a file that is there.
void every_link_resolves(const fs::path& page) {
    const std::string html = read_file(page);
    ASSERT_FALSE(html.empty()) << page;
    const std::regex target("(src|href)=\"([^\"]+)\"");
    int links = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), target); it != std::sregex_iterator(); ++it, ++links)
        EXPECT_TRUE(fs::exists(page.parent_path() / (*it)[2].str())) << page << " names " << (*it)[2];
    EXPECT_GT(links, 0) << page;
}

}  // namespace

TEST(Quicklook, DrawsEachMissionSkipsWhatIsUnchangedAndNamesWhatFails) {
    TempDir dir;
    make_mission(dir / "sg101.nc", 12, 1);
    make_mission(dir / "sg102.nc", 12, 2);
    write_file(dir / "broken.nc", "not a mission\n");
    const std::vector<std::string> args{"quicklook", "sg101.nc", "sg102.nc", "broken.nc", "-o", "ql", "--recent", "1"};
    RunResult first = run_program(dir.path(), "", args, true);
    EXPECT_EQ(first.status, 1);
    EXPECT_NE(first.output.find(" Quicklook: 2 drawn, 0 skipped, 1 failed in "), std::string::npos) << first.output;
    EXPECT_EQ(std::count(first.errors.begin(), first.errors.end(), '\n'), 1) << first.errors;
    EXPECT_EQ(first.errors.rfind(" broken.nc: ", 0), 0u) << first.errors;
    for (const char* f : {"temperature_mission.png", "temperature_recent.png", "temperature_upper.png",
                          "salinity_mission.png", "sigma_theta_upper.png", "CHLA_mission.png"})
        EXPECT_TRUE(fs::exists(dir / "ql" / "sg101" / f)) << f;
    every_link_resolves(dir / "ql" / "index.html");
    every_link_resolves(dir / "ql" / "sg102" / "index.html");
    EXPECT_EQ(read_file(dir / "ql" / "index.html").find("broken"), std::string::npos);

    RunResult again = run_program(dir.path(), "", {"quicklook", "sg101.nc", "sg102.nc", "-o", "ql"}, true);
    EXPECT_EQ(again.status, 0) << again.errors;
    EXPECT_NE(again.output.find(" 0 drawn, 2 skipped, 0 failed"), std::string::npos) << again.output;
    make_mission(dir / "sg102.nc", 14, 3);
    RunResult changed = run_program(dir.path(), "", {"quicklook", "sg101.nc", "sg102.nc", "-o", "ql"}, true);
    EXPECT_NE(changed.output.find(" 1 drawn, 1 skipped, 0 failed"), std::string::npos) << changed.output;
    RunResult forced = run_program(dir.path(), "", {"quicklook", "sg101.nc", "sg102.nc", "-o", "ql", "--force"}, true);
    EXPECT_NE(forced.output.find(" 2 drawn, 0 skipped, 0 failed"), std::string::npos) << forced.output;
}

TEST(Quicklook, AnArchiveDrawnByGnuParallelHasOneConsistentIndex) {
    if (shell("command -v parallel") != 0) GTEST_SKIP() << "GNU parallel is not installed (tools/install_deps.sh)";
    TempDir dir;
    fs::create_directories(dir / "archive");
    for (int m = 1; m <= 20; ++m) {
        const fs::path folder = dir / "archive" / ("unit" + std::to_string(100 + m));
        fs::create_directories(folder);
        make_mission(folder / "mission.nc", 6, m);
    }
    const std::string bin = GLIDERSECT_BINARY;
    ASSERT_EQ(shell("cd '" + dir.path().string() + "' && parallel --will-cite -j 2 '" + bin +
                    "' quicklook {} -o ql ::: archive/*/"),
              0);
    ASSERT_EQ(shell("cd '" + dir.path().string() + "' && '" + bin + "' quicklook --index ql"), 0);
    const std::string index = read_file(dir / "ql" / "index.html");
    for (int m = 1; m <= 20; ++m)
        EXPECT_NE(index.find(">unit" + std::to_string(100 + m) + "<"), std::string::npos) << m;
    every_link_resolves(dir / "ql" / "index.html");
}
