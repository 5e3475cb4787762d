// The novel file header's fields as the authoring tool presents them: the key in a story
// source, the field's own name and offset (for dumps), its type and its range. One table
// serves the source reader, the decompiler and the dump, so they can't drift apart.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/NovelData.h"

namespace kelva::knovel {

enum class HeaderFieldType { String, Int, Byte, Bool, Colour };

// Where a field appears in a story source: the header map itself, "magic" (written only
// when it differs from the default) or the "unused" map (fields the player ignores,
// written only when they differ from their defaults).
enum class HeaderFieldGroup { Main, Magic, Unused };

struct HeaderField {
    const char* Key = "";   // key in the story source
    const char* Name = "";  // the field's name in the novel file
    int Offset = 0;         // in a version 7 file
    HeaderFieldType Type = HeaderFieldType::Int;
    HeaderFieldGroup Group = HeaderFieldGroup::Main;
    int Capacity = 0;  // String: the string[k] field's k
    int64_t Min = 0;   // Int and Byte: the range a story source may give
    int64_t Max = 0;
    std::string CNovelFileHeader::*Text = nullptr;
    int32_t CNovelFileHeader::*Int = nullptr;
    uint8_t CNovelFileHeader::*Byte = nullptr;
    bool CNovelFileHeader::*Flag = nullptr;
    uint32_t CNovelFileHeader::*Colour = nullptr;
};

inline constexpr int kHeaderFieldCount = 40;

// In the order a story source lists them: the main fields, "magic", then the unused ones.
// The Version field is not among them: a built file is always version 7.
const std::array<HeaderField, kHeaderFieldCount>& HeaderFields();

// The field's value as it is written in a story source ("#RRGGBB" for colours, numbers
// and true/false), or, for strings, the CP932 text.
std::string HeaderFieldText(const HeaderField& field, const CNovelFileHeader& header);
bool HeaderFieldIsDefault(const HeaderField& field, const CNovelFileHeader& header);

// "#RRGGBB" for a stored 0x00BBGGRR colour; a value with a non-zero top byte (which no
// colour has) as "0x" and 8 hex digits, so it still comes back unchanged.
std::string ColourText(uint32_t colour);

}  // namespace kelva::knovel
