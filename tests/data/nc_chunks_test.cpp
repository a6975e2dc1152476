// Chunked netCDF-4 variables read without the netCDF library: the same
// values in every storage form the reader takes, and the library's answer
// in every form it declines.
#include <gtest/gtest.h>

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "data/chunk_decode.h"
#include "data/nc_chunks.h"
#include "data/nc_file.h"
#include "support/test_support.h"

namespace {

using testing_support::make_netcdf;
using testing_support::TempDir;

constexpr int kN = 50;

// Sample i of every variable: whole numbers of both signs that every type
// here holds, each different from its neighbours.
double value(int i) { return (i * 37 % 101) - 50; }

struct Form {
    const char* type;   // CDL type
    const char* name;
    const char* attributes;  // the storage's special attributes
    bool read_here;     // by the chunk reader, or declined to the library
};

}  // namespace

TEST(NcChunks, EveryStorageFormGivesTheLibrarysValues) {
    const Form forms[] = {
        {"double", "contiguous", "_Storage = \"contiguous\"", false},
        {"double", "deflated", "_ChunkSizes = 7 ; v:_Shuffle = \"true\" ; v:_DeflateLevel = 5", true},
        {"float", "shuffled", "_ChunkSizes = 8 ; v:_Shuffle = \"true\"", true},
        {"short", "s16", "_ChunkSizes = 5 ; v:_DeflateLevel = 1", true},
        {"ubyte", "u8", "_ChunkSizes = 9 ; v:_Shuffle = \"true\" ; v:_DeflateLevel = 9", true},
        {"byte", "i8", "_ChunkSizes = 50 ; v:_DeflateLevel = 5", true},
        {"int", "i32", "_ChunkSizes = 3 ; v:_Shuffle = \"true\" ; v:_DeflateLevel = 5", true},
        {"int", "big_endian", "_ChunkSizes = 6 ; v:_DeflateLevel = 5 ; v:_Endianness = \"big\"", false},
        {"double", "checksummed", "_ChunkSizes = 6 ; v:_Fletcher32 = \"true\"", false},
        // Named like a dimension it is not the coordinate of: HDF5 keeps it apart.
        {"double", "obs", "_ChunkSizes = 4 ; v:_DeflateLevel = 5", true},
    };
    std::string cdl = "netcdf forms {\ndimensions:\n\tn = " + std::to_string(kN) + " ;\n\tobs = 3 ;\nvariables:\n";
    for (const Form& f : forms) {
        std::string attributes = std::string("\t\tv:") + f.attributes + " ;\n";
        for (std::size_t at; (at = attributes.find("v:")) != std::string::npos;) attributes.replace(at, 1, f.name);
        cdl += std::string("\t") + f.type + " " + f.name + "(n) ;\n" + attributes;
    }
    cdl += "\n// global attributes:\n\t\t:_Format = \"netCDF-4\" ;\ndata:\n";
    for (const Form& f : forms) {
        cdl += std::string(" ") + f.name + " = ";
        for (int i = 0; i < kN; ++i) {
            const double x = std::string(f.type) == "ubyte" ? value(i) + 50 : value(i);
            cdl += std::to_string(static_cast<int>(x)) + (i + 1 < kN ? ", " : " ;\n");
        }
    }
    cdl += "}\n";
    TempDir dir;
    const std::filesystem::path path = dir.path() / "forms.nc";
    std::string said;
    ASSERT_TRUE(make_netcdf(cdl, path, &said)) << said;

    const data::NcFile file(path.string());
    // Blocks of ten values, so that a variable spans several and the next is
    // undone ahead while one is read.
    auto chunks = data::NcChunks::open(path.string(), 10);
    ASSERT_TRUE(chunks);
    for (const Form& f : forms) {
        const data::NcVariable& v = *file.find(f.name);
        const double shift = std::string(f.type) == "ubyte" ? 50 : 0;
        data::NcDoubles whole;
        file.read_doubles(v, whole);
        ASSERT_EQ(whole.size(), std::size_t{kN}) << f.name;
        for (int i = 0; i < kN; ++i) EXPECT_EQ(whole[i], value(i) + shift) << f.name << " " << i;

        // In pieces across blocks, forward, back to the start, and one
        // value at the very end.
        const std::string dataset = std::string(f.name) == "obs" ? "_nc4_non_coord_obs" : f.name;
        std::vector<double> got(kN, -999.0);
        bool here = true;
        for (auto [start, count] : {std::pair{0, 13}, {13, 4}, {17, 33}, {2, 30}, {49, 1}}) {
            here = chunks->read(v, dataset, start, count, got.data() + start) && here;
            if (!here) continue;
            for (int i = start; i < start + count; ++i) EXPECT_EQ(got[i], value(i) + shift) << f.name << " " << i;
        }
        EXPECT_EQ(here, f.read_here) << f.name;
        if (f.read_here && std::string(f.type) != "float" && std::string(f.type) != "double") {
            std::vector<int> ints(kN);
            ASSERT_TRUE(chunks->read(v, dataset, 0, kN, ints.data())) << f.name;
            for (int i = 0; i < kN; ++i) EXPECT_EQ(ints[i], value(i) + shift) << f.name << " " << i;
        }
        std::vector<int> ints(5);
        file.read_ints(v, 20, 5, ints.data());
        for (int i = 0; i < 5; ++i) EXPECT_EQ(ints[i], value(20 + i) + shift) << f.name;
    }
    std::vector<double> beyond(2);
    EXPECT_FALSE(chunks->read(*file.find("deflated"), "deflated", kN - 1, 2, beyond.data()));
}

// A chunk that deflate would not shrink is kept as it is, with its bit set
// in the chunk's mask; a damaged stream undoes to nothing.
TEST(NcChunks, ChunksStoredWithoutAFilterOrDamagedAreToldApart) {
    const std::vector<std::byte> plain{std::byte{1}, std::byte{2}, std::byte{3}, std::byte{4}};
    data::ChunkFilters deflated;
    deflated.deflate_at = 0;
    data::ByteRoom scratch;
    std::vector<std::byte> out(4);
    ASSERT_TRUE(data::decode_chunk(plain, deflated, 1u, out, scratch));
    EXPECT_EQ(out, plain);
    EXPECT_FALSE(data::decode_chunk(plain, deflated, 0u, out, scratch));
}
