// The reader's settings file: parsing any text, and the round trip of what is written
// after a setting changes (it must read back to the same text, with the value set).
#include "FuzzSupport.h"
#include "data/SettingsFile.h"

using namespace kelva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SettingsParseResult parsed = SettingsFile::Parse(fuzz::Text(data, size));
    if (!parsed.File) return 0;
    SettingsFile& file = *parsed.File;
    file.Set("volume", "70");
    const std::string text = file.Text();
    const SettingsParseResult again = SettingsFile::Parse(text);
    if (text.size() <= SettingsFile::kMaxBytes) {
        if (!again.File) fuzz::Broken("a written file does not read");
        if (again.File->Text() != text) fuzz::Broken("a written file reads back otherwise");
        const auto volume = again.File->Get("volume");
        if (!volume || volume->Value != "70") fuzz::Broken("the value set is not read back");
    }
    return 0;
}
