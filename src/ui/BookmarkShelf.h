// What the bookmark book works on: the bookmarks and the story behind them. The book only
// shows and asks; recording, opening, removing and the questions themselves are the
// shelf's.
#pragma once

#include <string>
#include <string_view>

namespace kelva {

class BookmarkShelf {
public:
    virtual ~BookmarkShelf() = default;
    virtual int Count() const = 0;
    // CP932 texts of bookmark `index` (< Count()).
    virtual std::string Label(int index) const = 0;
    virtual std::string DateText(int index) const = 0;
    // Records the current page into slot `index` (0 .. Count()); false when nothing was.
    virtual bool Record(int index) = 0;
    virtual void Open(int index) = 0;
    virtual void Remove(int index) = 0;
    // A new reading from the story's start, the counters reset.
    virtual void ReadFromBeginning() = 0;
    // Ends the program.
    virtual void CloseStage() = 0;
    // The yes/no question; true for yes.
    virtual bool Confirm(std::string_view caption, std::string_view question) = 0;
};

}  // namespace kelva
