// Quick-looks of an archive: the standard set of each mission, pages whose
// every image and link is there, a rerun that skips what has not changed,
// one line for each mission that fails, and an archive drawn by GNU
// parallel, two processes at a time, into one consistent index.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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
    int links = 0;
    for (const std::string attribute : {"src=\"", "href=\""})
        for (std::size_t at = html.find(attribute); at != std::string::npos; at = html.find(attribute, at + 1), ++links) {
            const std::size_t from = at + attribute.size();
            const std::string target = html.substr(from, html.find('"', from) - from);
            EXPECT_TRUE(fs::exists(page.parent_path() / target)) << page << " names " << target;
        }
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
    for (const char* f : {"all_variables.png", "temperature_mission.png", "temperature_recent.png",
                          "temperature_upper.png", "salinity_mission.png", "sigma_theta_upper.png", "CHLA_mission.png",
                          "track.png"})
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

// Opened in a real browser from the disk, every image of the index and of
// a mission's page shows and every link leads to a file.
TEST(Quicklook, EveryImageShowsAndEveryLinkResolvesInHeadlessChromium) {
    if (shell("command -v chromium") != 0) GTEST_SKIP() << "chromium is not installed (tools/install_deps.sh)";
    TempDir dir;
    make_mission(dir / "sg201.nc", 8, 7);
    ASSERT_EQ(run_program(dir.path(), "", {"quicklook", "sg201.nc", "-o", "ql"}).status, 0);
    // A page of the test's own that opens each page in a frame and looks.
    write_file(dir / "check.html", R"(<!DOCTYPE html><html><body><pre id="out">waiting</pre><script>
const pages = ["ql/index.html", "ql/sg201/index.html"];
const lines = [];
function fetchable(url) {
  return new Promise(done => { const r = new XMLHttpRequest(); r.open("GET", url);
    r.onload = () => done(r.response !== null && (r.status === 0 || r.status === 200));
    r.onerror = () => done(false); r.send(); });
}
async function look(page) {
  const frame = document.createElement("iframe"); frame.src = page; document.body.appendChild(frame);
  await new Promise(done => frame.onload = done);
  const doc = frame.contentDocument;
  for (const img of doc.images) {
    if (!img.complete) await new Promise(done => { img.onload = done; img.onerror = done; });
    lines.push((img.naturalWidth > 0 ? "shown " : "broken ") + page + " " + img.getAttribute("src"));
  }
  for (const a of doc.links) lines.push(((await fetchable(a.href)) ? "resolves " : "missing ") + page + " " + a.getAttribute("href"));
}
(async () => { for (const p of pages) await look(p); document.getElementById("out").textContent = lines.join("\n") + "\nend"; })();
</script></body></html>)");
    const fs::path dom = dir / "dom.txt";
    ASSERT_EQ(shell("cd '" + dir.path().string() + "' && { timeout 120 chromium --headless --no-sandbox --disable-gpu "
                    "--allow-file-access-from-files --virtual-time-budget=20000 --dump-dom 'file://" +
                    (dir / "check.html").string() + "' > '" + dom.string() + "'; }"),
              0);
    // What the page found, between its <pre> tags (the script holds the words too).
    const std::string all = read_file(dom);
    const std::size_t from = all.find("<pre id=\"out\">"), to = all.find("</pre>");
    ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << all;
    const std::string text = all.substr(from, to - from);
    ASSERT_NE(text.find("\nend"), std::string::npos) << text;
    EXPECT_EQ(text.find("broken "), std::string::npos) << text;
    EXPECT_EQ(text.find("missing "), std::string::npos) << text;
    EXPECT_GE(std::count(text.begin(), text.end(), '\n'), 10) << text;
    EXPECT_NE(text.find("shown ql/index.html sg201/all_variables.png"), std::string::npos) << text;
}
