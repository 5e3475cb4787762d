#include "core/StageCommands.h"

#include <thread>

#include "data/ShiftJis.h"

namespace kelva {

namespace {

int ColourComponent(const std::string& token)
{
    return TokenToInt(token) & 0xFF;
}

}  // namespace

void StageCommands::Yield()
{
    if (m_context.State.SkipMode) std::this_thread::yield();
}

void StageCommands::Execute(std::string_view line)
{
    ParseCommand(line, m_tokens);
    const CommandWord word = LookupCommandWord(m_tokens.Token(1));
    if (word == CommandWord::None) return;
    const bool enough = m_tokens.count >= MinimumTokenCount(word);
    if (!enough && word != CommandWord::CharDelete) return;

    switch (word) {
        case CommandWord::None:
            break;
        case CommandWord::Wait:
            m_context.State.WaitLength = TokenToInt(m_tokens.Token(2));
            m_context.State.WaitElapsed = 0;
            m_context.State.WaitActive = true;
            break;
        case CommandWord::NextPage:
        case CommandWord::GraphLoad:
        case CommandWord::GraphFill:
        case CommandWord::CharSet:
        case CommandWord::CharDelete:
        case CommandWord::CharClear:
            RunPictureCommand(word, enough);
            break;
        case CommandWord::MidiPlay:
        case CommandWord::MidiStop:
        case CommandWord::MidiFadeOut:
        case CommandWord::SoundPlay:
        case CommandWord::SoundStop:
        case CommandWord::CdPlay:
        case CommandWord::CdStop:
            RunMediaCommand(word);
            break;
        case CommandWord::CounterSet:
        case CommandWord::CounterPlus:
        case CommandWord::CounterRndSet:
        case CommandWord::CounterRndPlus:
            RunCounterCommand(word);
            break;
        case CommandWord::FontType:
        case CommandWord::FontSize:
        case CommandWord::FontColor:
        case CommandWord::FontDefault:
            RunFontCommand(word);
            break;
    }
}

void StageCommands::SelectEffect(int first)
{
    // The effect arguments are the tokens from `first` on: name, parameter, time.
    const int given = m_tokens.count - first + 1;
    if (given <= 0) {
        m_context.Effects.SetDefaultEffect();
    } else if (given == 1) {
        m_context.Effects.SetEffect(m_tokens.Token(first));
    } else if (given == 2) {
        m_context.Effects.SetEffect(m_tokens.Token(first), m_tokens.Token(first + 1));
    } else if (given == 3) {
        m_context.Effects.SetEffect(m_tokens.Token(first), m_tokens.Token(first + 1),
                                    m_tokens.Token(first + 2));
    }
    // With more tokens than that the previous selection stays.
}

void StageCommands::CharacterFollowUp()
{
    const CNovelFileHeader& header = m_context.Game.Story->Header;
    m_context.Stage.Rebuild();
    m_context.State.TextCursor = {kMessageArea.Left, kMessageArea.Top};
    m_context.Effects.SetEffect(header.CharEffect, std::to_string(header.CharEffectParam),
                                std::to_string(header.CharEffectTime));
    m_context.Effects.StartTransition();
    m_context.Stage.CharSnapshot.Assign(m_context.Stage.CharLayer);
}

void StageCommands::RunPictureCommand(CommandWord word, bool enough)
{
    const std::string& argument = m_tokens.Token(2);
    switch (word) {
        case CommandWord::GraphLoad:
            Yield();
            m_pages.BeginPage();
            m_context.Log.Event("background", argument);
            m_context.Stage.LoadBackground(argument);
            SelectEffect(3);
            m_context.Effects.StartTransition();
            return;
        case CommandWord::GraphFill: {
            if (m_tokens.count == 4) m_tokens.slots[4] = "100";
            // The page is begun before the numbers are read: a bad number still wipes the text.
            Yield();
            m_pages.BeginPage();
            const TColor colour =
                MakeColor(ColourComponent(m_tokens.Token(2)), ColourComponent(m_tokens.Token(3)),
                          ColourComponent(m_tokens.Token(4)));
            const int strength = TokenToInt(m_tokens.Token(5));
            m_context.Log.Event("fill",
                                m_tokens.Token(2) + " " + m_tokens.Token(3) + " " + m_tokens.Token(4));
            m_context.Stage.FillBackground(colour, strength);
            SelectEffect(6);
            m_context.Effects.StartTransition();
            return;
        }
        default:
            break;
    }
    // A new page, and for the character commands the change and its effect.
    Yield();
    m_pages.BeginPage();
    m_pages.Present();
    switch (word) {
        case CommandWord::CharSet:
            m_context.Log.Event("character", argument + " " + m_tokens.Token(3));
            m_context.Stage.CharLayer.SetCharacter(argument, m_tokens.Token(3), m_tokens.Token(4),
                                                   m_tokens.Token(5));
            CharacterFollowUp();
            break;
        case CommandWord::CharDelete:
            if (!enough) break;  // the page is begun all the same
            m_context.Stage.CharLayer.DeleteCharacter(argument);
            CharacterFollowUp();
            break;
        case CommandWord::CharClear:
            m_context.Stage.CharLayer.Clear();
            CharacterFollowUp();
            break;
        default:
            break;  // .NEXTPAGE: only the page
    }
}

void StageCommands::RunMediaCommand(CommandWord word)
{
    const std::string& argument = m_tokens.Token(2);
    StageSound& sound = m_context.Sound;
    Transcript& log = m_context.Log;
    switch (word) {
        case CommandWord::MidiPlay:
            m_context.State.CurrentMusic = argument;
            log.Event("music", argument);
            sound.PlayMusic(argument, true);
            break;
        case CommandWord::MidiStop:
            m_context.State.CurrentMusic.clear();
            log.Event("music-stop");
            sound.StopMusic();
            break;
        case CommandWord::MidiFadeOut:
            m_context.State.CurrentMusic.clear();
            log.Event("music-fadeout", argument);
            sound.FadeOutMusic(TokenToInt(argument));
            break;
        case CommandWord::SoundPlay:
            m_context.State.CurrentSound = argument;
            log.Event("sound", argument);
            sound.PlaySoundFile(argument);
            break;
        case CommandWord::SoundStop:
            m_context.State.CurrentSound.clear();
            log.Event("sound-stop");
            sound.StopSoundFile();
            break;
        case CommandWord::CdPlay:
            m_context.State.CurrentCdTrack = TokenToInt(argument);
            log.Event("cd", argument);
            sound.PlayCdTrack(m_context.State.CurrentCdTrack);
            break;
        case CommandWord::CdStop:
            m_context.State.CurrentCdTrack = 0;
            log.Event("cd-stop");
            sound.StopCd();
            break;
        default:
            break;
    }
}

void StageCommands::RunFontCommand(CommandWord word)
{
    const std::string& argument = m_tokens.Token(2);
    switch (word) {
        case CommandWord::FontType: {
            const std::string face = UpperCaseAscii(argument);
            if (face == "GOTHIC") {
                m_context.Text.Font.Face = kGothicFace;
                m_context.Text.Font.Bold = false;
            } else if (face == "MINCHO") {
                m_context.Text.Font.Face = kMinchoFace;
                m_context.Text.Font.Bold = true;
            }
            break;
        }
        case CommandWord::FontSize:
            m_context.Text.Font.Height = TokenToInt(argument);
            break;
        case CommandWord::FontColor:
            m_context.Text.TextColor =
                MakeColor(ColourComponent(m_tokens.Token(2)), ColourComponent(m_tokens.Token(3)),
                          ColourComponent(m_tokens.Token(4)));
            break;
        case CommandWord::FontDefault:
            m_context.Text.Font = m_context.Game.StoryFont;
            m_context.Text.TextColor = m_context.Game.Story->Header.TextColor;
            break;
        default:
            break;
    }
}

void StageCommands::RunCounterCommand(CommandWord word)
{
    const std::string& name = m_tokens.Token(2);
    const int index = m_context.Game.Story->Counters.IndexOf(name);
    if (index < 0) {
        const CounterCommand command = word == CommandWord::CounterSet      ? CounterCommand::Set
                                       : word == CommandWord::CounterPlus   ? CounterCommand::Plus
                                       : word == CommandWord::CounterRndSet ? CounterCommand::RndSet
                                                                            : CounterCommand::RndPlus;
        m_context.Messages.Show(CounterCommandCaption(command), MissingCounterMessage(name),
                                MessageIcon::Error);
        return;
    }
    // The numbers are read only once the counter is known to exist.
    CNovelCounter& counter = m_context.Game.Story->Counters[index];
    switch (word) {
        case CommandWord::CounterSet:
            CounterSet(counter, TokenToInt(m_tokens.Token(3)));
            break;
        case CommandWord::CounterPlus:
            CounterAdd(counter, TokenToInt(m_tokens.Token(3)));
            break;
        case CommandWord::CounterRndSet:
            CounterRandomSet(counter, TokenToInt(m_tokens.Token(3)), TokenToInt(m_tokens.Token(4)),
                             m_context.Game.Random);
            break;
        default:
            CounterRandomAdd(counter, TokenToInt(m_tokens.Token(3)), TokenToInt(m_tokens.Token(4)),
                             m_context.Game.Random);
            break;
    }
    m_context.Log.Event("counter", counter.Name + " = " + std::to_string(counter.Value));
}

}  // namespace kelva
