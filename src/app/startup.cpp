#include "app/startup.h"

#include "app/icon_resources.h"
#include "app/picture_folder.h"
#include "app/sound_setting.h"
#include "game/best_score.h"
#include "game/game_state.h"
#include "game/play.h"
#include "image/image_slot.h"
#include "lcd/glyph_set.h"
#include "lcd/score_header.h"
#include "lcd/slot_display.h"
#include "platform/clock.h"
#include "platform/player_message.h"
#include "platform/process_exit.h"
#include "platform/sound_output.h"
#include "platform/window_host.h"
#include "prompt/prompt_thread.h"
#include "prompt/prompt_window.h"
#include "runtime/random_source.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

namespace {

constexpr std::uint32_t kReadyPollMs = 20;
constexpr int kOuterWidth = 402;
constexpr int kOuterHeight = 117;
constexpr int kSmallIcon = 102;
// The window cannot be had: a page's refused, or a desktop's thread for it not started.
constexpr int kNoWindowExitCode = 1;

SlotDisplay slotDisplay;

std::filesystem::path bestFile;
std::optional<std::uint64_t> bestSoFar;

GameOverListener hostListener = nullptr;

// A higher score than the best so far shows at once; the disk is left to the saving thread. A
// replay's score was made by someone, some time else.
void afterGame(double score, const std::string& gameCode, bool replayed) {
    if (hostListener != nullptr) {
        hostListener(score, gameCode, replayed);
    }
    const std::optional<std::uint64_t> kept = scoreToKeep(score);
    if (bestFile.empty() || replayed || !kept || (bestSoFar && *kept <= *bestSoFar)) {
        return;
    }
    bestSoFar = kept;
    ScoreHeader::show(*kept);
    saveBestScoreSoon(bestFile, *kept, gameCode);
    if (gameCode.empty()) {
        // Said after the save has started, so that a close meanwhile still keeps the score. It
        // takes a day of play or more; a message box then may hold the GAME OVER until read.
        platform::tellPlayer(platform::PlayerMessage::problem,
                             "the game that made the best score " + std::to_string(*kept) +
                                 " is too long to keep as a replay; its score is kept\n");
    }
}

void fixWindow(platform::WindowHost& window) {
    window.setCaption("Kestrilon");
    window.setSmallIcon(iconResource(kSmallIcon));
    std::uint32_t style = window.style();
    style &= ~(platform::WS_THICKFRAME | platform::WS_MINIMIZEBOX);
    style &= ~(platform::WS_THICKFRAME | platform::WS_MAXIMIZEBOX);
    window.setStyle(style);
    window.setPosition(0, 0, kOuterWidth, kOuterHeight, platform::SWP_FRAMECHANGED);
    window.setPosition(0, 0, 0, 0,
                       platform::SWP_NOSIZE | platform::SWP_NOMOVE | platform::SWP_FRAMECHANGED);
}

// The folders looked in when no picture loaded, else empty.
std::string loadPictures() {
    const std::string considered = moveToPictureFolder();
    GlyphSet::loadGlyphs();
    const auto& loaded = GlyphSet::glyphLoaded;
    return std::none_of(loaded.begin(), loaded.end(), [](std::uint8_t flag) { return flag != 0; })
               ? considered
               : std::string();
}

// On the desktop the window has a thread of its own for its message loop; in a page the
// browser's event loop is the window's, and the host hands each event to the window as it comes.
void startWindow(platform::WindowHost& window) {
#ifdef __EMSCRIPTEN__
    if (!openPromptWindow(window)) {
        platform::exitProcess(kNoWindowExitCode);
    }
#else
    try {
        std::thread(promptThreadMain, std::ref(window)).detach();
    } catch (const std::system_error& error) {
        platform::tellPlayer(platform::PlayerMessage::problem,
                             std::string("cannot start the window thread: ") + error.what() + "\n");
        platform::exitProcess(kNoWindowExitCode);
    }
#endif
}

void waitForFirstPaint() {
    // Woken by the paint itself: polling would add up to a whole poll to every start.
    while (promptWindow.ready == 0) {
        platform::sleepUntilChanged(promptWindow.ready, 0, kReadyPollMs);
    }
}

} // namespace

void startGame(platform::WindowHost& window, const std::filesystem::path& bestScoreFile,
               GameOverListener hostGameOverListener, GameKeys keys) {
    runtimeInit();
    promptWindow.ready = 0;
    startWindow(window);
    // Reading the pictures needs no window, so it runs while the window thread starts the video,
    // which takes longer; only drawing them waits for the window.
    windowSurface.construct();
    for (ImageSlot& slot : imageSlots) {
        slot.construct();
    }
    createGameTexts();
    const std::string noPicturesIn = loadPictures();
    bestFile = bestScoreFile;
    if (!bestFile.empty()) {
        ScoreHeader::loadDigits();
        bestSoFar = readBestScore(bestFile);
    }
    waitForFirstPaint();

    fixWindow(*promptWindow.handle.load());
    // Said once the window is the game's, so a message box stands beside it; the game goes on once
    // the player has dismissed it.
    if (!noPicturesIn.empty()) {
        platform::tellPlayer(platform::PlayerMessage::problem, "no pictures found (looked in " +
                                                                   noPicturesIn +
                                                                   "); the display stays blank\n");
    }
    windowSurface.bind();
    GlyphSet::bindGlyphs();
    imageSlots[GlyphSet::kBackdrop].drawAt(0, 0, 0);
    if (!bestFile.empty()) {
        ScoreHeader::bindDigits();
        if (bestSoFar) {
            ScoreHeader::show(*bestSoFar);
        }
        ScoreHeader::showSoundOff(platform::soundMuted());
    }
    keepSoundSetting(soundSettingFile(bestFile));
    hostListener = hostGameOverListener;
    listenForGameOver(afterGame);
    RandomSource::randomize();
    fillGameTables();
    useLcdDisplay(&slotDisplay);
    runGame(keys);
}
