// kestrilon-iconwriter <outdir>: writes the program's icon resources as <outdir>/101.ico and
// <outdir>/102.ico, from the same pictures the game draws its window icon from. Run by the
// Windows build on the build machine, before the resource compiler.
#include "app/icon_resources.h"
#include "ico_writer.h"
#include "platform/process_setup.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
    platform::prepareProcess();
    if (argc != 2) {
        std::cerr << "usage: kestrilon-iconwriter <outdir>\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const int id : {101, 102}) {
        const std::vector<std::uint8_t> bytes = iconwriter::encodeIco(iconResource(id));
        const std::filesystem::path path = folder / (std::to_string(id) + ".ico");
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        if (bytes.empty() || !file.flush()) {
            std::cerr << "kestrilon-iconwriter: cannot write " << path.string() << '\n';
            return 1;
        }
    }
    return 0;
}
