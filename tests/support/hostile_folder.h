// A picture folder as a hostile user would fill it: the game's own glyphs, and at every other
// code a small file that declares a picture of the full pixel cap (4096 × 4096): an RLE8 or RLE4
// BMP that ends at once, a GIF screen around one pixel, a progressive JPEG cut after its first
// scan header, a GIF image of the cap under a one-pixel screen. Each of them loads if memory
// allows, so together they ask for far more than the budget of all pictures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// The hostile picture written at `code`: kind code % 5 of RLE8, RLE4, GIF screen, JPEG, GIF image.
std::vector<std::uint8_t> hostilePicture(int code);

// Writes <folder>/bmp/000.bmp … 255.bmp: the files of <glyphs> where it has one, else a hostile
// picture. Returns the number of hostile pictures written.
int writeHostileFolder(const std::filesystem::path& glyphs, const std::filesystem::path& folder);
