// Carrying out command lines: the 22 command words of a story's script.
#include "core/RunMain.h"
#include "data/ShiftJis.h"

namespace kelva {

namespace {

int ColourComponent(const std::string& token) { return TokenToInt(token) & 0xFF; }

}  // namespace

void TMainForm::SelectEffect(int first)
{
    // The effect arguments are the tokens from `first` on: name, parameter, time.
    const int given = m_tokens.count - first + 1;
    if (given <= 0) {
        m_transitions.SetDefaultEffect();
    } else if (given == 1) {
        m_transitions.SetEffect(m_tokens.Token(first));
    } else if (given == 2) {
        m_transitions.SetEffect(m_tokens.Token(first), m_tokens.Token(first + 1));
    } else if (given == 3) {
        m_transitions.SetEffect(m_tokens.Token(first), m_tokens.Token(first + 1), m_tokens.Token(first + 2));
    }
    // With more tokens than that the previous selection stays.
}

void TMainForm::CharacterFollowUp()
{
    const CNovelFileHeader& header = m_story.Header;
    m_stage.Rebuild();
    m_state.TextCursor = {kMessageArea.Left, kMessageArea.Top};
    m_transitions.SetEffect(header.CharEffect, std::to_string(header.CharEffectParam),
                            std::to_string(header.CharEffectTime));
    m_transitions.StartTransition();
    m_stage.CharSnapshot.Assign(m_stage.CharLayer);
}

void TMainForm::RunCounterCommand(CommandWord word)
{
    const std::string& name = m_tokens.Token(2);
    const int index = m_story.Counters.IndexOf(name);
    if (index < 0) {
        const CounterCommand command = word == CommandWord::CounterSet    ? CounterCommand::Set
                                       : word == CommandWord::CounterPlus ? CounterCommand::Plus
                                       : word == CommandWord::CounterRndSet ? CounterCommand::RndSet
                                                                            : CounterCommand::RndPlus;
        m_services.Messages.Show(CounterCommandCaption(command), MissingCounterMessage(name), MessageIcon::Error);
        return;
    }
    // The numbers are read only once the counter is known to exist.
    CNovelCounter& counter = m_story.Counters[index];
    switch (word) {
    case CommandWord::CounterSet: CounterSet(counter, TokenToInt(m_tokens.Token(3))); break;
    case CommandWord::CounterPlus: CounterAdd(counter, TokenToInt(m_tokens.Token(3))); break;
    case CommandWord::CounterRndSet:
        CounterRandomSet(counter, TokenToInt(m_tokens.Token(3)), TokenToInt(m_tokens.Token(4)), m_game.Random);
        break;
    default:
        CounterRandomAdd(counter, TokenToInt(m_tokens.Token(3)), TokenToInt(m_tokens.Token(4)), m_game.Random);
        break;
    }
    m_services.Log.Event("counter", counter.Name + " = " + std::to_string(counter.Value));
}

void TMainForm::ExecuteCommand()
{
    const CommandWord word = LookupCommandWord(m_tokens.Token(1));
    if (word == CommandWord::None) return;
    const bool enough = m_tokens.count >= MinimumTokenCount(word);
    if (!enough && word != CommandWord::CharDelete) return;
    const std::string& argument = m_tokens.Token(2);

    switch (word) {
    case CommandWord::None: break;
    case CommandWord::NextPage:
        Yield();
        BeginPage();
        Present();
        break;
    case CommandWord::Wait:
        m_state.WaitLength = TokenToInt(argument);
        m_state.WaitElapsed = 0;
        m_state.WaitActive = true;
        break;
    case CommandWord::GraphLoad:
        Yield();
        BeginPage();
        m_services.Log.Event("background", argument);
        m_stage.LoadBackground(argument);
        SelectEffect(3);
        m_transitions.StartTransition();
        break;
    case CommandWord::GraphFill: {
        if (m_tokens.count == 4) m_tokens.slots[4] = "100";
        const TColor colour = MakeColor(ColourComponent(m_tokens.Token(2)), ColourComponent(m_tokens.Token(3)),
                                        ColourComponent(m_tokens.Token(4)));
        const int strength = TokenToInt(m_tokens.Token(5));
        Yield();
        BeginPage();
        m_services.Log.Event("fill", m_tokens.Token(2) + " " + m_tokens.Token(3) + " " + m_tokens.Token(4));
        m_stage.FillBackground(colour, strength);
        SelectEffect(6);
        m_transitions.StartTransition();
        break;
    }
    case CommandWord::CharSet:
        Yield();
        BeginPage();
        Present();
        m_services.Log.Event("character", argument + " " + m_tokens.Token(3));
        m_stage.CharLayer.SetCharacter(argument, m_tokens.Token(3), m_tokens.Token(4), m_tokens.Token(5));
        CharacterFollowUp();
        break;
    case CommandWord::CharDelete:
        Yield();
        BeginPage();
        Present();
        if (!enough) break;  // the page is begun all the same
        m_stage.CharLayer.DeleteCharacter(argument);
        CharacterFollowUp();
        break;
    case CommandWord::CharClear:
        Yield();
        BeginPage();
        Present();
        m_stage.CharLayer.Clear();
        CharacterFollowUp();
        break;
    case CommandWord::MidiPlay:
        m_state.CurrentMusic = argument;
        m_services.Log.Event("music", argument);
        m_services.Sound.PlayMusic(argument, true);
        break;
    case CommandWord::MidiStop:
        m_state.CurrentMusic.clear();
        m_services.Log.Event("music-stop");
        m_services.Sound.StopMusic();
        break;
    case CommandWord::MidiFadeOut:
        m_state.CurrentMusic.clear();
        m_services.Log.Event("music-fadeout", argument);
        m_services.Sound.FadeOutMusic(TokenToInt(argument));
        break;
    case CommandWord::SoundPlay:
        m_state.CurrentSound = argument;
        m_services.Log.Event("sound", argument);
        m_services.Sound.PlaySoundFile(argument);
        break;
    case CommandWord::SoundStop:
        m_state.CurrentSound.clear();
        m_services.Log.Event("sound-stop");
        m_services.Sound.StopSoundFile();
        break;
    case CommandWord::CdPlay:
        m_state.CurrentCdTrack = TokenToInt(argument);
        m_services.Log.Event("cd", argument);
        m_services.Sound.PlayCdTrack(m_state.CurrentCdTrack);
        break;
    case CommandWord::CdStop:
        m_state.CurrentCdTrack = 0;
        m_services.Log.Event("cd-stop");
        m_services.Sound.StopCd();
        break;
    case CommandWord::CounterSet:
    case CommandWord::CounterPlus:
    case CommandWord::CounterRndSet:
    case CommandWord::CounterRndPlus: RunCounterCommand(word); break;
    case CommandWord::FontType: {
        const std::string face = UpperCaseAscii(argument);
        if (face == "GOTHIC") {
            m_textRenderer.Font.Face = kGothicFace;
            m_textRenderer.Font.Bold = false;
        } else if (face == "MINCHO") {
            m_textRenderer.Font.Face = kMinchoFace;
            m_textRenderer.Font.Bold = true;
        }
        break;
    }
    case CommandWord::FontSize: m_textRenderer.Font.Height = TokenToInt(argument); break;
    case CommandWord::FontColor:
        m_textRenderer.TextColor = MakeColor(ColourComponent(m_tokens.Token(2)), ColourComponent(m_tokens.Token(3)),
                                             ColourComponent(m_tokens.Token(4)));
        break;
    case CommandWord::FontDefault:
        m_textRenderer.Font = m_game.StoryFont;
        m_textRenderer.TextColor = m_story.Header.TextColor;
        break;
    }
}

}  // namespace kelva
