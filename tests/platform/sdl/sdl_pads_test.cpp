#include "platform/sdl/sdl_pad_watch.h"
#include "platform/sdl/sdl_pads.h"

#include "platform/scratch_dir.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include <gtest/gtest.h>

namespace {

// Counts the watch's calls. A test waits for a count to be reached; the bound is only there so
// that a watch that never calls fails instead of hanging.
class Stirs {
  public:
    std::function<void()> counter() {
        return [this] {
            std::lock_guard guard(lock_);
            ++count_;
            changed_.notify_all();
        };
    }
    bool reach(int count) {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, std::chrono::seconds(30), [&] { return count_ >= count; });
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    int count_ = 0;
};

TEST(SdlPadWatch, ANewNodeBringsTheFollowUpLooks) {
    const ScratchDir dir;
    std::filesystem::create_directory(dir.path("input"));
    Stirs stirs;
    platform::SdlPadWatch watch(stirs.counter(), dir.path("input").c_str());
    ASSERT_EQ(watch.problem(), "");
    dir.write("input/event0", {});
    EXPECT_TRUE(stirs.reach(1 + platform::SdlPadWatch::kFollowUps));
}

// A FIFO stands in for a controller's node: a writer's byte is a press, its close an unplug.
TEST(SdlPadWatch, ANodeIsKeptWhileItStirsAndClosedWhenItHangsUp) {
    const ScratchDir dir;
    const std::string pad = dir.path("pad");
    ASSERT_EQ(mkfifo(pad.c_str(), 0600), 0);
    Stirs stirs;
    platform::SdlPadWatch watch(stirs.counter(), dir.path("no-input").c_str());
    ASSERT_EQ(watch.problem(), "");
    watch.watch({pad});
    const int writer = open(pad.c_str(), O_WRONLY | O_CLOEXEC); // once the watch reads it
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, "p", 1), 1);
    ASSERT_TRUE(stirs.reach(1));
    const int another = open(pad.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_GE(another, 0) << "read dry, the node was taken for gone";
    close(another);
    close(writer);
    ASSERT_TRUE(stirs.reach(2));
    EXPECT_EQ(open(pad.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC), -1)
        << "the hung-up node is still open";
    EXPECT_EQ(errno, ENXIO);
}

TEST(SdlPads, ButtonsAreTheKeysOfTheSameMovesAndTheOthersNone) {
    platform::SdlPads pads([] {});
    const struct {
        SDL_GameControllerButton button;
        std::uint32_t key;
    } rows[] = {
        {SDL_CONTROLLER_BUTTON_A, 'Z'},       {SDL_CONTROLLER_BUTTON_X, 'X'},
        {SDL_CONTROLLER_BUTTON_B, 'E'},       {SDL_CONTROLLER_BUTTON_START, 13},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 'X'}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 'X'},
        {SDL_CONTROLLER_BUTTON_Y, 0},         {SDL_CONTROLLER_BUTTON_BACK, 0},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0}, {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 0},
    };
    for (const auto& row : rows) {
        SDL_Event event{};
        event.type = SDL_CONTROLLERBUTTONDOWN;
        event.cbutton.button = static_cast<Uint8>(row.button);
        platform::WindowMessage message;
        EXPECT_EQ(pads.translate(event, message), row.key != 0) << "button " << row.button;
        if (row.key != 0) {
            EXPECT_EQ(message.message, platform::WM_KEYDOWN) << "button " << row.button;
            EXPECT_EQ(message.wParam, row.key) << "button " << row.button;
        }
    }
}

TEST(SdlPads, AControllerAnnouncedTwiceIsLetGoWhenUnplugged) {
    platform::SdlPads pads([] {});
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    SDL_Event event{};
    platform::WindowMessage message;
    event.type = SDL_CONTROLLERDEVICEADDED;
    event.cdevice.which = index;
    pads.translate(event, message);
    pads.translate(event, message);
    ASSERT_NE(SDL_GameControllerFromInstanceID(id), nullptr);
    SDL_JoystickDetachVirtual(index);
    event.type = SDL_CONTROLLERDEVICEREMOVED;
    event.cdevice.which = id;
    pads.translate(event, message);
    EXPECT_EQ(SDL_GameControllerFromInstanceID(id), nullptr);
}

} // namespace
