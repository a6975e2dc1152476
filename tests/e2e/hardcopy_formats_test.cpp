// PDF, SVG and PNG hardcopies: each written and readable by its own
// renderer, and each the EPS picture: rendered side by side at the same
// resolution (the EPS turned back from the plotter's sheet) they agree
// cell for cell and line for line.
#include <gtest/gtest.h>

#include <cairo.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const std::string kSample = (fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample.SCI").string();
// The demo section, labels included.
const std::vector<std::string> kDemo{kSample, "--contour", "D", "--range", "0,500", "--label", "3,5", "--label",
                                     "6.2,3", "--title", "Upwelling front"};

int shell(const std::string& cmd) {
    const int rc = std::system((cmd + " > /dev/null 2>&1").c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

bool have(const char* tool) { return shell(std::string("command -v ") + tool) == 0; }

// A PNG read back through cairo; empty when it is not one.
struct Picture {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface{nullptr, cairo_surface_destroy};
    int width = 0, height = 0;
    // Red, green and blue of pixel (x, y) from the top left.
    std::array<int, 3> at(int x, int y) const {
        const auto* row = cairo_image_surface_get_data(surface.get()) + y * cairo_image_surface_get_stride(surface.get());
        std::uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return {int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)};
    }
};

Picture read_png(const fs::path& p) {
    Picture pic;
    pic.surface.reset(cairo_image_surface_create_from_png(p.c_str()));
    if (cairo_surface_status(pic.surface.get()) != CAIRO_STATUS_SUCCESS) return {};
    cairo_surface_flush(pic.surface.get());
    pic.width = cairo_image_surface_get_width(pic.surface.get());
    pic.height = cairo_image_surface_get_height(pic.surface.get());
    return pic;
}

// The share of pixels of the upright page that differ by more than 30 % in
// some channel from the EPS sheet's pixel. The sheet stands turned: plot x
// runs up it and plot y from right to left.
double share_differing(const Picture& page, const Picture& sheet) {
    if (page.width != sheet.height || page.height != sheet.width) return 1.0;
    long differing = 0;
    for (int v = 0; v < page.height; ++v)
        for (int u = 0; u < page.width; ++u) {
            const auto a = page.at(u, v), b = sheet.at(v, page.width - 1 - u);
            for (int c = 0; c < 3; ++c)
                if (std::abs(a[static_cast<std::size_t>(c)] - b[static_cast<std::size_t>(c)]) > 77) {
                    ++differing;
                    break;
                }
        }
    return double(differing) / (double(page.width) * page.height);
}

// Renders OUT01.EPS, OUT01.PDF and OUT01.SVG of the folder at 60 dots per
// inch, smoothed alike, into eps.png, pdf.png and svg.png: the EPS on its
// 8 x 10 inch sheet as drawn (no crop to the bounding box), the SVG with
// the white sheet it brings.
void render_at_60_dpi(const fs::path& dir) {
    const std::string at = "cd '" + dir.string() + "' && ";
    ASSERT_EQ(shell(at + "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r60 -dGraphicsAlphaBits=4 "
                         "-dDEVICEWIDTHPOINTS=576 -dDEVICEHEIGHTPOINTS=720 -dFIXEDMEDIA -sOutputFile=eps.png OUT01.EPS"),
              0);
    ASSERT_EQ(shell(at + "pdftoppm -r 60 -png -singlefile OUT01.PDF pdf"), 0);
    ASSERT_EQ(shell(at + "rsvg-convert -d 60 -p 60 -o svg.png OUT01.SVG"), 0);
}

}  // namespace

TEST(HardcopyFormats, EachFormatIsWrittenAndReadable) {
    struct Row {
        std::vector<std::string> options;
        std::string name;    // the file written
        std::string render;  // a command that reads it ({} for its name), empty for a PNG
    } rows[] = {
        {{"--hardcopy", "eps"}, "OUT01.EPS", "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage {}"},
        {{"--hardcopy", "PDF"}, "OUT01.PDF", "pdftoppm -r 20 -png {} page"},
        {{"-o", "front.svg"}, "front.svg", "rsvg-convert -o page.png {}"},
        {{"--hardcopy", "png", "--dpi", "50"}, "OUT01.PNG", ""},
        {{"--hardcopy", "png"}, "OUT01.PNG", ""},
    };
    for (const Row& r : rows) {
        TempDir dir;
        std::vector<std::string> args{kSample, "--contour", "D"};
        args.insert(args.end(), r.options.begin(), r.options.end());
        RunResult run = run_program(dir.path(), "", args);
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(lines_of(run.output).back(), " Open " + r.name);
        ASSERT_TRUE(fs::exists(dir / r.name)) << r.name;
        const std::string head = read_file(dir / r.name).substr(0, 8);
        if (r.render.empty()) {
            const int dpi = r.options.size() > 2 ? 50 : 150;
            Picture png = read_png(dir / r.name);
            EXPECT_EQ(png.width, 10 * dpi);
            EXPECT_EQ(png.height, 8 * dpi);
            // Its dots per inch as pixels a metre, right after the header
            // chunk: 1969 or 5906, with the chunk's CRC.
            const std::string phys(dpi == 50 ? "\0\0\0\x09pHYs\0\0\x07\xb1\0\0\x07\xb1\x01\x06\xc5\x61\x86"
                                             : "\0\0\0\x09pHYs\0\0\x17\x12\0\0\x17\x12\x01\x67\x9f\xd2\x52",
                                   21);
            EXPECT_TRUE(read_file(dir / r.name).substr(33, 21) == phys) << dpi;
            continue;
        }
        const std::string tool = r.render.substr(0, r.render.find(' '));
        if (!have(tool.c_str())) {
            ADD_FAILURE() << tool << " is not installed (tools/install_deps.sh installs it)";
            continue;
        }
        std::string cmd = r.render;
        cmd.replace(cmd.find("{}"), 2, r.name);
        EXPECT_EQ(shell("cd '" + dir.path().string() + "' && " + cmd), 0) << cmd;
    }
}

TEST(HardcopyFormats, TheDialoguesHardcopyTakesTheFormatToo) {
    TempDir dir;
    const std::string script = kSample + "\nclick\nkey G\ntype 1 120\nN\nS\nT\nX\nS\n0 500\ntype\nkey H\n";
    RunResult run = run_program(dir.path(), script, {"--headless", "--hardcopy", "pdf"});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(lines_of(run.output).back(), " Open OUT01.PDF");
    EXPECT_EQ(read_file(dir / "OUT01.PDF").substr(0, 5), "%PDF-");
}

TEST(HardcopyFormats, PdfSvgAndPngShowTheEpsPicture) {
    for (const char* tool : {"gs", "pdftoppm", "rsvg-convert"})
        if (!have(tool)) GTEST_SKIP() << tool << " is not installed (tools/install_deps.sh installs it)";
    TempDir dir;
    for (const char* format : {"eps", "pdf", "svg"}) {
        std::vector<std::string> args = kDemo;
        args.insert(args.end(), {"--hardcopy", format});
        ASSERT_EQ(run_program(dir.path(), "", args).status, 0) << format;
    }
    std::vector<std::string> args = kDemo;
    args.insert(args.end(), {"--hardcopy", "png", "--dpi", "60"});
    ASSERT_EQ(run_program(dir.path(), "", args).status, 0);

    ASSERT_NO_FATAL_FAILURE(render_at_60_dpi(dir.path()));
    const Picture sheet = read_png(dir / "eps.png");
    ASSERT_EQ(sheet.width, 480);
    ASSERT_EQ(sheet.height, 600);
    // Edges of thin cells and strokes are smoothed a little differently by
    // each renderer; a picture moved by one pixel differs in about 5 %.
    for (const char* page : {"pdf.png", "svg.png", "OUT01.PNG"}) {
        const Picture p = read_png(dir / page);
        ASSERT_EQ(p.width, 600) << page;
        ASSERT_EQ(p.height, 480) << page;
        EXPECT_LT(share_differing(p, sheet), 0.015) << page;
    }
}

// A modern figure's EPS is the upright page boxed by what is drawn, and a
// sheet size gives the page that size.
TEST(HardcopyFormats, AModernFigureIsUprightAndTakesItsSheetsSize) {
    TempDir dir;
    RunResult eps = run_program(dir.path(), "", {kSample, "--style", "modern", "--contour", "D", "-o", "fig.eps"});
    EXPECT_EQ(eps.status, 0) << eps.output;
    const std::string text = read_file(dir / "fig.eps");
    EXPECT_EQ(text.substr(0, 23), "%!PS-Adobe-3.0 EPSF-3.0");
    const std::size_t box = text.find("%%BoundingBox: ");
    ASSERT_NE(box, std::string::npos);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + box, "%%%%BoundingBox: %d %d %d %d", &x0, &y0, &x1, &y1), 4);
    // Wider than high, and within the 720 x 576 point page.
    EXPECT_GT(x1 - x0, y1 - y0);
    EXPECT_LE(x1, 720);
    EXPECT_LE(y1, 576);
    if (have("gs")) {
        EXPECT_EQ(shell("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage '" + (dir / "fig.eps").string() + "'"), 0);
    }

    RunResult png = run_program(dir.path(), "", {kSample, "--style", "modern", "--contour", "D", "--size", "3.5,2.8",
                                                  "--dpi", "200", "-o", "small.png"});
    EXPECT_EQ(png.status, 0) << png.output;
    const Picture small = read_png(dir / "small.png");
    EXPECT_EQ(small.width, 700);
    EXPECT_EQ(small.height, 560);
}

// A section of more cells than a picture needs (a mission's) goes into a
// PDF, SVG or PNG as one image of its cells, and its lines as a few paths:
// the picture is still the EPS's, the SVG a small file.
TEST(HardcopyFormats, AMissionsCellsAreOneImageOfTheSamePicture) {
    for (const char* tool : {"gs", "pdftoppm", "rsvg-convert"})
        if (!have(tool)) GTEST_SKIP() << tool << " is not installed (tools/install_deps.sh installs it)";
    TempDir dir;
    const fs::path gen_nc = fs::path(GLIDERSECT_BINARY).parent_path() / "gen_nc";
    const std::string at = "cd '" + dir.path().string() + "' && ";
    ASSERT_EQ(shell(at + "'" + gen_nc.string() + "' --dives 150 --samples 600 --deflate 0 mission.nc"), 0);
    for (const char* format : {"eps", "pdf", "svg", "png"}) {
        std::vector<std::string> args{"mission.nc", "--contour", "D", "--range", "0,500", "--hardcopy", format};
        if (std::string(format) == "png") args.insert(args.end(), {"--dpi", "60"});
        ASSERT_EQ(run_program(dir.path(), "", args).status, 0) << format;
    }
    const std::string svg = read_file(dir / "OUT01.SVG");
    std::size_t images = 0, paths = 0;
    for (std::size_t p = svg.find("<image"); p != std::string::npos; p = svg.find("<image", p + 1)) ++images;
    for (std::size_t p = svg.find("<path"); p != std::string::npos; p = svg.find("<path", p + 1)) ++paths;
    EXPECT_EQ(images, 1u);
    EXPECT_LT(paths, 5000u);
    ASSERT_NO_FATAL_FAILURE(render_at_60_dpi(dir.path()));
    const Picture sheet = read_png(dir / "eps.png");
    for (const char* page : {"pdf.png", "svg.png", "OUT01.PNG"}) {
        const Picture p = read_png(dir / page);
        EXPECT_LT(share_differing(p, sheet), 0.03) << page;
    }
}

// A stacked page: one panel a variable, each its own frame and colour bar
// down a page as tall as they need, white between them.
TEST(HardcopyFormats, AStackedPageHasAPanelForEachVariable) {
    TempDir dir;
    RunResult run = run_program(dir.path(), "", {kSample, "--style", "modern", "--stack", "T,S,D", "--contour", "D",
                                                 "--range", "0,500", "--dpi", "60", "-o", "stack.png"});
    ASSERT_EQ(run.status, 0) << run.output << run.errors;
    const Picture page = read_png(dir / "stack.png");
    // 1.6 inches of margins, three 2-inch frames and two 0.3-inch gaps.
    ASSERT_EQ(page.width, 600);
    ASSERT_EQ(page.height, 492);
    const auto white = [&](int y) { return page.at(264, y) == std::array<int, 3>{255, 255, 255}; };
    for (int frame_middle : {108, 246, 384}) EXPECT_FALSE(white(frame_middle)) << frame_middle;
    for (int gap : {177, 315}) EXPECT_TRUE(white(gap)) << gap;
}
