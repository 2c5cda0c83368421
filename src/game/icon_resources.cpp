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

// Kept within 16 colours, what a 4-bit icon can hold.
constexpr PaletteEntry kPalette[] = {
    {'K', 0x17191C}, // case outline
    {'H', 0x5A6068}, // case highlight, lower bezel edge
    {'C', 0x3C4147}, // case, upper half
    {'D', 0x2C3035}, // case, lower half
    {'B', 0x15171A}, // upper bezel edge
    {'L', 0xD6DBE0}, // lettering on the case
    {'S', 0x322B36}, // solar cell
    {'f', 0x433A48}, // solar cell finger
    {'P', 0xC5D0B4}, // LCD panel
    {'u', 0xB9C4A9}, // unlit dot
    {'s', 0xADB8A0}, // shadow on the panel
    {'#', 0x1E2A1E}, // lit dot
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
    return std::ranges::all_of(rows, [&](std::string_view row) {
        return row.size() == rows.size() &&
               std::ranges::all_of(row, [](char key) { return findColour(key) != nullptr; });
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
