// The program's icon resources as pictures: 101, 32 × 32, and 102, 16 × 16, 16 colours each.
//
// Start-up asks for 102 on the game thread to give the window its small icon; a platform that
// wants a large icon may take 101. Pure function, any thread.
#pragma once

#include "platform/bitmap.h"

#include <cstdint>

// The icons' colours, kept within 16, what a 4-bit icon can hold. The desktop icons the build
// draws at other sizes use the same ones.
namespace iconcolour {
inline constexpr std::uint32_t kOutline = 0x17191C;
inline constexpr std::uint32_t kCaseHighlight = 0x5A6068; // also the lower bezel edge
inline constexpr std::uint32_t kCaseUpper = 0x3C4147;
inline constexpr std::uint32_t kCaseLower = 0x2C3035;
inline constexpr std::uint32_t kBezelShade = 0x15171A; // the upper bezel edge
inline constexpr std::uint32_t kLettering = 0xD6DBE0;
inline constexpr std::uint32_t kSolarCell = 0x322B36;
inline constexpr std::uint32_t kSolarFinger = 0x433A48;
inline constexpr std::uint32_t kPanel = 0xC5D0B4;
inline constexpr std::uint32_t kUnlitDot = 0xB9C4A9;
inline constexpr std::uint32_t kPanelShadow = 0xADB8A0;
inline constexpr std::uint32_t kLitDot = 0x1E2A1E;
} // namespace iconcolour

// The picture of icon resource `id`; an empty Bitmap for an id the program does not have.
platform::Bitmap iconResource(int id);
