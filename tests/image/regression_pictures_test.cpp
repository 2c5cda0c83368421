// The regression corpus: files that once broke a picture reader (found by the fuzz targets, or
// made to show a fault fixed since). Each must still give a clear outcome within the hostile-file
// bounds: one second of CPU, less than 64 MiB of growth, and a bitmap exactly when loaded.
#include "image/bounded_load.h"
#include "platform/picture_limits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(RegressionPictures, EveryFileGivesAClearOutcome) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(KESTRILON_REGRESSION_PICTURES)) {
        files.push_back(entry.path());
    }
    ASSERT_FALSE(files.empty()) << "no files in " << KESTRILON_REGRESSION_PICTURES;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)),
                                             std::istreambuf_iterator<char>());
        const BoundedLoad got =
            loadBounded([&file](PictureFile& picture) { return picture.loadBytes(file); });
        ASSERT_TRUE(got.finished) << "the load crashed or ran out of its second";
        EXPECT_TRUE(got.result == 0 || got.result == 1);
        EXPECT_TRUE(got.bitmapConsistent);
        if (got.result == 1) {
            EXPECT_TRUE(platform::pictureSizeAllowed(got.width, got.height));
        }
        expectBoundedGrowth(got);
    }
}
