#include "platform/sdl/sdl_pads.h"

#include "platform/scratch_dir.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <semaphore>

#include <gtest/gtest.h>

namespace {

// The bound only turns a watch that never calls into a failure instead of a hang.
bool stirred(std::counting_semaphore<>& stirs, int times) {
    for (int i = 0; i < times; ++i) {
        if (!stirs.try_acquire_for(std::chrono::seconds(30))) {
            return false;
        }
    }
    return true;
}

// A FIFO stands in for a controller's node: a writer's byte is a press, its close an unplug.
TEST(SdlPadWatch, KeepsANodeThatStirsClosesOneThatHangsUpAndLooksAgainAfterAPlug) {
    const ScratchDir dir;
    const std::string pad = dir.path("pad");
    ASSERT_EQ(mkfifo(pad.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path("input"));
    std::counting_semaphore<> stirs(0);
    platform::SdlPadWatch watch([&] { stirs.release(); }, dir.path("input").c_str());
    watch.watch({pad});
    const int writer = open(pad.c_str(), O_WRONLY | O_CLOEXEC); // once the watch reads it
    ASSERT_EQ(write(writer, "p", 1), 1);
    ASSERT_TRUE(stirred(stirs, 1));
    const int another = open(pad.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_GE(another, 0) << "read dry, the node was taken for gone";
    close(another);
    close(writer);
    ASSERT_TRUE(stirred(stirs, 1));
    EXPECT_EQ(open(pad.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC), -1) << "still open";
    EXPECT_EQ(errno, ENXIO);
    dir.write("input/event0", {});
    EXPECT_TRUE(stirred(stirs, 1 + platform::SdlPadWatch::kFollowUps));
}

TEST(SdlPads, AControllerAnnouncedTwiceIsLetGoWhenUnpluggedAndUnusedButtonsAreNoKeys) {
    platform::SdlPads pads([] {});
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
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
    event.type = SDL_CONTROLLERBUTTONDOWN;
    event.cbutton.button = SDL_CONTROLLER_BUTTON_Y;
    EXPECT_FALSE(pads.translate(event, message));
}

} // namespace
