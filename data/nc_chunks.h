#pragma once
// The values of a netCDF-4 file's chunked one-dimensional variables, read
// by this program: each chunk's stored bytes come through HDF5 as they are
// in the file and are inflated and unshuffled here by libdeflate, the next
// chunks on a second thread while the reader works through the last. A
// deflated mission spent most of its reading in HDF5's own zlib, on one
// thread. The values are those the netCDF library gives; where a variable
// is stored in a way not undone here (another filter, big-endian, a chunk
// never written), the reader declines and the library reads it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/nc_file.h"

namespace data {

class NcChunks {
public:
    // Chunks are fetched and undone a block at a time: one chunk, or as
    // many small ones as make about a million values.
    static constexpr std::size_t kBlockValues = std::size_t{1} << 20;

    // For the netCDF-4 file at `path`, already open in the netCDF library;
    // nullptr when HDF5 cannot be reached or does not open it.
    static std::unique_ptr<NcChunks> open(const std::string& path, std::size_t block_values = kBlockValues);
    ~NcChunks();
    NcChunks(const NcChunks&) = delete;
    NcChunks& operator=(const NcChunks&) = delete;

    // Values start .. start + count - 1 of v, stored as the HDF5 dataset
    // `dataset`, into `to`, converted as the netCDF library converts them
    // (ints only from whole-number variables). False when this reader does
    // not read v; `to` then holds nothing of use.
    bool read(const NcVariable& v, const std::string& dataset, std::size_t start, std::size_t count, double* to);
    bool read(const NcVariable& v, const std::string& dataset, std::size_t start, std::size_t count, int* to);

    struct Variable;
    struct Block;

private:
    NcChunks(std::int64_t file, std::size_t block_values);
    Variable* variable(const NcVariable& v, const std::string& dataset);
    template <class T>
    bool read_values(const NcVariable& v, const std::string& dataset, std::size_t start, std::size_t count, T* to);

    std::int64_t file_;  // HDF5's id
    std::size_t block_values_;
    std::vector<std::unique_ptr<Block>> spare_;            // rooms for chunks, kept for the next variable
    std::map<int, std::unique_ptr<Variable>> variables_;  // by netCDF id; null where declined
};

}  // namespace data
