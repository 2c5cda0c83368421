// A fresh directory for the files one test writes, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

class ScratchDir {
  public:
    ScratchDir() {
        // create_directory is false when the name is taken: another name is drawn then.
        std::random_device entropy;
        for (int attempt = 0; attempt < 100; ++attempt) {
            root_ = std::filesystem::temp_directory_path() /
                    ("kestrilon-" + std::to_string(entropy()) + std::to_string(entropy()));
            if (std::filesystem::create_directory(root_)) {
                return;
            }
        }
        throw std::runtime_error("cannot make a scratch directory");
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Writes `bytes` at the relative path (subdirectories made as needed) and returns its path.
    std::string write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const {
        const std::filesystem::path path = root_ / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    std::string path(const std::string& relative) const { return (root_ / relative).string(); }

  private:
    std::filesystem::path root_;
};
