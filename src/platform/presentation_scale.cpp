#include "platform/presentation_scale.h"

#include "platform/window_host.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace platform {
namespace {

constexpr int kBaseDpi = 96;

// The whole decimal number that `text` is, in full; -1 otherwise.
int wholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && !text.empty() ? value : -1;
}

} // namespace

int scaleForDpi(int dpi) {
    // Rounded from the quotient and the remainder: dpi + 48 could overflow.
    const int rounded = dpi / kBaseDpi + (dpi % kBaseDpi >= kBaseDpi / 2 ? 1 : 0);
    return std::clamp(rounded, 1, kMaxScale);
}

int parseScale(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const int value = wholeNumber(text);
    return value >= 1 && value <= kMaxScale ? value : 0;
}

int xftDpiOf(const char* resources) {
    if (resources == nullptr) {
        return 0;
    }
    constexpr std::string_view kName = "Xft.dpi:";
    std::string_view rest = resources;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.substr(0, kName.size()) != kName) {
            continue;
        }
        line.remove_prefix(kName.size());
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        // Blanks, and the CR of a file written on Windows, may follow the value.
        line.remove_suffix(line.size() - std::min(line.find_last_not_of(" \t\r") + 1, line.size()));
        // Desktops write fractional values too ("144.0"): the whole part is what scales.
        const int dpi = wholeNumber(line.substr(0, line.find('.')));
        return std::max(dpi, 0);
    }
    return 0;
}

int desktopScale(const char* gdkScale, int xftDpi) {
    if (const int scale = parseScale(gdkScale); scale != 0) {
        return scale;
    }
    return scaleForDpi(xftDpi);
}

int fittingScale(int wanted, int width, int height, int screenWidth, int screenHeight) {
    int scale = std::clamp(wanted, 1, kMaxScale);
    while (scale > 1 && (width * scale + kFrameExtraWidth > screenWidth ||
                         height * scale + kFrameExtraHeight > screenHeight)) {
        --scale;
    }
    return scale;
}

void sayWhenLowered(ScaleRequest& request, int shown, int screenWidth, int screenHeight) {
    if (request.requested != 0 && shown < request.requested && !request.loweringSaid) {
        request.loweringSaid = true;
        std::fprintf(stderr,
                     "kestrilon: scale %d does not fit the %d x %d screen; the window is shown at "
                     "the largest scale that fits\n",
                     request.requested, screenWidth, screenHeight);
    }
}

int windowScale(ScaleRequest& request, int desktop, int width, int height, int screenWidth,
                int screenHeight) {
    const int wanted = request.requested != 0 ? request.requested : desktop;
    const int scale = fittingScale(wanted, width, height, screenWidth, screenHeight);
    sayWhenLowered(request, scale, screenWidth, screenHeight);
    return scale;
}

} // namespace platform
