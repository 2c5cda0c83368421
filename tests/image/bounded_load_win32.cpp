#include "image/bounded_load.h"

#include <windows.h>

#include <psapi.h>

namespace {

PROCESS_MEMORY_COUNTERS memoryNow() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

} // namespace

BoundedLoad loadBounded(const std::function<int(PictureFile&)>& load) {
    BoundedLoad report;
    const SIZE_T before = memoryNow().WorkingSetSize;
    PictureFile file;
    report.result = load(file);
    const SIZE_T peak = memoryNow().PeakWorkingSetSize;
    report.peakGrowthKib =
        before > 0 && peak >= before ? static_cast<long>((peak - before) / 1024) : -1;
    report.format = file.format;
    report.width = file.width;
    report.height = file.height;
    const platform::Bitmap* bitmap = file.bitmapHandle();
    report.bitmapConsistent =
        report.result == 1
            ? bitmap != nullptr && bitmap->width == file.width && bitmap->height == file.height &&
                  bitmap->pixels.size() == static_cast<std::size_t>(file.width) * file.height
            : bitmap == nullptr;
    report.finished = true;
    return report;
}
