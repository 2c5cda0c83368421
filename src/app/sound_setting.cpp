#include "app/sound_setting.h"

#include "lcd/score_header.h"
#include "platform/process_exit.h"
#include "platform/saved_file.h"
#include "platform/sound_output.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

constexpr std::string_view kOff = "sound off\n";
constexpr std::string_view kOn = "sound on\n";

std::filesystem::path settingFile;
// Saves run one at a time, each writing the setting as it stands by then.
std::mutex saving;

void save() {
    const std::lock_guard guard(saving);
    const platform::SavedFilesLock lock(settingFile.parent_path());
    std::string error;
    if (!platform::replaceSavedFile(settingFile, platform::soundMuted() ? kOff : kOn, error)) {
        std::fprintf(stderr, "kestrilon: the sound setting is not kept: %s\n", error.c_str());
    }
}

// On the window thread: the header at once, the disk on a thread of its own.
void soundToggled(bool muted) {
    ScoreHeader::showSoundOff(muted);
    if (settingFile.empty()) {
        return;
    }
#ifdef __EMSCRIPTEN__
    // The page has one thread, and its storage answers at once.
    save();
#else
    try {
        // The end of the process waits for the save from here on.
        std::thread([hold = std::make_shared<const platform::ExitHold>()] { save(); }).detach();
    } catch (const std::system_error&) {
        save();
    }
#endif
}

} // namespace

std::filesystem::path soundSettingFile(const std::filesystem::path& bestScoreFile) {
    return bestScoreFile.empty() ? bestScoreFile : bestScoreFile.parent_path() / "settings";
}

bool readSoundOff(const std::filesystem::path& file) {
    std::string error;
    const auto text = file.empty() ? std::nullopt : platform::readSavedFile(file, 64, error);
    return text == kOff;
}

void keepSoundSetting(const std::filesystem::path& file) {
    settingFile = file;
    platform::listenForMute(soundToggled);
}
