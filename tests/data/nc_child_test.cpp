// The child process that reads netCDF files: what it sends arrives whole,
// and how it ended is said in words.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <numeric>
#include <vector>

#include "data/nc_child.h"

namespace {

constexpr std::size_t kMemory = std::size_t{1} << 30;

}  // namespace

TEST(NcChild, BlocksOfAnySizeArriveWholeInOrder) {
    // Larger than the link's buffer, then small ones after it.
    std::vector<int> big(3 << 20);
    std::iota(big.begin(), big.end(), 0);
    data::NcChild child(kMemory, 60, [&](data::NcLink& link, std::atomic<std::size_t>& number) {
        number = 7;
        link.put(big.data(), big.size() * sizeof(int));
        for (int i = 0; i < 3; ++i) link.put("abc", 3);
        link.flush();
    });
    std::vector<int> got(big.size());
    ASSERT_TRUE(child.link().get(got.data(), got.size() * sizeof(int)));
    EXPECT_TRUE(got == big);
    for (int i = 0; i < 3; ++i) {
        char abc[3] = {};
        ASSERT_TRUE(child.link().get(abc, 3));
        EXPECT_EQ(std::string(abc, 3), "abc");
    }
    char more;
    EXPECT_FALSE(child.link().get(&more, 1));
    EXPECT_EQ(child.how_it_ended(), "ended with status 0");
    EXPECT_EQ(child.shared_number().load(), 7u);
}

TEST(NcChild, HowTheChildEndedIsSaidInWords) {
    struct Row {
        void (*body)();
        std::string said;
    } rows[] = {
        {[] { kill(getpid(), SIGKILL); }, "killed by signal 9, Killed"},
        {[] { _exit(3); }, "ended with status 3"},
    };
    for (const Row& row : rows) {
        data::NcChild child(kMemory, 60, [&](data::NcLink&, std::atomic<std::size_t>&) { row.body(); });
        char nothing;
        EXPECT_FALSE(child.link().get(&nothing, 1));
        EXPECT_EQ(child.how_it_ended(), row.said);
    }
}
