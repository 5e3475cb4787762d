#include "StoryCheck.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <system_error>

#include "PackageFiles.h"
#include "Printable.h"
#include "data/CommandStrings.h"
#include "data/ShiftJis.h"
#include "platform/TextCodec.h"

namespace kelva::knovel {

namespace fs = std::filesystem;

// ---- Media lookups ----

namespace {

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace

bool DataFolderMedia::Exists(std::string_view name) const
{
    // UTF-8 has no byte that looks like "\" inside a character, so the separators can be
    // mapped after converting (in CP932 a trail byte may be 0x5C).
    std::string path = Cp932ToUtf8(name);
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    if (path.empty() || path[0] == '/') return false;

    fs::path current = m_root;
    std::error_code error;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            current /= component;
            continue;
        }
        if (fs::exists(current / component, error)) {
            current /= component;
            continue;
        }
        bool found = false;
        for (fs::directory_iterator it(current, error), last; !error && it != last; it.increment(error)) {
            const std::string entry = it->path().filename().string();
            if (SameIgnoringAsciiCase(entry, component)) {
                current /= entry;
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    return fs::is_regular_file(current, error);
}

PackageMedia::PackageMedia(std::unique_ptr<PackageSource> package) : m_package(std::move(package)) {}
PackageMedia::~PackageMedia() = default;

bool PackageMedia::Exists(std::string_view name) const
{
    return m_package->Reader().IndexOf(name) >= 0;
}

bool AnyMedia::Exists(std::string_view name) const
{
    for (const auto& lookup : m_lookups) {
        if (lookup->Exists(name)) return true;
    }
    return false;
}

std::string FormatFinding(const Finding& finding)
{
    return finding.Where + ":" + std::to_string(finding.Line) + ": " +
           (finding.Level == Severity::Error ? "error" : "warning") + ": " + finding.Message;
}

// ---- The checks ----

namespace {

// The English name of a Japanese fade-effect name, or empty: the player looks up only the
// English ones.
std::string EnglishEffectName(std::string_view name)
{
    for (int i = kFadeEffectCount; i < kFadeEffectNameCount; ++i) {
        if (name == kFadeEffectNames[static_cast<size_t>(i)])
            return kFadeEffectNames[static_cast<size_t>(i - kFadeEffectCount)];
    }
    return {};
}

// The extension of a file name from its last full stop, upper-cased; empty without one.
std::string UpperExtension(std::string_view name)
{
    const std::string changed = ChangeFileExtension(name, "");
    return UpperCaseAscii(name.substr(changed.size()));
}

class StoryChecker {
public:
    StoryChecker(const NovelFile& novel, const MediaLookup* media) : m_novel(novel), m_media(media) {}

    std::vector<Finding> Run()
    {
        m_where = "(header)";
        m_part = StoryPart::Header;
        CheckHeader();
        m_where = "(counters)";
        m_part = StoryPart::Counters;
        CheckCounters();
        m_part = StoryPart::Item;
        m_startMissing = m_novel.Items.IndexOf(m_novel.Header.StartItem) < 0;
        const std::vector<bool> linked = Reachable(false);
        const std::vector<bool> taken = Reachable(true);
        for (int i = 0; i < m_novel.Items.Count(); ++i) CheckItem(i, linked, taken);
        return std::move(m_findings);
    }

private:
    void Add(int line, Severity level, std::string message, int slot = -1)
    {
        m_findings.push_back({m_where, line, level, std::move(message), m_part, m_index, slot});
    }
    void Error(int line, std::string message) { Add(line, Severity::Error, std::move(message)); }
    void Warning(int line, std::string message) { Add(line, Severity::Warning, std::move(message)); }
    void LinkError(size_t slot, std::string message)
    {
        Add(0, Severity::Error, std::move(message), static_cast<int>(slot));
    }
    void LinkWarning(size_t slot, std::string message)
    {
        Add(0, Severity::Warning, std::move(message), static_cast<int>(slot));
    }

    static std::string Q(std::string_view cp932) { return "'" + Printable(cp932) + "'"; }

    // ---- Media ----

    void Picture(int line, std::string_view name, bool background)
    {
        const std::string extension = UpperExtension(name);
        if (background && extension != ".BMP" && extension != ".DIB" && extension != ".JPG") {
            Warning(line, "background picture " + Q(name) +
                              " is not loaded: only names ending in .BMP, .DIB or .JPG are");
        } else if (!background && (extension == ".JPG" || extension == ".JPEG")) {
            Warning(line,
                    "character picture " + Q(name) + " looks like a JPEG; character pictures must be BMP");
        }
        if (m_media && !m_media->Exists(name)) Error(line, "picture " + Q(name) + " not found");
    }

    void Music(int line, std::string_view name)
    {
        if (m_media && !m_media->Exists(name)) Error(line, "music " + Q(name) + " not found");
    }

    void Sound(int line, std::string_view name)
    {
        // The player tries the name as written, then with the extension .WAV, then .MP3.
        if (!m_media) return;
        const std::string wav = ChangeFileExtension(name, ".WAV");
        const std::string mp3 = ChangeFileExtension(name, ".MP3");
        if (m_media->Exists(name) || m_media->Exists(wav) || m_media->Exists(mp3)) return;
        Error(line, "sound " + Q(name) + " not found (nor " + Q(wav) + " nor " + Q(mp3) + ")");
    }

    // ---- Header and counters ----

    void CheckHeader()
    {
        const CNovelFileHeader& header = m_novel.Header;
        if (header.Version != kNovelFileVersion) {
            Error(0, "file version " + std::to_string(header.Version) + ": the player runs only version 7");
        }
        if (header.StartItem.empty()) {
            Error(0, "no start item is set");
        } else if (m_novel.Items.IndexOf(header.StartItem) < 0) {
            Error(0, "start item " + Q(header.StartItem) + " does not exist");
        }
        if (!header.LogoPicture.empty()) Picture(0, header.LogoPicture, true);
        if (!header.TitlePicture.empty()) Picture(0, header.TitlePicture, true);
        if (!header.TitleMusic.empty()) Music(0, header.TitleMusic);
        if (!header.LogoMusic.empty()) Music(0, header.LogoMusic);

        // The header's picture effect is looked up by name only; a name that selects no
        // effect leaves every default transition without one.
        if (FadeEffectNumber(header.BgEffect) == 0) {
            Warning(0, "picture effect " + Q(header.BgEffect) + " selects no effect");
        }
        // The character effect goes through the command's rules: a number or a name, and
        // anything else falls back to the picture effect.
        const std::string& charEffect = header.CharEffect;
        if (!charEffect.empty() && charEffect[0] >= '0' && charEffect[0] <= '9') {
            try {
                TokenToInt(charEffect);
            } catch (const NumberConversionError&) {
                Error(0, "character effect " + Q(charEffect) +
                             " is not a whole number: every character command fails");
            }
        } else if (!charEffect.empty() && FadeEffectNumber(charEffect) == 0 &&
                   UpperCaseAscii(charEffect) != "DEFAULT") {
            Warning(0, "character effect " + Q(charEffect) + " is unknown: the picture effect is used");
        }
    }

    void CheckCounters()
    {
        const CNovelCounters& counters = m_novel.Counters;
        for (int i = 0; i < counters.Count(); ++i) {
            const CNovelCounter& counter = counters[i];
            m_index = i;
            if (counters.IndexOf(counter.Name) != i) {
                Warning(0, "counter " + Q(counter.Name) +
                               " is defined more than once; commands and links use the last");
            }
            if (counter.Min > counter.Max) {
                Warning(0, "counter " + Q(counter.Name) +
                               " has min above max: every counter command leaves it at min");
            } else if (counter.Value < counter.Min || counter.Value > counter.Max) {
                Warning(0, "counter " + Q(counter.Name) + " starts at " + std::to_string(counter.Value) +
                               ", outside its range " + std::to_string(counter.Min) + " to " +
                               std::to_string(counter.Max) +
                               ": the first counter command moves it into the range");
            }
        }
    }

    // ---- What links can do ----

    // The lowest and highest values the counter a conditional link names can have: its
    // starting value, and whatever the counter commands leave (from min to max, or min
    // alone when min is above max). nullopt when no counter has that name.
    std::optional<std::pair<int32_t, int32_t>> CounterReach(const CNovelLink& link) const
    {
        const int index = m_novel.Counters.IndexOf(link.Counter);
        if (index < 0) return std::nullopt;
        const CNovelCounter& counter = m_novel.Counters[index];
        const int32_t top = counter.Min > counter.Max ? counter.Min : counter.Max;
        return std::pair{std::min(counter.Value, counter.Min), std::max(counter.Value, top)};
    }

    bool NeverHolds(const CNovelLink& link) const
    {
        if (!link.Enabled) return true;
        if (!link.Conditional) return false;
        const auto reach = CounterReach(link);
        return !reach || link.Threshold > reach->second;
    }

    bool AlwaysHolds(const CNovelLink& link) const
    {
        if (!link.Enabled) return false;
        if (!link.Conditional) return true;
        const auto reach = CounterReach(link);
        return reach && link.Threshold <= reach->first;
    }

    // The slot of the highest-numbered link that always holds, or -1. An automatic link
    // takes the highest-numbered link that holds, so no link below it is ever taken.
    int ShadowingSlot(const CNovelItem& item) const
    {
        if (item.Kind != kItemAutoLink) return -1;
        for (int slot = static_cast<int>(item.Links.size()) - 1; slot >= 0; --slot) {
            if (AlwaysHolds(item.Links[static_cast<size_t>(slot)])) return slot;
        }
        return -1;
    }

    // Whether some reading can take the link in `slot` of `item`.
    bool CanBeTaken(const CNovelItem& item, size_t slot) const
    {
        return !NeverHolds(item.Links[slot]) && static_cast<int>(slot) >= ShadowingSlot(item);
    }

    // ---- Items ----

    // Items that some reading can reach from the start item, following the enabled links
    // of menu and automatic items; `onlyTaken` follows only links some reading can take.
    std::vector<bool> Reachable(bool onlyTaken) const
    {
        const CNovelItems& items = m_novel.Items;
        std::vector<bool> reached(static_cast<size_t>(items.Count()), false);
        const int start = items.IndexOf(m_novel.Header.StartItem);
        if (start < 0) return reached;
        std::deque<int> pending{start};
        reached[static_cast<size_t>(start)] = true;
        while (!pending.empty()) {
            const CNovelItem& item = items[pending.front()];
            pending.pop_front();
            if (item.Kind != kItemMenuLink && item.Kind != kItemAutoLink) continue;
            for (size_t slot = 0; slot < item.Links.size(); ++slot) {
                const CNovelLink& link = item.Links[slot];
                if (!link.Enabled || (onlyTaken && !CanBeTaken(item, slot))) continue;
                const int target = items.IndexOf(link.Target);
                if (target >= 0 && !reached[static_cast<size_t>(target)]) {
                    reached[static_cast<size_t>(target)] = true;
                    pending.push_back(target);
                }
            }
        }
        return reached;
    }

    void CheckItem(int index, const std::vector<bool>& linked, const std::vector<bool>& taken)
    {
        const CNovelItem& item = m_novel.Items[index];
        m_where = Printable(item.Name);
        m_index = index;

        const int last = m_novel.Items.IndexOf(item.Name);
        if (last != index) {
            Warning(0, "another item with this name comes later (item " + std::to_string(last + 1) +
                           "); links lead there, so this one is never read");
        } else if (!m_startMissing && !linked[static_cast<size_t>(index)]) {
            Warning(0, "not reachable from the start item");
        } else if (!m_startMissing && !taken[static_cast<size_t>(index)]) {
            Warning(0, "not reachable from the start item: no link that leads here is ever taken");
        }

        if (item.Kind == kItemMenuLink || item.Kind == kItemAutoLink) {
            CheckLinks(item);
        } else if (item.Kind != kItemEnd) {
            Error(0,
                  "kind " + std::to_string(item.Kind) + " is none of menu, auto or end: reading stops here");
        }

        for (size_t line = 0; line < item.Lines.size(); ++line) {
            const std::string& text = item.Lines[line];
            if (!text.empty() && text[0] == '.') CheckCommand(static_cast<int>(line + 1), text);
        }
    }

    void CheckLinks(const CNovelItem& item)
    {
        int enabled = 0;
        const int shadowing = ShadowingSlot(item);
        for (size_t slot = 0; slot < item.Links.size(); ++slot) {
            const CNovelLink& link = item.Links[slot];
            if (!link.Enabled) continue;
            ++enabled;
            const std::string name = "link " + std::to_string(slot + 1);
            if (link.Target.empty()) {
                LinkError(slot, name + " has no target");
            } else if (m_novel.Items.IndexOf(link.Target) < 0) {
                LinkError(slot, name + " leads to " + Q(link.Target) + ", which is no item");
            }
            const auto reach = link.Conditional ? CounterReach(link) : std::nullopt;
            if (link.Conditional && !reach) {
                LinkError(slot, name + " depends on counter " + Q(link.Counter) +
                                    ", which does not exist: it never holds");
            } else if (reach && link.Threshold > reach->second) {
                LinkWarning(slot, name + " needs " + Q(link.Counter) + " >= " +
                                      std::to_string(link.Threshold) + ", but the counter never exceeds " +
                                      std::to_string(reach->second) + ": it never holds");
            } else if (static_cast<int>(slot) < shadowing) {
                LinkWarning(slot, name + " is never taken: link " + std::to_string(shadowing + 1) +
                                      " always holds and is tried first");
            }
        }
        if (enabled == 0) Error(0, "no enabled link: the player shows an error and returns to the title");
    }

    // ---- Command lines ----

    void CheckCommand(int line, const std::string& text)
    {
        CommandTokens tokens;
        ParseCommand(text, tokens);
        const std::string& word = tokens.Token(1);
        const CommandWord command = LookupCommandWord(word);
        if (command == CommandWord::None) {
            UnknownCommand(line, word);
            return;
        }
        const std::string shown(CommandWordText(command));
        const int minimum = MinimumTokenCount(command);
        if (tokens.count < minimum) {
            const int arguments = minimum - 1;
            Error(line, shown + " needs " + std::to_string(arguments) +
                            (arguments == 1 ? " argument" : " arguments") +
                            (command == CommandWord::CharDelete ? ": only the page is begun"
                                                                : ": the line does nothing"));
            return;
        }

        switch (command) {
            case CommandWord::Wait:
                Number(line, tokens, 2, "the time");
                break;
            case CommandWord::GraphLoad:
                if (Name(line, tokens, 2, "picture name")) Picture(line, tokens.Token(2), true);
                if (tokens.count > 5) {
                    Warning(line, shown +
                                      " with more than 4 arguments ignores its effect arguments and keeps "
                                      "the last effect");
                } else {
                    Effect(line, tokens, 3, tokens.count);
                }
                break;
            case CommandWord::GraphFill:
                Number(line, tokens, 2, "red");
                Number(line, tokens, 3, "green");
                Number(line, tokens, 4, "blue");
                if (tokens.count >= 5) Number(line, tokens, 5, "strength");
                Effect(line, tokens, 6, tokens.count);
                break;
            case CommandWord::CharSet:
                Name(line, tokens, 2, "character name");
                if (Name(line, tokens, 3, "picture name")) Picture(line, tokens.Token(3), false);
                Place(line, tokens.Token(4), {"TOP", "MIDDLE", "BOTTOM"}, "vertical");
                Place(line, tokens.Token(5), {"LEFT", "CENTER", "RIGHT"}, "horizontal");
                break;
            case CommandWord::CharDelete:
                Name(line, tokens, 2, "character name");
                break;
            case CommandWord::MidiPlay:
                if (Name(line, tokens, 2, "music name")) Music(line, tokens.Token(2));
                break;
            case CommandWord::MidiFadeOut:
                Number(line, tokens, 2, "the fade time");
                break;
            case CommandWord::SoundPlay:
                if (Name(line, tokens, 2, "sound name")) Sound(line, tokens.Token(2));
                break;
            case CommandWord::CdPlay:
                Number(line, tokens, 2, "the track number");
                break;
            case CommandWord::CounterSet:
            case CommandWord::CounterPlus:
                Counter(line, tokens.Token(2));
                Number(line, tokens, 3, "the value");
                break;
            case CommandWord::CounterRndSet:
            case CommandWord::CounterRndPlus:
                Counter(line, tokens.Token(2));
                Number(line, tokens, 3, "the first bound");
                Number(line, tokens, 4, "the second bound");
                break;
            case CommandWord::FontType:
                Place(line, tokens.Token(2), {"GOTHIC", "MINCHO"}, "font type");
                break;
            case CommandWord::FontSize:
                Number(line, tokens, 2, "the height");
                break;
            case CommandWord::FontColor:
                Number(line, tokens, 2, "red");
                Number(line, tokens, 3, "green");
                Number(line, tokens, 4, "blue");
                break;
            default:
                break;
        }
    }

    void UnknownCommand(int line, const std::string& word)
    {
        if (UpperCaseAscii(word) == ".FADEEFFECT") {
            Warning(line, ".FADEEFFECT does nothing in the player");
            return;
        }
        // The Japanese names complete the vocabulary, but the player carries out only the
        // English words.
        for (int i = kCommandNameCount / 2; i < kCommandNameCount; ++i) {
            if (word != kCommandNames[static_cast<size_t>(i)]) continue;
            const std::string english = kCommandNames[static_cast<size_t>(i - kCommandNameCount / 2)];
            if (english == ".FADEEFFECT") {
                Warning(line, Q(word) + " (.FADEEFFECT) does nothing in the player");
            } else {
                Error(line,
                      Q(word) +
                          " is not carried out: the player knows only the English command words; write " +
                          english);
            }
            return;
        }
        Error(line, "unknown command " + Q(word) +
                        ": the line does nothing (a line that begins with '.' is never shown as text)");
    }

    // A name argument; false, after an error, when it is empty.
    bool Name(int line, const CommandTokens& tokens, int n, const std::string& what)
    {
        if (!tokens.Token(n).empty()) return true;
        Error(line, "missing " + what);
        return false;
    }

    void Number(int line, const CommandTokens& tokens, int n, const std::string& what)
    {
        const std::string& token = tokens.Token(n);
        try {
            TokenToInt(token);
        } catch (const NumberConversionError&) {
            if (token.empty()) {
                Error(line, "missing " + what + " (a whole number): the command fails");
            } else if (IsDecimal(token)) {
                Error(line, Q(token) + " (" + what + ") is " +
                                (token[0] == '-' ? "too small (at least -2147483648)"
                                                 : "too large (at most 2147483647)") +
                                ": the command fails");
            } else {
                Error(line, Q(token) + " (" + what + ") is not a whole number: the command fails");
            }
        }
    }

    // The effect arguments from token `first` (effect, parameter, time) that a command with
    // `count` tokens passes on. An empty parameter or time counts as absent.
    void Effect(int line, const CommandTokens& tokens, int first, int count)
    {
        if (count < first) return;
        const std::string& effect = tokens.Token(first);
        if (!effect.empty() && effect[0] >= '0' && effect[0] <= '9') {
            try {
                const int number = EffectTokenNumber(effect);
                if (number >= kFadeEffectCount)
                    Warning(line, "effect number " + effect + " has no transition");
            } catch (const NumberConversionError&) {
                Error(line, "effect " + Q(effect) + " is not a whole number: the command fails");
            }
        } else if (!effect.empty() && FadeEffectNumber(effect) == 0 && UpperCaseAscii(effect) != "DEFAULT") {
            const std::string english = EnglishEffectName(effect);
            Warning(line, "unknown effect " + Q(effect) + ": the story's standard effect is used" +
                              (english.empty()
                                   ? ""
                                   : " (the player knows only the English names; write " + english + ")"));
        }
        const char* const names[] = {"the effect parameter", "the effect time"};
        for (int k = 1; k <= 2 && first + k <= count; ++k) {
            if (!tokens.Token(first + k).empty()) Number(line, tokens, first + k, names[k - 1]);
        }
    }

    void Place(int line, const std::string& token, std::initializer_list<std::string_view> words,
               const std::string& what)
    {
        const std::string upper = UpperCaseAscii(token);
        for (std::string_view word : words) {
            if (upper == word) return;
        }
        std::string list;
        for (std::string_view word : words) list += (list.empty() ? "" : ", ") + std::string(word);
        Warning(line, what + " " + Q(token) + " is none of " + list + ": it changes nothing");
    }

    void Counter(int line, const std::string& name)
    {
        if (name.empty()) {
            Error(line, "missing counter name");
        } else if (m_novel.Counters.IndexOf(name) < 0) {
            Error(line, "no counter named " + Q(name));
        }
    }

    // Digits with an optional sign: a whole number, whatever its size.
    static bool IsDecimal(std::string_view token)
    {
        if (!token.empty() && (token[0] == '+' || token[0] == '-')) token.remove_prefix(1);
        return !token.empty() &&
               std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
    }

    const NovelFile& m_novel;
    const MediaLookup* m_media;
    std::vector<Finding> m_findings;
    std::string m_where;
    StoryPart m_part = StoryPart::Header;
    int m_index = -1;
    bool m_startMissing = false;
};

}  // namespace

std::vector<Finding> CheckStory(const NovelFile& novel, const MediaLookup* media)
{
    return StoryChecker(novel, media).Run();
}

}  // namespace kelva::knovel
