// Modal message boxes. Texts and captions are CP932, as everywhere in the engine;
// backends convert them for display.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelva {

enum class MessageIcon { Error, Warning, Information, Question };

class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void Show(std::string_view caption, std::string_view text, MessageIcon icon) = 0;
    // A yes/no question; true for yes. A box that can't be answered counts as no.
    virtual bool AskYesNo(std::string_view caption, std::string_view text) = 0;
};

// One message as it was shown, for tests and transcripts.
struct ShownMessage {
    std::string caption;
    std::string text;
    MessageIcon icon;
};

}  // namespace kelva
