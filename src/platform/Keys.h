// The keys the player knows, translated once in the window backend. A replay names them
// with the same names; a name not in the table is refused, so a misspelt key can't pass
// unnoticed.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

namespace kelva {

// The keys in groups, a group a line.
// clang-format off
enum class Key : uint8_t {
    Unknown,
    Space, Return, Escape, Tab, Backspace, Delete,
    Up, Down, Left, Right, PageUp, PageDown, Home, End,
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
    PrintScreen, Minus, Equals, Ctrl,
    Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
    A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
};
// clang-format on

namespace detail {

// Names as the window system spells them; the first name of a key is its own.
// clang-format off
inline constexpr std::pair<std::string_view, Key> kKeyNames[] = {
    {"Space", Key::Space}, {"Return", Key::Return}, {"Escape", Key::Escape}, {"Tab", Key::Tab},
    {"Backspace", Key::Backspace}, {"Delete", Key::Delete}, {"Up", Key::Up}, {"Down", Key::Down},
    {"Left", Key::Left}, {"Right", Key::Right}, {"PageUp", Key::PageUp}, {"PageDown", Key::PageDown},
    {"Home", Key::Home}, {"End", Key::End}, {"F1", Key::F1}, {"F2", Key::F2}, {"F3", Key::F3},
    {"F4", Key::F4}, {"F5", Key::F5}, {"F6", Key::F6}, {"F7", Key::F7}, {"F8", Key::F8},
    {"F9", Key::F9}, {"F10", Key::F10}, {"F11", Key::F11}, {"F12", Key::F12},
    {"PrintScreen", Key::PrintScreen}, {"-", Key::Minus}, {"=", Key::Equals}, {"Ctrl", Key::Ctrl},
    {"0", Key::Digit0}, {"1", Key::Digit1}, {"2", Key::Digit2}, {"3", Key::Digit3}, {"4", Key::Digit4},
    {"5", Key::Digit5}, {"6", Key::Digit6}, {"7", Key::Digit7}, {"8", Key::Digit8}, {"9", Key::Digit9},
    {"A", Key::A}, {"B", Key::B}, {"C", Key::C}, {"D", Key::D}, {"E", Key::E}, {"F", Key::F},
    {"G", Key::G}, {"H", Key::H}, {"I", Key::I}, {"J", Key::J}, {"K", Key::K}, {"L", Key::L},
    {"M", Key::M}, {"N", Key::N}, {"O", Key::O}, {"P", Key::P}, {"Q", Key::Q}, {"R", Key::R},
    {"S", Key::S}, {"T", Key::T}, {"U", Key::U}, {"V", Key::V}, {"W", Key::W}, {"X", Key::X},
    {"Y", Key::Y}, {"Z", Key::Z},
    // Common other spellings.
    {"Enter", Key::Return}, {"Esc", Key::Escape}, {"PgUp", Key::PageUp}, {"PgDn", Key::PageDown},
};
// clang-format on

}  // namespace detail

// The key's own name ("Space", "F5", "A"); empty for Key::Unknown.
constexpr std::string_view KeyName(Key key)
{
    for (const auto& [name, named] : detail::kKeyNames) {
        if (named == key) return name;
    }
    return {};
}

// The key a name stands for, aliases included; nullopt for a name not in the table.
constexpr std::optional<Key> KeyFromName(std::string_view name)
{
    for (const auto& [known, key] : detail::kKeyNames) {
        if (known == name) return key;
    }
    return std::nullopt;
}

// The gamepad's buttons, as a standard controller lays them out.
enum class PadButton : uint8_t {
    A,
    B,
    X,
    Y,
    Back,
    Start,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
};

namespace detail {

// clang-format off
inline constexpr std::pair<std::string_view, PadButton> kPadButtonNames[] = {
    {"A", PadButton::A}, {"B", PadButton::B}, {"X", PadButton::X}, {"Y", PadButton::Y},
    {"Back", PadButton::Back}, {"Start", PadButton::Start}, {"LeftShoulder", PadButton::LeftShoulder},
    {"RightShoulder", PadButton::RightShoulder}, {"DpadUp", PadButton::DpadUp},
    {"DpadDown", PadButton::DpadDown}, {"DpadLeft", PadButton::DpadLeft}, {"DpadRight", PadButton::DpadRight},
};
// clang-format on

}  // namespace detail

constexpr std::optional<PadButton> PadButtonFromName(std::string_view name)
{
    for (const auto& [known, button] : detail::kPadButtonNames) {
        if (known == name) return button;
    }
    return std::nullopt;
}

}  // namespace kelva
