#pragma once

#include "platform/MessageBox.h"

namespace kelva {

// A real modal message box through SDL, over the stage window when there is one. Errors
// and warnings, and whatever could not be shown, are also written to stderr.
class SdlMessageBox final : public MessageBox {
public:
    void Show(std::string_view caption, std::string_view text, MessageIcon icon) override;
    bool AskYesNo(std::string_view caption, std::string_view text) override;
};

}  // namespace kelva
