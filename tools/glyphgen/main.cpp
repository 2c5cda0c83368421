// kestrilon-glyphgen <outdir>: writes the game's pictures, <outdir>/NNN.bmp for every code the
// font has (NNN the code in three digits), small0.bmp … small9.bmp (the header's digits),
// soundoff.bmp (the header's sign that the sound is off) and 000.bmp, the backdrop. Run by the
// build.
#include "bmp_writer.h"
#include "font_table.h"
#include "lcd_painter.h"

#include "platform/process_setup.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

namespace {

std::filesystem::path pictureName(const std::filesystem::path& folder, int code) {
    char name[8];
    std::snprintf(name, sizeof name, "%03d.bmp", code);
    return folder / name;
}

bool write(const std::filesystem::path& path, const platform::Bitmap& picture) {
    if (glyphgen::writeBmp(path, picture)) {
        return true;
    }
    std::cerr << "kestrilon-glyphgen: cannot write " << path.string() << '\n';
    return false;
}

} // namespace

int main(int argc, char** argv) {
    platform::prepareProcess();
    if (argc != 2) {
        std::cerr << "usage: kestrilon-glyphgen <outdir>\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "kestrilon-glyphgen: cannot create " << folder.string() << ": "
                  << error.message() << '\n';
        return 1;
    }
    for (const glyphgen::GlyphPattern& pattern : glyphgen::fontTable()) {
        if (!write(pictureName(folder, pattern.code), glyphgen::paintGlyph(pattern))) {
            return 1;
        }
    }
    for (char digit = '0'; digit <= '9'; ++digit) {
        const std::string name = std::string("small") + digit + ".bmp";
        if (!write(folder / name, glyphgen::paintSmallDigit(*glyphgen::findGlyph(digit)))) {
            return 1;
        }
    }
    if (!write(folder / "soundoff.bmp", glyphgen::paintSoundOff())) {
        return 1;
    }
    // The backdrop goes last: the build takes its presence as the sign of a complete set.
    return write(pictureName(folder, 0), glyphgen::paintBackdrop()) ? 0 : 1;
}
