// kestrilon-icongen <outdir> <name>: writes the desktop icons in the layout of an icon theme,
// <outdir>/<N>x<N>/apps/<name>.png for every size a desktop asks for. Run by the build.
#include "icon_painter.h"
#include "platform/process_setup.h"
#include "png_writer.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
    platform::prepareProcess();
    if (argc != 3) {
        std::cerr << "usage: kestrilon-icongen <outdir> <name>\n";
        return 2;
    }
    for (const int size : icongen::kDesktopIconSizes) {
        const std::string side = std::to_string(size);
        const std::filesystem::path folder =
            std::filesystem::path(argv[1]) / (side + "x" + side) / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const std::filesystem::path file = folder / (std::string(argv[2]) + ".png");
        if (error || !icongen::writePng(file, icongen::paintDesktopIcon(size))) {
            std::cerr << "kestrilon-icongen: cannot write " << file.string() << '\n';
            return 1;
        }
    }
    return 0;
}
