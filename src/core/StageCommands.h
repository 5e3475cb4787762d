// The story's command lines (".GRAPHLOAD", ".MIDIPLAY", ".COUNTERSET" …): each carried
// out on the stage, its pictures, transitions, sound, counters and text style.
#pragma once

#include <string_view>

#include "core/KelvaNovelRun.h"
#include "core/PlayerState.h"
#include "core/Transcript.h"
#include "core/Transitions.h"
#include "data/CommandStrings.h"
#include "graphics/AntiAliasTextout.h"
#include "graphics/StageImages.h"
#include "platform/MessageBox.h"
#include "sound/StageSound.h"

namespace kelva {

// What a command asks of the stage window: a new page, and showing it.
class PageHost {
public:
    virtual ~PageHost() = default;
    // Takes the page-start record and clears the message area.
    virtual void BeginPage() = 0;
    // Marks the whole picture changed.
    virtual void Present() = 0;
};

// What commands work on; all borrowed.
struct CommandContext {
    LoadedGame& Game;
    StageImages& Stage;
    Transitions& Effects;
    PlayerState& State;
    TAntiAliasTextout& Text;
    StageSound& Sound;
    Transcript& Log;
    MessageBox& Messages;
};

class StageCommands {
public:
    StageCommands(CommandContext context, PageHost& pages) : m_context(context), m_pages(pages) {}

    // Carries out one command line. An unknown word, or too few arguments, does nothing.
    // Throws NumberConversionError for a number argument that isn't one.
    void Execute(std::string_view line);
    const CommandContext& Context() const { return m_context; }

private:
    // Lets other programs run while skip mode races through the story.
    void Yield();
    void RunPictureCommand(CommandWord word, bool enough);
    void RunMediaCommand(CommandWord word);
    void RunFontCommand(CommandWord word);
    void RunCounterCommand(CommandWord word);
    void CharacterFollowUp();
    void SelectEffect(int firstEffectToken);

    CommandContext m_context;
    PageHost& m_pages;
    CommandTokens m_tokens;
};

}  // namespace kelva
