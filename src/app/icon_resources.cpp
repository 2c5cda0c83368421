#include "icon_resources.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace {

struct PaletteEntry {
    char key;
    std::uint32_t rgb;
};

constexpr PaletteEntry kPalette[] = {
    {'K', iconcolour::kOutline},   {'H', iconcolour::kCaseHighlight}, {'C', iconcolour::kCaseUpper},
    {'D', iconcolour::kCaseLower}, {'B', iconcolour::kBezelShade},    {'L', iconcolour::kLettering},
    {'S', iconcolour::kSolarCell}, {'f', iconcolour::kSolarFinger},   {'P', iconcolour::kPanel},
    {'u', iconcolour::kUnlitDot},  {'s', iconcolour::kPanelShadow},   {'#', iconcolour::kLitDot},
};

// A calculator face whose display shows a dot-matrix 5.
// clang-format off
constexpr std::array<std::string_view, 32> kIcon101 = {
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHK",
    "KCCCCCCCCCCCCCCCKKKKKKKKKKKKKCCK",
    "KCCLCLCLCLCLCCCCKSSSKSSSKSSSKCCK",
    "KCCCCCCCCCCCCCCCKfffKfffKfffKCCK",
    "KCCCCCCCCCCCCCCCKKKKKKKKKKKKKCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCK",
    "KCBBBBBBBBBBBBBBBBBBBBBBBBBBBHCK",
    "KCBssssssssssssssssssssssssssHCK",
    "KCBsPPPPPP##P##P##P##P##PPPPPHCK",
    "KCBsPPPPPP##s##s##s##s##sPPPPHCK",
    "KCBsPPPPPPPssPssPssPssPssPPPPHCK",
    "KCBsPPPPPP##PuuPuuPuuPuuPPPPPHCK",
    "KCBsPPPPPP##suuPuuPuuPuuPPPPPHCK",
    "KCBsPPPPPPPssPPPPPPPPPPPPPPPPHCK",
    "KCBsPPPPPP##P##P##P##PuuPPPPPHCK",
    "KDBsPPPPPP##s##s##s##suuPPPPPHDK",
    "KDBsPPPPPPPssPssPssPssPPPPPPPHDK",
    "KDBsPPPPPPuuPuuPuuPuuP##PPPPPHDK",
    "KDBsPPPPPPuuPuuPuuPuuP##sPPPPHDK",
    "KDBsPPPPPPPPPPPPPPPPPPPssPPPPHDK",
    "KDBsPPPPPPuuPuuPuuPuuP##PPPPPHDK",
    "KDBsPPPPPPuuPuuPuuPuuP##sPPPPHDK",
    "KDBsPPPPPPPPPPPPPPPPPPPssPPPPHDK",
    "KDBsPPPPPP##PuuPuuPuuP##PPPPPHDK",
    "KDBsPPPPPP##suuPuuPuuP##sPPPPHDK",
    "KDBsPPPPPPPssPPPPPPPPPPssPPPPHDK",
    "KDBsPPPPPPuuP##P##P##PuuPPPPPHDK",
    "KDBsPPPPPPuuP##s##s##suuPPPPPHDK",
    "KDBsPPPPPPPPPPssPssPssPPPPPPPHDK",
    "KDBHHHHHHHHHHHHHHHHHHHHHHHHHHHDK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
};
// clang-format on

// At this size the dots would blur into noise, so the 5 is drawn solid.
// clang-format off
constexpr std::array<std::string_view, 16> kIcon102 = {
    "KKKKKKKKKKKKKKKK",
    "Kss##########ssK",
    "KsP##########sPK",
    "KsP##sssssssssPK",
    "KsP##sPPPPPPPPPK",
    "KsP########PPPPK",
    "KsP########sPPPK",
    "KsPPsssssss##PPK",
    "KsPPPPPPPPP##sPK",
    "KsPPPPPPPPP##sPK",
    "KsPPPPPPPPP##sPK",
    "KsP##PPPPPP##sPK",
    "KsP##sPPPPP##sPK",
    "KsPPs######PssPK",
    "KsPPP######sPPPK",
    "KKKKKKKKKKKKKKKK",
};
// clang-format on

constexpr const PaletteEntry* findColour(char key) {
    for (const PaletteEntry& entry : kPalette) {
        if (entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

// A picture must be square and use only palette keys; checked when compiling.
constexpr bool wellFormed(std::span<const std::string_view> rows) {
    return std::all_of(rows.begin(), rows.end(), [&](std::string_view row) {
        return row.size() == rows.size() && std::all_of(row.begin(), row.end(), [](char key) {
                   return findColour(key) != nullptr;
               });
    });
}
static_assert(std::size(kPalette) <= 16);
static_assert(wellFormed(kIcon101));
static_assert(wellFormed(kIcon102));

platform::Bitmap paint(std::span<const std::string_view> rows) {
    const int size = static_cast<int>(rows.size());
    platform::Bitmap picture(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            picture.setPixel(x, y, findColour(rows[y][x])->rgb);
        }
    }
    return picture;
}

} // namespace

platform::Bitmap iconResource(int id) {
    switch (id) {
    case 101:
        return paint(kIcon101);
    case 102:
        return paint(kIcon102);
    default:
        return {};
    }
}
