#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "digest/ContentDigestPool.h"
#include "support/ScratchDirectory.h"

namespace {

struct Handed {
    std::size_t index;
    platform::FileContent content;
};

// The results of a pool of `threads`, or, `ahead`, those of two readings in a
// row of the same pool, each begun and finished.
std::vector<Handed> digestWith(unsigned threads, const std::vector<FileToDigest>& files, bool ahead = false) {
    std::vector<Handed> handed;
    const auto take = [&handed](std::size_t index, const platform::FileContent& content) {
        handed.push_back(Handed{index, content});
    };
    ContentDigestPool pool(threads);
    if (!ahead) {
        pool.digest(files, take);
        return handed;
    }
    const std::size_t half = files.size() / 2;
    pool.begin(std::vector<FileToDigest>(files.begin(), files.begin() + half));
    pool.finish(take);
    pool.begin(std::vector<FileToDigest>(files.begin() + half, files.end()));
    pool.finish([&](std::size_t index, const platform::FileContent& content) { take(half + index, content); });
    return handed;
}

// Files of many sizes, some above a block, among a missing path and a
// directory, more of them than the threads may be ahead of the taker: each
// result comes in its file's place, the same for any number of threads, and
// is what one reader alone finds.
TEST(ContentDigestPool, HandsOutEveryResultInInputOrderWhateverTheThreads) {
    ScratchDirectory scratch;
    std::vector<FileToDigest> files;
    for (int i = 0; i < 700; ++i) {
        const std::size_t size =
            i % 97 == 0 ? platform::ContentReader::blockSize + i : static_cast<std::size_t>(i * 37 % 5000);
        const std::string content = std::string(size, static_cast<char>('a' + i % 26)) + std::to_string(i);
        files.push_back({scratch.writeFile("file" + std::to_string(i), content), std::string::npos});
        if (i == 10) files.push_back({scratch.pathOf("missing"), std::string::npos});
        if (i == 20) files.push_back({scratch.makeDirectory("directory"), std::string::npos});
    }

    const std::vector<Handed> alone = digestWith(1, files);
    ASSERT_EQ(files.size(), alone.size());
    platform::ContentReader reader;
    for (std::size_t index = 0; index < files.size(); ++index) {
        const platform::FileContent expected = reader.read(files[index].path);
        EXPECT_EQ(index, alone[index].index);
        EXPECT_EQ(expected.outcome, alone[index].content.outcome) << files[index].path;
        EXPECT_EQ(expected.digest, alone[index].content.digest) << files[index].path;
        EXPECT_EQ(expected.error, alone[index].content.error) << files[index].path;
    }
    EXPECT_EQ(platform::FileContent::UNREADABLE, alone[11].content.outcome);
    EXPECT_EQ(platform::FileContent::NOT_A_FILE, alone[22].content.outcome);

    for (const auto& [threads, ahead] : {std::pair<unsigned, bool>{2, false}, {3, false}, {2, true}, {3, true}}) {
        SCOPED_TRACE(ahead ? "read ahead" : "digest");
        const std::vector<Handed> pooled = digestWith(threads, files, ahead);
        ASSERT_EQ(alone.size(), pooled.size()) << threads << " threads";
        for (std::size_t index = 0; index < alone.size(); ++index) {
            EXPECT_EQ(index, pooled[index].index) << threads << " threads";
            EXPECT_EQ(alone[index].content.outcome, pooled[index].content.outcome) << threads << " threads";
            EXPECT_EQ(alone[index].content.digest, pooled[index].content.digest) << threads << " threads";
            EXPECT_EQ(alone[index].content.error, pooled[index].content.error) << threads << " threads";
        }
    }
}

// A failure of the receiver stops the threads and reaches the caller.
TEST(ContentDigestPool, FailureOfTheReceiverReachesTheCaller) {
    ScratchDirectory scratch;
    const std::vector<FileToDigest> files(50, FileToDigest{scratch.writeFile("file", "content"), std::string::npos});
    for (const unsigned threads : {1u, 2u}) {
        std::size_t taken = 0;
        EXPECT_THROW(ContentDigestPool(threads).digest(files,
                                                       [&taken](std::size_t, const platform::FileContent&) {
                                                           if (++taken == 3) throw std::runtime_error("full");
                                                       }),
                     std::runtime_error);
        EXPECT_EQ(3u, taken);
        // A reading begun and never finished ends with its pool.
        ContentDigestPool(threads).begin(files);
    }
}

}  // namespace
