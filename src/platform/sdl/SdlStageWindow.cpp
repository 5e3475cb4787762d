#include "platform/sdl/SdlStageWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include "platform/TextCodec.h"
#include "platform/sdl/SdlFrameOutput.h"
#include "platform/sdl/SdlGamepads.h"

namespace kelva {

namespace {

struct SdlDeleter {
    void operator()(SDL_Cursor* c) const { SDL_FreeCursor(c); }
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};

class SdlVideo {
public:
    SdlVideo() : m_ok(SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {}
    ~SdlVideo()
    {
        if (m_ok) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool m_ok;
};

// The skip pointer: a black "fast forward" sign (two triangles pointing right) with a
// white rim, 32 x 32, hot spot at the tip of the first triangle.
SDL_Cursor* CreateSkipCursor()
{
    constexpr int kSide = 32;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, kSide, kSide, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return nullptr;
    auto* pixels = static_cast<Uint32*>(surface->pixels);
    const int pitch = surface->pitch / 4;
    // Inside a right-pointing triangle with its left edge at `left`, tip at left + 12,
    // spanning rows 4..27, grown by `grow` pixels.
    const auto inside = [](int x, int y, int left, int grow) {
        const int half = 12 - std::abs(y - 16) + grow;
        return half >= 0 && x >= left - grow && x <= left + half;
    };
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            Uint32 colour = 0;  // transparent
            if (inside(x, y, 4, 1) || inside(x, y, 16, 1)) colour = 0xFFFFFFFF;
            if (inside(x, y, 4, 0) || inside(x, y, 16, 0)) colour = 0xFF000000;
            pixels[y * pitch + x] = colour;
        }
    }
    SDL_Cursor* cursor = SDL_CreateColorCursor(surface, 4, 16);
    SDL_FreeSurface(surface);
    return cursor;
}

Key TranslateKey(SDL_Keycode code)
{
    if (code >= SDLK_a && code <= SDLK_z) return static_cast<Key>(static_cast<int>(Key::A) + (code - SDLK_a));
    if (code >= SDLK_0 && code <= SDLK_9)
        return static_cast<Key>(static_cast<int>(Key::Digit0) + (code - SDLK_0));
    if (code >= SDLK_F1 && code <= SDLK_F12)
        return static_cast<Key>(static_cast<int>(Key::F1) + (code - SDLK_F1));
    switch (code) {
        case SDLK_SPACE:
            return Key::Space;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return Key::Return;
        case SDLK_ESCAPE:
            return Key::Escape;
        case SDLK_TAB:
            return Key::Tab;
        case SDLK_BACKSPACE:
            return Key::Backspace;
        case SDLK_DELETE:
            return Key::Delete;
        case SDLK_UP:
            return Key::Up;
        case SDLK_DOWN:
            return Key::Down;
        case SDLK_LEFT:
            return Key::Left;
        case SDLK_RIGHT:
            return Key::Right;
        case SDLK_PAGEUP:
            return Key::PageUp;
        case SDLK_PAGEDOWN:
            return Key::PageDown;
        case SDLK_HOME:
            return Key::Home;
        case SDLK_END:
            return Key::End;
        case SDLK_PRINTSCREEN:
            return Key::PrintScreen;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return Key::Ctrl;
        // The keypad's - and + too: on keyboards where = needs Shift (Japanese ones among
        // them) they are the volume keys' easiest spelling.
        case SDLK_MINUS:
        case SDLK_KP_MINUS:
            return Key::Minus;
        case SDLK_EQUALS:
        case SDLK_PLUS:
        case SDLK_KP_PLUS:
            return Key::Equals;
        default:
            return Key::Unknown;
    }
}

class SdlStageWindow final : public StageWindow {
public:
    SdlStageWindow(Clock& clock, std::unique_ptr<SdlVideo> video, SDL_Window* window)
        : m_clock(clock), m_video(std::move(video)), m_window(window)
    {
    }

    // The largest window scale whose window fits the desktop's free area; at least 1.
    int LargestScale() const
    {
        SDL_Rect bounds;
        const int display = std::max(0, SDL_GetWindowDisplayIndex(m_window.get()));
        if (SDL_GetDisplayUsableBounds(display, &bounds) != 0) return 1;
        return std::max(1, StageViewport::WholeScale(bounds.w, bounds.h));
    }

    // Made after the window, which it draws into, and gone before it.
    void SetOutput(std::unique_ptr<SdlFrameOutput> output) { m_output = std::move(output); }
    std::string DescribeOutput() const { return m_output->Describe(); }

    void SetPointer(Pointer pointer) override
    {
        if (pointer == Pointer::Hidden) {
            SDL_ShowCursor(SDL_DISABLE);
            return;
        }
        SDL_ShowCursor(SDL_ENABLE);
        auto& cursor = m_cursors[static_cast<int>(pointer)];
        if (!cursor) {
            cursor.reset(pointer == Pointer::Skip   ? CreateSkipCursor()
                         : pointer == Pointer::Busy ? SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT)
                                                    : SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
        }
        if (cursor) SDL_SetCursor(cursor.get());
    }

    std::vector<DisplayMode> DisplayModes() override
    {
        std::vector<DisplayMode> modes;
        const int display = std::max(0, SDL_GetWindowDisplayIndex(m_window.get()));
        SDL_DisplayMode mode;
        const int count = SDL_GetNumDisplayModes(display);
        for (int i = 0; i < count; ++i) {
            if (SDL_GetDisplayMode(display, i, &mode) == 0) {
                modes.push_back({mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format))});
            }
        }
        if (SDL_GetDesktopDisplayMode(display, &mode) == 0) {
            modes.push_back({mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format))});
        }
        return modes;
    }

    void SetTitle(std::string_view title) override
    {
        SDL_SetWindowTitle(m_window.get(), Cp932ToUtf8(title).c_str());
    }

    bool Show(bool fullScreen, int) override
    {
        if (fullScreen) {
            if (SDL_SetWindowFullscreen(m_window.get(), SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
        } else {
            SDL_SetWindowFullscreen(m_window.get(), 0);
            PlaceWindow();
        }
        m_fullScreen = fullScreen;
        m_visible = true;
        SDL_ShowWindow(m_window.get());
        m_output->Redraw();
        return true;
    }

    void SetWindowScale(int factor) override
    {
        m_scale = std::clamp(factor, 1, LargestScale());
        if (m_visible && !m_fullScreen) PlaceWindow();
    }

    void MovePointer(int x, int y) override
    {
        // Stage pixels to window points, through the scaling and letterboxing of full screen.
        const auto [windowX, windowY] = m_output->StageToWindow(x, y);
        SDL_WarpMouseInWindow(m_window.get(), windowX, windowY);
    }

    void Present(const uint8_t* pixels, int pitch, const StageArea& changed) override
    {
        m_output->Present(pixels, pitch, changed);
    }

    std::optional<InputEvent> WaitEvent(int64_t deadlineMs) override
    {
        // Only once the stage shows, so that the search for pads never delays its first picture.
        if (m_visible) m_gamepads.Start();
        for (;;) {
            const int64_t left = deadlineMs - m_clock.NowMs();
            SDL_Event event;
            if (!SDL_WaitEventTimeout(&event, left > 0 ? static_cast<int>(left) : 0)) return std::nullopt;
            if (auto input = Translate(event)) return input;
            if (m_clock.NowMs() >= deadlineMs) return std::nullopt;
        }
    }

    void SetTextInput(bool on) override
    {
        if (on) {
            SDL_StartTextInput();
        } else {
            SDL_StopTextInput();
        }
    }

private:
    // The window at its scale, centred across the screen, its top a little above the
    // middle (250 pixels for a 640 x 480 window) but never above the screen's free area.
    void PlaceWindow()
    {
        SDL_SetWindowSize(m_window.get(), kStageWidth * m_scale, kStageHeight * m_scale);
        SDL_Rect bounds, usable;
        const int display = std::max(0, SDL_GetWindowDisplayIndex(m_window.get()));
        if (SDL_GetDisplayBounds(display, &bounds) != 0) return;
        if (SDL_GetDisplayUsableBounds(display, &usable) != 0) usable = bounds;
        SDL_SetWindowPosition(m_window.get(), bounds.x + bounds.w / 2 - kStageWidth * m_scale / 2,
                              std::max(usable.y, bounds.y + bounds.h / 2 - 250 * m_scale));
    }

    std::optional<InputEvent> Translate(const SDL_Event& event)
    {
        InputEvent input;
        switch (event.type) {
            case SDL_QUIT:
                return input;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                    event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                    m_output->Redraw();
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) return input;
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
                    event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                    input.type = event.window.event == SDL_WINDOWEVENT_FOCUS_LOST
                                     ? InputEvent::Type::FocusLost
                                     : InputEvent::Type::FocusGained;
                    return input;
                }
                return std::nullopt;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                input.type = event.type == SDL_KEYDOWN ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp;
                input.key = TranslateKey(event.key.keysym.sym);
                // A held Ctrl repeats, but only its first press and its release mean something.
                if (input.key == Key::Ctrl && event.key.repeat) return std::nullopt;
                input.alt = (event.key.keysym.mod & KMOD_ALT) != 0;
                input.ctrl = (event.key.keysym.mod & KMOD_CTRL) != 0;
                return input;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                input.type = event.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Type::MouseDown
                                                               : InputEvent::Type::MouseUp;
                std::tie(input.x, input.y) = m_output->EventToStage(event.button.x, event.button.y);
                input.button = event.button.button == SDL_BUTTON_RIGHT    ? MouseButton::Right
                               : event.button.button == SDL_BUTTON_MIDDLE ? MouseButton::Middle
                                                                          : MouseButton::Left;
                input.clicks = event.button.clicks;
                return input;
            case SDL_MOUSEWHEEL:
                input.type = InputEvent::Type::MouseWheel;
                input.wheel =
                    event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
                return input;
            case SDL_TEXTINPUT: {
                // The engine's text is CP932; what it cannot hold was not meant for it.
                auto text = Utf8ToCp932(event.text.text);
                if (!text || text->empty()) return std::nullopt;
                input.type = InputEvent::Type::TextInput;
                input.text = std::move(*text);
                return input;
            }
            case SDL_MOUSEMOTION:
                input.type = InputEvent::Type::MouseMove;
                std::tie(input.x, input.y) = m_output->EventToStage(event.motion.x, event.motion.y);
                return input;
            default:
                return m_gamepads.Translate(event);
        }
    }

    Clock& m_clock;
    std::unique_ptr<SdlVideo> m_video;
    std::unique_ptr<SDL_Window, SdlDeleter> m_window;
    std::unique_ptr<SdlFrameOutput> m_output;
    std::unique_ptr<SDL_Cursor, SdlDeleter> m_cursors[4];
    SdlGamepads m_gamepads;  // closed before the video goes
    int m_scale = 1;
    bool m_fullScreen = false;
    bool m_visible = false;
};

}  // namespace

bool SdlVideoIsHeadless()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
}

std::unique_ptr<StageWindow> CreateSdlStageWindow(Clock& clock, const SdlWindowOptions& options,
                                                  std::string& error, std::string& outputName)
{
    auto video = std::make_unique<SdlVideo>();
    if (!video->Ok()) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_Window* window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kStageWidth,
                                          kStageHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        error = SDL_GetError();
        return nullptr;
    }
    // SDL starts with text entry on; it is wanted only while an edit field has the focus.
    SDL_StopTextInput();
    auto stage = std::make_unique<SdlStageWindow>(clock, std::move(video), window);
    if (const int largest = stage->LargestScale(); options.Scale > largest) {
        error = "a window " + std::to_string(options.Scale) + " times the stage's size (" +
                std::to_string(kStageWidth * options.Scale) + " x " +
                std::to_string(kStageHeight * options.Scale) + ") does not fit the desktop; at most " +
                std::to_string(largest) + " times does";
        return nullptr;
    }
    stage->SetWindowScale(options.Scale);
    auto output = CreateSdlFrameOutput(window, options.Renderer,
                                       options.Smooth ? StageScaling::Smooth : StageScaling::Whole, error);
    if (!output) return nullptr;
    stage->SetOutput(std::move(output));
    outputName = stage->DescribeOutput();
    return stage;
}

}  // namespace kelva
