// Game controllers through SDL, with a virtual controller standing in for a real one.
#include "platform/sdl/SdlGamepads.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelva {
namespace {

// The pad events SDL has queued, with plugging handled on the way.
std::vector<InputEvent> PadEvents(SdlGamepads& pads)
{
    std::vector<InputEvent> events;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (auto input = pads.Translate(event)) events.push_back(*input);
    }
    return events;
}

TEST(SdlGamepads, APluggedControllerSendsItsButtonsAndMayBePulledOut)
{
    SdlGamepads pads;
    ASSERT_TRUE(pads.Start()) << SDL_GetError();
    SDL_VirtualJoystickDesc description;
    SDL_zero(description);
    description.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    description.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    description.naxes = SDL_CONTROLLER_AXIS_MAX;
    description.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    const int device = SDL_JoystickAttachVirtualEx(&description);
    ASSERT_GE(device, 0) << SDL_GetError();
    SDL_Joystick* joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
    EXPECT_TRUE(PadEvents(pads).empty()) << "plugging in is no button";
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
    EXPECT_NE(SDL_GameControllerFromInstanceID(id), nullptr) << "opened as it came";

    struct Press {
        SDL_GameControllerButton button;
        PadButton pad;
    };
    const Press presses[] = {{SDL_CONTROLLER_BUTTON_A, PadButton::A},
                             {SDL_CONTROLLER_BUTTON_START, PadButton::Start},
                             {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadButton::RightShoulder},
                             {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadButton::DpadDown}};
    for (const Press& press : presses) {
        SCOPED_TRACE(static_cast<int>(press.pad));
        for (const Uint8 state : {SDL_PRESSED, SDL_RELEASED}) {
            SDL_JoystickSetVirtualButton(joystick, press.button, state);
            SDL_JoystickUpdate();
            const std::vector<InputEvent> events = PadEvents(pads);
            ASSERT_EQ(events.size(), 1u);
            EXPECT_EQ(events[0].type,
                      state == SDL_PRESSED ? InputEvent::Type::PadDown : InputEvent::Type::PadUp);
            EXPECT_EQ(events[0].pad, press.pad);
        }
    }
    // The guide button means nothing here.
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_GUIDE, SDL_PRESSED);
    SDL_JoystickUpdate();
    EXPECT_TRUE(PadEvents(pads).empty());

    SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(device);
    EXPECT_TRUE(PadEvents(pads).empty());
    EXPECT_EQ(SDL_GameControllerFromInstanceID(id), nullptr) << "closed as it went";
}

}  // namespace
}  // namespace kelva
