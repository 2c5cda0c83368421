// The player's sound setting, kept beside the best score in a small file of its own, "settings":
// "sound off\n" while the player wants quiet, "sound on\n" otherwise. Anything else there, or no
// file, is sound on.
//
// Read on the game thread at start-up; saved, as the best score is, on a thread of its own each
// time the player toggles it (the end of the process waits for the save).
#pragma once

#include <filesystem>

// The file beside `bestScoreFile`; empty when that is.
std::filesystem::path soundSettingFile(const std::filesystem::path& bestScoreFile);

bool readSoundOff(const std::filesystem::path& file);

// From now on each toggle of the sound redraws the header and is saved in `file` (none when
// empty). After the header's pictures are tied to the window.
void keepSoundSetting(const std::filesystem::path& file);
