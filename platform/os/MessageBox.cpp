#include "platform/os/MessageBox.h"

#include "platform/os/Window.h"

#include <SDL2/SDL.h>

#include <cstdio>

MessageBoxAnswer ShowMessageBox(Window* owner, const std::string& text, const std::string& caption,
                                MessageBoxButtons buttons, MessageBoxIcon icon) {
    const bool question = buttons == MessageBoxButtons::YesNo;
    PlatformSeams& seams = Seams();
    if (seams.messageBoxAnswer) {
        seams.messageBoxesShown.push_back(caption + ": " + text);
        if (!question) {
            return MessageBoxAnswer::Ok;
        }
        return *seams.messageBoxAnswer == MessageBoxAnswer::Yes ? MessageBoxAnswer::Yes
                                                                : MessageBoxAnswer::No;
    }

    Uint32 flags = 0;
    if (icon == MessageBoxIcon::Error) {
        flags = SDL_MESSAGEBOX_ERROR;
    } else if (icon == MessageBoxIcon::Warning) {
        flags = SDL_MESSAGEBOX_WARNING;
    } else if (icon == MessageBoxIcon::Information) {
        flags = SDL_MESSAGEBOX_INFORMATION;
    }
    const SDL_MessageBoxButtonData okButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         static_cast<int>(MessageBoxAnswer::Ok), "OK"}};
    const SDL_MessageBoxButtonData questionButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, static_cast<int>(MessageBoxAnswer::Yes), "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, static_cast<int>(MessageBoxAnswer::No), "No"}};
    SDL_MessageBoxData box{};
    box.flags = flags;
    box.window = owner != nullptr ? owner->Native() : nullptr;
    box.title = caption.c_str();
    box.message = text.c_str();
    box.numbuttons = question ? 2 : 1;
    box.buttons = question ? questionButtons : okButtons;
    const MessageBoxAnswer unanswered = question ? MessageBoxAnswer::No : MessageBoxAnswer::Ok;
    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) == 0) {
        // A box closed without a button counts as its escape button.
        return chosen >= 0 ? static_cast<MessageBoxAnswer>(chosen) : unanswered;
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return unanswered;
}
