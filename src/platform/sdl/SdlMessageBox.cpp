#include "platform/sdl/SdlMessageBox.h"

#include <SDL.h>

#include "platform/TextCodec.h"
#include "platform/linux/MessageLine.h"

namespace kelva {

namespace {

Uint32 IconFlags(MessageIcon icon)
{
    switch (icon) {
        case MessageIcon::Error:
            return SDL_MESSAGEBOX_ERROR;
        case MessageIcon::Warning:
            return SDL_MESSAGEBOX_WARNING;
        default:
            return SDL_MESSAGEBOX_INFORMATION;
    }
}

}  // namespace

void SdlMessageBox::Show(std::string_view caption, std::string_view text, MessageIcon icon)
{
    // Errors and warnings always reach stderr too; other messages when no box could show them.
    const bool serious = icon == MessageIcon::Error || icon == MessageIcon::Warning;
    if (serious) PrintMessageLine(caption, text);
    const std::string title = ToDisplayText(caption);
    const std::string message = ToDisplayText(text);
    if (SDL_ShowSimpleMessageBox(IconFlags(icon), title.c_str(), message.c_str(), nullptr) != 0 && !serious) {
        PrintMessageLine(caption, text);
    }
}

bool SdlMessageBox::AskYesNo(std::string_view caption, std::string_view text)
{
    const std::string title = ToDisplayText(caption);
    const std::string message = ToDisplayText(text);
    // Button texts are UTF-8 for SDL; the literals here are CP932, so convert them too.
    const std::string yes = ToDisplayText("はい");
    const std::string no = ToDisplayText("いいえ");
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, no.c_str()},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, yes.c_str()},
    };
    const SDL_MessageBoxData data = {
        SDL_MESSAGEBOX_INFORMATION, nullptr, title.c_str(), message.c_str(), 2, buttons, nullptr};
    int button = -1;
    // A box that could not be shown, or was closed without an answer (-1), is a "no"; one
    // that could not be shown says so on stderr.
    if (SDL_ShowMessageBox(&data, &button) != 0) {
        PrintMessageLine(caption, text);
        PrintMessageLine("kelvanovelrun", "no question can be shown here: taken as \"no\"");
        return false;
    }
    return button == 1;
}

}  // namespace kelva
