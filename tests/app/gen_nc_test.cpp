// The netCDF generator: the committed example must hold what gen_nc writes
// today, and its session must draw.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "data/nc_file.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

fs::path examples() { return fs::path(GLIDERSECT_SOURCE_DIR) / "examples"; }

RunResult run_gen_nc(const TempDir& dir, const std::string& args) {
    const fs::path gen = fs::path(GLIDERSECT_BINARY).parent_path() / "gen_nc", out = dir / ".gen_out.txt";
    const std::string cmd = "cd '" + dir.path().string() + "' && '" + gen.string() + "' " + args + " > '" +
                            out.string() + "' 2>&1";
    const int rc = std::system(cmd.c_str());
    RunResult r;
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.output = read_file(out);
    return r;
}

}  // namespace

TEST(GenNc, TheCommittedExampleIsCurrentAndItsSessionDraws) {
    TempDir dir;
    ASSERT_EQ(run_gen_nc(dir, "x.nc").status, 0);
    // Compared by content: the bytes carry the library's version.
    // Regenerate with `gen_nc examples/sample_og1.nc` when the generator changes.
    const data::NcFile fresh((dir / "x.nc").string()), committed((examples() / "sample_og1.nc").string());
    ASSERT_EQ(fresh.variables().size(), committed.variables().size());
    for (const data::NcVariable& v : fresh.variables()) {
        const data::NcVariable* c = committed.find(v.name);
        ASSERT_NE(c, nullptr) << v.name;
        data::NcDoubles a, b;
        fresh.read_doubles(v, a);
        committed.read_doubles(*c, b);
        EXPECT_TRUE(a == b) << v.name << " differs";
    }

    fs::copy_file(examples() / "sample_og1.nc", dir / "sample_og1.nc");
    RunResult r = run_program(dir.path(), read_file(examples() / "netcdf_session.txt"), {"--headless"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find(" Read 48 profiles from 1 netCDF file\n Fourth variable (Enter for CHLA): CHLA DOXY\n"),
              std::string::npos)
        << r.output;
    ASSERT_TRUE(fs::exists(dir / "OUT01.EPS"));
    if (have_ghostscript()) {
        EXPECT_EQ(render_eps(dir / "OUT01.EPS", dir / "x.png").output, "");
    }
}

TEST(GenNc, BadArgumentsGetOneClearLineAndStatus1) {
    TempDir dir;
    struct Case {
        const char* args;
        const char* says;
    } cases[] = {
        {"--samples 1 x.nc", "--samples wants a number from 2 to 100000, not \"1\""},
        {"--depth 5 x.nc", "unknown option --depth"},
        {"no/such/dir/x.nc", "cannot write no/such/dir/x.nc"},
    };
    for (const Case& c : cases) {
        RunResult r = run_gen_nc(dir, c.args);
        EXPECT_EQ(r.status, 1) << c.args;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << c.args << " gave: " << r.output;
    }
    EXPECT_FALSE(fs::exists(dir / "x.nc"));
}
