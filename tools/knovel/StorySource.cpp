#include "StorySource.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>
#include <optional>
#include <set>

#include "HeaderFields.h"
#include "data/BookmarkData.h"
#include "data/ShiftJis.h"
#include "data/TextLines.h"
#include "platform/TextCodec.h"

namespace kelva::knovel {

namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

using KeyList = std::vector<std::string_view>;

const KeyList kStoryKeys = {"header", "counters", "items"};
const KeyList kCounterKeys = {"name", "value", "min", "max", "persistent"};
const KeyList kItemKeys = {"name", "kind", "position", "text", "links"};
const KeyList kLinkKeys = {"enabled", "caption", "target", "counter", "threshold", "conditional"};

std::string Quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// Levenshtein distance, for "did you mean" hints on misspelt keys.
size_t EditDistance(std::string_view a, std::string_view b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

constexpr uint32_t kInvalidUtf8 = 0xFFFFFFFF;

// The code point that starts at `text[i]` and its length in bytes; a byte that starts no
// valid sequence is kInvalidUtf8, one byte long.
std::pair<uint32_t, size_t> DecodeUtf8(std::string_view text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return {lead, 1};
    const size_t length = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return {kInvalidUtf8, 1};
    uint32_t code = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return {kInvalidUtf8, 1};
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    return {code, length};
}

// One key and its value in a map of the source.
struct Entry {
    std::string Key;
    YAML::Node KeyNode;
    YAML::Node Value;
};

class SourceReader {
public:
    SourceReader(std::string_view source, const std::string& fileName, SourceMap* map)
        : m_source(source), m_fileName(fileName), m_map(map)
    {
    }

    NovelFile Read()
    {
        YAML::Node root;
        try {
            root = YAML::Load(std::string(m_source));
        } catch (const YAML::ParserException& e) {
            Fail(e.mark, e.msg);
        }
        NovelFile novel;
        if (root.IsNull()) return novel;  // an empty source: an empty story with default settings
        try {
            const auto story = Entries(root, kStoryKeys, "the story");
            for (const Entry& entry : story) {
                if (entry.Key == "header") {
                    if (m_map) m_map->Header = Place(entry.KeyNode.Mark());
                    ReadHeader(entry, novel.Header);
                }
                if (entry.Key == "counters") ReadCounters(entry, novel.Counters);
                if (entry.Key == "items") ReadItems(entry, novel.Items);
            }
        } catch (const YAML::Exception& e) {
            Fail(e.mark, e.msg);  // not expected from a checked document, but never let it escape
        }
        return novel;
    }

private:
    // ---- Messages ----

    [[noreturn]] void Fail(const YAML::Mark& mark, const std::string& message) const
    {
        if (mark.is_null()) throw StoryError(m_fileName + ": " + message);
        throw StoryError(m_fileName + ":" + std::to_string(mark.line + 1) + ":" +
                         std::to_string(mark.column + 1) + ": " + message);
    }
    [[noreturn]] void Fail(const YAML::Node& node, const std::string& message) const
    {
        Fail(node.Mark(), message);
    }
    // A value's own place, or its key's when the value is empty (an empty value's mark
    // points past the end of its line).
    static YAML::Mark MarkOf(const Entry& entry)
    {
        return entry.Value.IsNull() ? entry.KeyNode.Mark() : entry.Value.Mark();
    }
    [[noreturn]] void Fail(const Entry& entry, const std::string& message) const
    {
        Fail(MarkOf(entry), message);
    }

    // The place of byte `offset` of the source.
    YAML::Mark MarkAt(size_t offset) const
    {
        YAML::Mark mark;
        mark.pos = static_cast<int>(offset);
        mark.line = static_cast<int>(
            std::count(m_source.begin(), m_source.begin() + static_cast<ptrdiff_t>(offset), '\n'));
        const size_t newline = offset == 0 ? std::string_view::npos : m_source.rfind('\n', offset - 1);
        mark.column = static_cast<int>(newline == std::string_view::npos ? offset : offset - newline - 1);
        return mark;
    }

    // ---- Maps ----

    // The entries of a map whose keys must all be in `allowed`, each at most once.
    std::vector<Entry> Entries(const YAML::Node& map, const KeyList& allowed, const std::string& where) const
    {
        if (!map.IsMap()) Fail(map, where + " must be a map of keys and values");
        std::vector<Entry> entries;
        std::set<std::string> seen;
        for (auto it = map.begin(); it != map.end(); ++it) {
            if (!it->first.IsScalar()) Fail(it->first, "a key in " + where + " must be a plain name");
            const std::string key = it->first.Scalar();
            if (std::find(allowed.begin(), allowed.end(), key) == allowed.end()) {
                std::string message = "unknown key " + Quoted(key) + " in " + where;
                std::string_view closest;
                size_t best = 3;
                for (std::string_view known : allowed) {
                    const size_t distance = EditDistance(key, known);
                    if (distance < best) best = distance, closest = known;
                }
                if (!closest.empty()) message += " (did you mean " + Quoted(closest) + "?)";
                Fail(it->first, message);
            }
            if (!seen.insert(key).second)
                Fail(it->first, "key " + Quoted(key) + " appears twice in " + where);
            entries.push_back({key, it->first, it->second});
        }
        return entries;
    }

    static const Entry* Find(const std::vector<Entry>& entries, std::string_view key)
    {
        for (const Entry& entry : entries) {
            if (entry.Key == key) return &entry;
        }
        return nullptr;
    }

    const Entry& Require(const std::vector<Entry>& entries, std::string_view key, const YAML::Node& map,
                         const std::string& what) const
    {
        const Entry* entry = Find(entries, key);
        if (!entry) Fail(map, what + " needs the key " + Quoted(key));
        return *entry;
    }

    // ---- Values ----

    // A text value as written (UTF-8); an empty value is an empty text.
    std::string Utf8Text(const Entry& entry) const
    {
        if (entry.Value.IsNull()) return {};
        if (!entry.Value.IsScalar()) Fail(entry, Quoted(entry.Key) + " must be text");
        return entry.Value.Scalar();
    }

    // A text value in CP932; `capacity` limits its bytes for a string[k] field (-1: none).
    std::string Cp932Text(const Entry& entry, int capacity = -1) const
    {
        const std::string utf8 = Utf8Text(entry);
        std::optional<std::string> cp932 = Utf8ToCp932(utf8);
        if (!cp932) FailUnfitCharacter(entry, utf8);
        if (capacity >= 0 && cp932->size() > static_cast<size_t>(capacity)) {
            Fail(entry, Quoted(entry.Key) + " is " + std::to_string(cp932->size()) +
                            " bytes long in CP932; the field holds at most " + std::to_string(capacity));
        }
        return *std::move(cp932);
    }

    [[noreturn]] void FailUnfitCharacter(const Entry& entry, std::string_view utf8) const
    {
        for (size_t i = 0; i < utf8.size();) {
            const auto [code, length] = DecodeUtf8(utf8, i);
            const std::string_view character = utf8.substr(i, length);
            if (code == kInvalidUtf8) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(character[0]));
                Fail(MarkOf(entry), Quoted(entry.Key) + " is not valid UTF-8 (byte " + hex + ")");
            }
            if (!Utf8ToCp932(character)) {
                char hex[16];
                std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
                const std::string message = Quoted(entry.Key) +
                                            " holds a character that CP932 can't hold: " + hex +
                                            (length > 1 ? " " + std::string(character) : std::string());
                // Point at the character itself where the source spells it out; escaped
                // characters of a quoted string are only found at the value.
                YAML::Mark mark = MarkOf(entry);
                if (!mark.is_null() && length > 1) {
                    const size_t offset = m_source.find(character, static_cast<size_t>(mark.pos));
                    if (offset != std::string_view::npos) mark = MarkAt(offset);
                }
                Fail(mark, message);
            }
            i += length;
        }
        Fail(entry, Quoted(entry.Key) + " is not valid text");
    }

    static std::optional<int64_t> ParseInteger(std::string_view text, int base = 10)
    {
        const bool plus = !text.empty() && text[0] == '+';
        if (plus) text.remove_prefix(1);
        if (text.empty() || (plus && text[0] == '-')) return std::nullopt;
        int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
        if (error == std::errc::result_out_of_range && end == text.data() + text.size()) {
            return text[0] == '-' ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        }
        if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
        return value;
    }

    int64_t Integer(const YAML::Node& value, const YAML::Mark& mark, const std::string& what, int64_t min,
                    int64_t max) const
    {
        const std::string text = value.IsScalar() ? value.Scalar() : std::string();
        const std::optional<int64_t> number = ParseInteger(text);
        if (!number)
            Fail(mark, what + " must be a whole number" + (text.empty() ? "" : ", not " + Quoted(text)));
        if (*number < 0 && min == 0 && max == kInt32Max) Fail(mark, what + " can't be negative");
        // Past what 32 bits hold, the bound is all there is to say.
        if (*number > kInt32Max && max == kInt32Max) Fail(mark, what + " is too large (at most 2147483647)");
        if (*number < kInt32Min && min == kInt32Min)
            Fail(mark, what + " is too small (at least -2147483648)");
        if (*number < min || *number > max) {
            Fail(mark, what + " must be between " + std::to_string(min) + " and " + std::to_string(max));
        }
        return *number;
    }
    int64_t Integer(const Entry& entry, int64_t min = kInt32Min, int64_t max = kInt32Max) const
    {
        return Integer(entry.Value, MarkOf(entry), Quoted(entry.Key), min, max);
    }

    bool Flag(const Entry& entry) const
    {
        bool value = false;
        if (!entry.Value.IsScalar() || !YAML::convert<bool>::decode(entry.Value, value)) {
            Fail(entry, Quoted(entry.Key) + " must be true or false" +
                            (entry.Value.IsScalar() ? ", not " + Quoted(entry.Value.Scalar()) : ""));
        }
        return value;
    }

    // "#RRGGBB", or the stored value 0x00BBGGRR as a number (decimal or "0x" hex).
    uint32_t Colour(const Entry& entry) const
    {
        const std::string text = entry.Value.IsScalar() ? entry.Value.Scalar() : std::string();
        std::optional<int64_t> value;
        if (text.size() == 7 && text[0] == '#' && std::all_of(text.begin() + 1, text.end(), [](char c) {
                return std::isxdigit(static_cast<unsigned char>(c));
            })) {
            const int64_t rgb = *ParseInteger(std::string_view(text).substr(1), 16);
            const int64_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
            value = red | (green << 8) | (blue << 16);
        } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            value = ParseInteger(std::string_view(text).substr(2), 16);
        } else {
            value = ParseInteger(text);
        }
        if (!value || *value < 0 || *value > 0xFFFFFFFFll) {
            Fail(entry, Quoted(entry.Key) + " must be a colour \"#RRGGBB\" or a number from 0 to 0xFFFFFFFF" +
                            (text.empty() ? "" : ", not " + Quoted(text)));
        }
        return static_cast<uint32_t>(*value);
    }

    // A sequence, or nothing for an empty value.
    std::vector<YAML::Node> Sequence(const Entry& entry) const
    {
        if (entry.Value.IsNull()) return {};
        if (!entry.Value.IsSequence()) Fail(entry, Quoted(entry.Key) + " must be a list");
        return {entry.Value.begin(), entry.Value.end()};
    }

    // ---- Blocks ----

    void ReadHeaderField(const HeaderField& field, const Entry& entry, CNovelFileHeader& header) const
    {
        switch (field.Type) {
            case HeaderFieldType::String:
                header.*field.Text = Cp932Text(entry, field.Capacity);
                break;
            case HeaderFieldType::Int:
                header.*field.Int = static_cast<int32_t>(Integer(entry, field.Min, field.Max));
                break;
            case HeaderFieldType::Byte:
                header.*field.Byte = static_cast<uint8_t>(Integer(entry, field.Min, field.Max));
                break;
            case HeaderFieldType::Bool:
                header.*field.Flag = Flag(entry);
                break;
            case HeaderFieldType::Colour:
                header.*field.Colour = Colour(entry);
                break;
        }
    }

    void ReadHeader(const Entry& headerEntry, CNovelFileHeader& header) const
    {
        if (headerEntry.Value.IsNull()) return;
        KeyList mainKeys;
        KeyList unusedKeys;
        for (const HeaderField& field : HeaderFields()) {
            (field.Group == HeaderFieldGroup::Unused ? unusedKeys : mainKeys).push_back(field.Key);
        }
        mainKeys.push_back("unused");

        const auto entries = Entries(headerEntry.Value, mainKeys, "the header");
        for (const Entry& entry : entries) {
            if (entry.Key == "unused") {
                if (entry.Value.IsNull()) continue;
                for (const Entry& unused : Entries(entry.Value, unusedKeys, "the unused header fields")) {
                    ReadHeaderField(FieldFor(unused.Key), unused, header);
                }
            } else {
                ReadHeaderField(FieldFor(entry.Key), entry, header);
            }
        }
    }

    static const HeaderField& FieldFor(std::string_view key)
    {
        for (const HeaderField& field : HeaderFields()) {
            if (key == field.Key) return field;
        }
        throw std::logic_error("no header field for a checked key");
    }

    void ReadCounters(const Entry& countersEntry, CNovelCounters& counters) const
    {
        for (const YAML::Node& node : Sequence(countersEntry)) {
            if (counters.Count() == CNovelCounters::kMaxCounters) {
                Fail(node, "more than " + std::to_string(CNovelCounters::kMaxCounters) + " counters");
            }
            const auto entries = Entries(node, kCounterKeys, "a counter");
            if (m_map) m_map->Counters.push_back(Place(node.Mark()));
            CNovelCounter counter;
            counter.Name = Cp932Text(Require(entries, "name", node, "a counter"));
            counter.Min = static_cast<int32_t>(Integer(Require(entries, "min", node, "a counter")));
            counter.Max = static_cast<int32_t>(Integer(Require(entries, "max", node, "a counter")));
            if (const Entry* value = Find(entries, "value"))
                counter.Value = static_cast<int32_t>(Integer(*value));
            if (const Entry* persistent = Find(entries, "persistent")) counter.Persistent = Flag(*persistent);
            counters.Add(std::move(counter));
        }
    }

    void ReadItems(const Entry& itemsEntry, CNovelItems& items) const
    {
        for (const YAML::Node& node : Sequence(itemsEntry)) {
            CNovelItem* item = items.Add();
            if (!item) Fail(node, "more than " + std::to_string(CNovelItems::kMaxItems) + " items");
            const auto entries = Entries(node, kItemKeys, "an item");
            // A bookmark keeps the name of the item being read in 255 bytes.
            item->Name = Cp932Text(Require(entries, "name", node, "an item"), kBookmarkItemNameCapacity);
            SourceMap::ItemPlaces* places = nullptr;
            if (m_map) {
                places = &m_map->Items.emplace_back();
                places->Item = Place(node.Mark());
            }
            if (const Entry* kind = Find(entries, "kind")) item->Kind = Kind(*kind);
            if (const Entry* position = Find(entries, "position")) ReadPosition(*position, *item);
            if (const Entry* text = Find(entries, "text")) {
                const std::string cp932 = Cp932Text(*text);
                if (cp932.find('\0') != std::string::npos) Fail(*text, "'text' holds a NUL character");
                item->Lines = SplitLines(cp932);
                if (places) places->Lines = LinePlaces(*text, item->Lines.size());
            }
            // Slots the source doesn't list are written as empty, disabled links.
            item->Links = {};
            if (const Entry* links = Find(entries, "links")) {
                ReadLinks(*links, *item);
                if (places) {
                    for (const YAML::Node& link : Sequence(*links))
                        places->Links.push_back(Place(link.Mark()));
                }
            }
        }
    }

    uint8_t Kind(const Entry& entry) const
    {
        const std::string text =
            LowerCaseAscii(entry.Value.IsScalar() ? entry.Value.Scalar() : std::string());
        for (uint8_t kind : {kItemMenuLink, kItemAutoLink, kItemEnd}) {
            if (text == ItemKindName(kind)) return kind;
        }
        Fail(entry, "'kind' must be menu, auto or end" +
                        (entry.Value.IsScalar() ? ", not " + Quoted(entry.Value.Scalar()) : std::string()));
    }

    void ReadPosition(const Entry& entry, CNovelItem& item) const
    {
        if (!entry.Value.IsSequence() || entry.Value.size() != 2) Fail(entry, "'position' must be [x, y]");
        item.EditorX = static_cast<int32_t>(
            Integer(entry.Value[0], entry.Value[0].Mark(), "'position' x", kInt32Min, kInt32Max));
        item.EditorY = static_cast<int32_t>(
            Integer(entry.Value[1], entry.Value[1].Mark(), "'position' y", kInt32Min, kInt32Max));
    }

    void ReadLinks(const Entry& linksEntry, CNovelItem& item) const
    {
        size_t slot = 0;
        for (const YAML::Node& node : Sequence(linksEntry)) {
            if (slot == item.Links.size())
                Fail(node, "more than " + std::to_string(kLinksPerItem) + " links");
            const auto entries = Entries(node, kLinkKeys, "a link");
            CNovelLink& link = item.Links[slot++];
            link.Enabled = true;
            if (const Entry* enabled = Find(entries, "enabled")) link.Enabled = Flag(*enabled);
            if (const Entry* caption = Find(entries, "caption")) link.Caption = Cp932Text(*caption);
            if (const Entry* target = Find(entries, "target")) link.Target = Cp932Text(*target);
            const Entry* counter = Find(entries, "counter");
            if (counter) link.Counter = Cp932Text(*counter);
            // Naming a counter makes the link conditional; "conditional" is only needed for
            // a counter name kept on a link that doesn't depend on it.
            link.Conditional = counter != nullptr;
            if (const Entry* conditional = Find(entries, "conditional"))
                link.Conditional = Flag(*conditional);
            if (const Entry* threshold = Find(entries, "threshold"))
                link.Threshold = static_cast<int32_t>(Integer(*threshold));
        }
    }

    // ---- Places ----

    static SourcePlace Place(const YAML::Mark& mark)
    {
        if (mark.is_null()) return {};
        return {mark.line + 1, mark.column + 1};
    }

    // The places of the `count` lines of an item's text. In a literal block ("|") each
    // line of the text is a line of the source, starting on the line after the "|";
    // lines of any other kind of value are all placed at the value.
    std::vector<SourcePlace> LinePlaces(const Entry& text, size_t count) const
    {
        const YAML::Mark mark = MarkOf(text);
        std::vector<SourcePlace> places(count, Place(mark));
        if (mark.is_null() || static_cast<size_t>(mark.pos) >= m_source.size() || m_source[mark.pos] != '|') {
            return places;
        }
        size_t start = m_source.find('\n', static_cast<size_t>(mark.pos));
        int indent = -1;  // the block's indentation: that of its first line that isn't blank
        for (size_t i = 0; i < count && start != std::string_view::npos; ++i) {
            ++start;
            const size_t end = std::min(m_source.find('\n', start), m_source.size());
            const std::string_view line = m_source.substr(start, end - start);
            const size_t spaces = std::min(line.find_first_not_of(' '), line.size());
            if (indent < 0 && spaces < line.size()) indent = static_cast<int>(spaces);
            places[i] = {mark.line + 2 + static_cast<int>(i), std::max(indent, 0) + 1};
            start = end < m_source.size() ? end : std::string_view::npos;
        }
        return places;
    }

    std::string_view m_source;
    std::string m_fileName;
    SourceMap* m_map;
};

// ---- Writing a story source ----

// Whether `text` (UTF-8) holds a character that YAML prints only as an escape: a C0
// control other than those in `allowed`, DEL, or a C1 control (U+0080 to U+009F).
bool HoldsControl(std::string_view text, std::string_view allowed)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && allowed.find(static_cast<char>(c)) == std::string_view::npos) || c == 0x7F)
            return true;
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return true;
    }
    return false;
}

// Whether `text` (UTF-8, each line ended by a line feed) reads back unchanged from a plain
// literal block ("|"). Such a block can't keep an empty last line, can't start with a line
// indented by spaces (its indentation is taken from the first line that has characters)
// and mustn't hold control characters. Other texts are written double-quoted.
bool FitsLiteralBlock(std::string_view text)
{
    if (text.size() < 2 || text.back() != '\n' || text[text.size() - 2] == '\n') return false;
    const size_t first = text.find_first_not_of('\n');
    if (first != std::string_view::npos && text[first] == ' ') return false;
    return !HoldsControl(text, "\n\t");
}

// Whether a one-line value must be double-quoted to read back unchanged: a plain scalar
// drops spaces and tabs at either end and can't hold control characters or line breaks.
// (Texts YAML would take for something else, such as "null" or "- x", the emitter
// quotes by itself.)
bool NeedsQuotes(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return (!text.empty() && (blank(text.front()) || blank(text.back()))) || HoldsControl(text, "");
}

class SourceWriter {
public:
    explicit SourceWriter(std::vector<std::string>* notes) : m_notes(notes) {}

    std::string Write(const NovelFile& novel)
    {
        m_out.SetIndent(2);
        m_out << YAML::Comment("Story source for \"knovel build\" (UTF-8). See docs/story-format.md.");
        m_out << YAML::BeginMap;
        WriteHeader(novel.Header);
        WriteCounters(novel.Counters);
        WriteItems(novel.Items);
        m_out << YAML::EndMap;
        return std::string(m_out.c_str()) + "\n";
    }

private:
    // UTF-8 for the source. Bytes that aren't valid CP932 can't come back; say so.
    std::string Utf8(std::string_view cp932, const std::string& where)
    {
        std::string utf8 = Cp932ToUtf8(cp932);
        if (m_notes && Utf8ToCp932(utf8) != std::optional<std::string>(cp932)) {
            m_notes->push_back(where + ": bytes that are not valid CP932 text were replaced");
        }
        return utf8;
    }

    // A one-line text value, quoted when it would not read back as it is.
    void Text(std::string_view cp932, const std::string& where)
    {
        const std::string utf8 = Utf8(cp932, where);
        if (NeedsQuotes(utf8)) m_out << YAML::DoubleQuoted;
        m_out << utf8;
    }

    void WriteField(const HeaderField& field, const CNovelFileHeader& header)
    {
        m_out << YAML::Key << field.Key << YAML::Value;
        switch (field.Type) {
            case HeaderFieldType::String:
                Text(header.*field.Text, std::string("header ") + field.Key);
                break;
            case HeaderFieldType::Int:
                m_out << header.*field.Int;
                break;
            case HeaderFieldType::Byte:
                m_out << static_cast<int>(header.*field.Byte);
                break;
            case HeaderFieldType::Bool:
                m_out << header.*field.Flag;
                break;
            case HeaderFieldType::Colour:
                m_out << ColourText(header.*field.Colour);
                break;
        }
    }

    void WriteHeader(const CNovelFileHeader& header)
    {
        m_out << YAML::Key << "header" << YAML::Value << YAML::BeginMap;
        bool anyUnused = false;
        for (const HeaderField& field : HeaderFields()) {
            if (field.Group == HeaderFieldGroup::Main) WriteField(field, header);
            if (field.Group == HeaderFieldGroup::Magic && !HeaderFieldIsDefault(field, header))
                WriteField(field, header);
            if (field.Group == HeaderFieldGroup::Unused && !HeaderFieldIsDefault(field, header))
                anyUnused = true;
        }
        if (anyUnused) {
            m_out << YAML::Key << "unused" << YAML::Value << YAML::BeginMap;
            for (const HeaderField& field : HeaderFields()) {
                if (field.Group == HeaderFieldGroup::Unused && !HeaderFieldIsDefault(field, header))
                    WriteField(field, header);
            }
            m_out << YAML::EndMap;
        }
        m_out << YAML::EndMap;
    }

    void WriteCounters(const CNovelCounters& counters)
    {
        m_out << YAML::Key << "counters" << YAML::Value << YAML::BeginSeq;
        for (int i = 0; i < counters.Count(); ++i) {
            const CNovelCounter& counter = counters[i];
            m_out << YAML::Flow << YAML::BeginMap;
            m_out << YAML::Key << "name" << YAML::Value;
            Text(counter.Name, "counter " + std::to_string(i + 1) + " name");
            m_out << YAML::Key << "value" << YAML::Value << counter.Value;
            m_out << YAML::Key << "min" << YAML::Value << counter.Min;
            m_out << YAML::Key << "max" << YAML::Value << counter.Max;
            m_out << YAML::Key << "persistent" << YAML::Value << counter.Persistent;
            m_out << YAML::EndMap;
        }
        m_out << YAML::EndSeq;
    }

    void WriteItems(const CNovelItems& items)
    {
        m_out << YAML::Key << "items" << YAML::Value << YAML::BeginSeq;
        for (int i = 0; i < items.Count(); ++i) WriteItem(items[i], "item " + std::to_string(i + 1));
        m_out << YAML::EndSeq;
    }

    void WriteItem(const CNovelItem& item, const std::string& where)
    {
        m_out << YAML::BeginMap;
        m_out << YAML::Key << "name" << YAML::Value;
        Text(item.Name, where + " name");
        m_out << YAML::Key << "kind" << YAML::Value;
        if (const char* kind = ItemKindName(item.Kind)) {
            m_out << kind;
        } else {
            m_out << static_cast<int>(item.Kind);
            if (m_notes)
                m_notes->push_back(where + ": kind " + std::to_string(item.Kind) +
                                   " is none of menu, auto or end");
        }
        if (item.EditorX != 0 || item.EditorY != 0) {
            m_out << YAML::Key << "position" << YAML::Value << YAML::Flow << YAML::BeginSeq << item.EditorX
                  << item.EditorY << YAML::EndSeq;
        }
        if (!item.Lines.empty()) {
            const std::string text = Utf8(LinesToSourceText(item.Lines), where + " text");
            m_out << YAML::Key << "text" << YAML::Value;
            m_out << (FitsLiteralBlock(text) ? YAML::Literal : YAML::DoubleQuoted) << text;
        }
        // Slots after the last one that holds anything are left out: building writes them
        // as empty, disabled links again.
        static const CNovelLink kEmpty;
        size_t listed = item.Links.size();
        while (listed > 0 && !item.Links[listed - 1].Enabled && SameLink(item.Links[listed - 1], kEmpty))
            --listed;
        if (listed > 0) {
            m_out << YAML::Key << "links" << YAML::Value << YAML::BeginSeq;
            for (size_t slot = 0; slot < listed; ++slot) {
                WriteLink(item.Links[slot], where + " link " + std::to_string(slot + 1));
            }
            m_out << YAML::EndSeq;
        }
        m_out << YAML::EndMap;
    }

    static bool SameLink(const CNovelLink& a, const CNovelLink& b)
    {
        return a.Enabled == b.Enabled && a.Caption == b.Caption && a.Target == b.Target &&
               a.Conditional == b.Conditional && a.Counter == b.Counter && a.Threshold == b.Threshold;
    }

    void WriteLink(const CNovelLink& link, const std::string& where)
    {
        m_out << YAML::Flow << YAML::BeginMap;
        if (!link.Enabled) m_out << YAML::Key << "enabled" << YAML::Value << false;
        if (!link.Caption.empty()) {
            m_out << YAML::Key << "caption" << YAML::Value;
            Text(link.Caption, where + " caption");
        }
        if (link.Enabled || !link.Target.empty()) {
            m_out << YAML::Key << "target" << YAML::Value;
            Text(link.Target, where + " target");
        }
        if (link.Conditional || !link.Counter.empty()) {
            m_out << YAML::Key << "counter" << YAML::Value;
            Text(link.Counter, where + " counter");
        }
        if (!link.Conditional && !link.Counter.empty())
            m_out << YAML::Key << "conditional" << YAML::Value << false;
        if (link.Conditional || link.Threshold != 1)
            m_out << YAML::Key << "threshold" << YAML::Value << link.Threshold;
        m_out << YAML::EndMap;
    }

    YAML::Emitter m_out;
    std::vector<std::string>* m_notes;
};

}  // namespace

std::string LinesToSourceText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

NovelFile ParseStorySource(std::string_view source, const std::string& fileName, SourceMap* map)
{
    return SourceReader(source, fileName, map).Read();
}

std::string DecompileStory(const NovelFile& novel, std::vector<std::string>* notes)
{
    const std::string source = SourceWriter(notes).Write(novel);
    if (notes) {
        // Prove the promise: the source must build to the very bytes the novel saves as.
        try {
            if (SaveNovelFile(ParseStorySource(source, "decompiled source")) != SaveNovelFile(novel)) {
                notes->push_back("building the source gives a file that differs from this one");
            }
        } catch (const StoryError& e) {
            notes->push_back(std::string("the source does not build as it is: ") + e.what());
        }
    }
    return source;
}

}  // namespace kelva::knovel
