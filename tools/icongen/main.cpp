// kestrilon-icongen <outdir> <name>: writes the desktop icons in the layout of an icon theme,
// <outdir>/<N>x<N>/apps/<name>.png for every size a desktop asks for.
// kestrilon-icongen --page <outdir>: writes the web page's icons, icon-192.png, icon-512.png and
// icon-maskable-192.png. Run by the build.
#include "icon_painter.h"
#include "platform/process_setup.h"
#include "png_writer.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

namespace {

bool written(const std::filesystem::path& file, const platform::Bitmap& icon) {
    if (icongen::writePng(file, icon)) {
        return true;
    }
    std::cerr << "kestrilon-icongen: cannot write " << file.string() << '\n';
    return false;
}

bool writeDesktopIcons(const std::filesystem::path& outdir, const std::string& name) {
    for (const int size : icongen::kDesktopIconSizes) {
        const std::string side = std::to_string(size);
        const std::filesystem::path folder = outdir / (side + "x" + side) / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (!written(folder / (name + ".png"), icongen::paintDesktopIcon(size))) {
            return false;
        }
    }
    return true;
}

bool writePageIcons(const std::filesystem::path& outdir) {
    std::error_code error;
    std::filesystem::create_directories(outdir, error);
    return written(outdir / "icon-192.png", icongen::paintDesktopIcon(192)) &&
           written(outdir / "icon-512.png", icongen::paintDesktopIcon(512)) &&
           written(outdir / "icon-maskable-192.png", icongen::paintMaskableIcon(192));
}

} // namespace

int main(int argc, char** argv) {
    platform::prepareProcess();
    if (argc != 3) {
        std::cerr << "usage: kestrilon-icongen <outdir> <name>\n"
                     "       kestrilon-icongen --page <outdir>\n";
        return 2;
    }
    const bool done = std::string_view(argv[1]) == "--page" ? writePageIcons(argv[2])
                                                            : writeDesktopIcons(argv[1], argv[2]);
    return done ? 0 : 1;
}
