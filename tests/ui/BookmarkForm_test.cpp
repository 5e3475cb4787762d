#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/headless/ManualClock.h"
#include "support/StageHarness.h"
#include "ui/BookmarkForm.h"

namespace kelva {
namespace {

constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kPlainFace = MakeColor(232, 232, 255);
constexpr TColor kHighlightedFace = MakeColor(200, 200, 255);

// The book over a shelf of `count` bookmarks that writes down what it is asked. Its modal
// loops run the test's steps: the book's runs `inBook`, the menu's answers from `menuAnswers`.
struct Book final : BookmarkShelf, ModalLoop {
    test::BlockRasteriser fonts;
    ManualClock clock;
    WindowLayer layer{[] {}};
    TBookmarkMenuForm menu{fonts};
    TBookmarkForm book{fonts, clock, layer, menu, *this};
    int count = 0;
    std::vector<std::string> calls;
    std::deque<int> menuAnswers;
    bool answerYes = true;
    std::function<void()> inBook;

    explicit Book(int bookmarks, bool recording) : count(bookmarks)
    {
        layer.SetModalLoop(*this);
        recording ? book.PrepareRecording() : book.PrepareOpening();
    }
    bool RunUntil(const std::function<bool()>&) override
    {
        if (menu.Visible()) {
            menu.ModalResult = menuAnswers.empty() ? 0 : menuAnswers.front();
            if (!menuAnswers.empty()) menuAnswers.pop_front();
        } else if (inBook) {
            inBook();
        }
        return true;
    }
    int Count() const override { return count; }
    std::string Label(int index) const override { return "L" + std::to_string(index); }
    std::string DateText(int index) const override { return "D" + std::to_string(index); }
    bool Record(int index) override { return Note("record " + std::to_string(index)); }
    void Open(int index) override { Note("open " + std::to_string(index)); }
    void Remove(int index) override { Note("remove " + std::to_string(index)); }
    void ReadFromBeginning() override { Note("beginning"); }
    void CloseStage() override { Note("close"); }
    bool Confirm(std::string_view caption, std::string_view question) override
    {
        Note(std::string(caption) + ": " + std::string(question) + " width " + std::to_string(book.Width));
        return answerYes;
    }
    bool Note(const std::string& call)
    {
        calls.push_back(call);
        return true;
    }

    void Mouse(InputEvent::Type type, TPoint client)
    {
        InputEvent event;
        event.type = type;
        event.x = book.Position.X + client.X;
        event.y = book.Position.Y + client.Y;
        layer.HandleInput(event);
    }
    void Click(TPoint client)
    {
        Mouse(InputEvent::Type::MouseDown, client);
        Mouse(InputEvent::Type::MouseUp, client);
    }
    // Client pixel of place p's ribbon, x pixels into it.
    static TPoint Place(int p, int x = 30, int y = 150)
    {
        return {TBookmarkForm::kPageArea.Left + TBookmarkForm::kPlaceWidth * p + x,
                TBookmarkForm::kPageArea.Top + y};
    }
    // Page pixel (x, y) as the book shows it.
    TColor PagePixel(int x, int y)
    {
        TNkDIB frame(640, 480, 24);
        layer.DrawOver(frame);
        return frame.Pixel(book.Position.X + TBookmarkForm::kPageArea.Left + x,
                           book.Position.Y + TBookmarkForm::kPageArea.Top + y);
    }
    void RunLeaf()
    {
        while (book.TimerRunning()) book.TimerTimer();
    }
};

const TPoint kLeftArrow{36, 170};
const TPoint kRightArrow{516, 170};

TEST(BookmarkForm, ChoosingARibbonAsksFirstAndActsOnlyOnYes)
{
    struct Case {
        bool recording;
        int count;
        int place;
        int menuAnswer;
        bool yes;
        std::vector<std::string> calls;
        bool closed;
    };
    const std::string insert1 = "しおりをはさむ: しおり1 をこのページにはさみます。 width 0";
    const std::string open2 = "しおりからひらく: しおり2 から開きます。 width 0";
    const std::string remove1 = "しおりをはずす: しおり1 をはずします。 width 0";
    const Case cases[] = {
        {true, 0, 0, TBookmarkMenuForm::kInsert, true, {insert1, "record 0"}, true},
        {true, 0, 1, TBookmarkMenuForm::kInsert, true, {}, false},  // beyond the new ribbon
        {false, 2, 1, TBookmarkMenuForm::kOpen, true, {open2, "open 1"}, true},
        {false, 2, 1, TBookmarkMenuForm::kOpen, false, {open2}, false},
        {false, 2, 0, TBookmarkMenuForm::kRemove, true, {remove1, "remove 0"}, false},
        {false, 2, 0, TBookmarkMenuForm::kRemove, false, {remove1}, false},
        {true, 2, 2, TBookmarkMenuForm::kRemove, true, {}, false},  // the new ribbon
        {false, 2, 2, TBookmarkMenuForm::kOpen, true, {}, false},
        {false, 2, 0, TBookmarkMenuForm::kCancel, true, {}, false},
        {false, 0, 0, TBookmarkMenuForm::kOpen, true, {}, false},  // "しおりがありません"
    };
    for (const Case& test : cases) {
        Book fixture(test.count, test.recording);
        fixture.menuAnswers = {test.menuAnswer};
        fixture.answerYes = test.yes;
        fixture.inBook = [&] { fixture.Click(Book::Place(test.place)); };
        fixture.book.ShowModal();
        const std::string name = (test.recording ? "recording " : "opening ") + std::to_string(test.count) +
                                 " place " + std::to_string(test.place);
        EXPECT_EQ(fixture.calls, test.calls) << name;
        EXPECT_EQ(fixture.book.ModalResult != 0, test.closed) << name;
        EXPECT_EQ(fixture.book.Width, TBookmarkForm::kWidth) << name;
    }
}

TEST(BookmarkForm, TheActionMenuOpensAtThePointerWithTheBookmarkNumber)
{
    Book fixture(5, false);
    fixture.menuAnswers = {TBookmarkMenuForm::kCancel};
    fixture.inBook = [&] { fixture.Click(Book::Place(2, 100, 250)); };
    fixture.book.ShowModal();
    EXPECT_EQ(fixture.menu.Position, (TPoint{46 + 60 + 380, 46 + 33 + 250}));
    EXPECT_TRUE(fixture.menu.OffersOpen());
}

TEST(BookmarkForm, ArrowsLeafOnlyWhileThereIsMoreToSee)
{
    struct Case {
        bool recording;
        int count;
        int firstIndex;  // leafed to first with the right arrow
        TPoint arrow;
        int expected;
    };
    const Case cases[] = {
        {false, 0, 0, kRightArrow, 0}, {false, 0, 0, kLeftArrow, 0}, {false, 3, 0, kRightArrow, 0},
        {true, 3, 0, kRightArrow, 1},  {true, 3, 1, kRightArrow, 1}, {false, 4, 0, kRightArrow, 1},
        {false, 4, 1, kRightArrow, 1}, {false, 4, 1, kLeftArrow, 0}, {true, 0, 0, kRightArrow, 0},
    };
    for (const Case& test : cases) {
        Book fixture(test.count, test.recording);
        fixture.layer.Show(fixture.book);
        for (int i = 0; i < test.firstIndex; ++i) {
            fixture.Click(kRightArrow);
            fixture.RunLeaf();
        }
        ASSERT_EQ(fixture.book.FirstIndex(), test.firstIndex);
        fixture.Click(test.arrow);
        fixture.RunLeaf();
        EXPECT_EQ(fixture.book.FirstIndex(), test.expected) << test.recording << " " << test.count << " from "
                                                            << test.firstIndex << " arrow " << test.arrow.X;
    }
}

TEST(BookmarkForm, ALeafShowsFourShiftedFramesAndIgnoresRibbonClicks)
{
    Book fixture(5, false);
    fixture.layer.Show(fixture.book);
    fixture.Click(kRightArrow);
    std::vector<int> steps{fixture.book.LeafStep()};
    fixture.Click(Book::Place(0));  // ignored while leafing: no menu, no question
    fixture.Mouse(InputEvent::Type::MouseMove, Book::Place(1));
    while (fixture.book.TimerRunning()) {
        fixture.clock.Advance(TBookmarkForm::kLeafIntervalMs);
        fixture.book.Idle();
        steps.push_back(fixture.book.LeafStep());
    }
    EXPECT_EQ(steps, (std::vector<int>{-1, -2, -3, -4, -5, 0}));
    EXPECT_EQ(fixture.book.FirstIndex(), 1);
    EXPECT_TRUE(fixture.calls.empty());
    EXPECT_EQ(fixture.book.HotPlace(), TBookmarkForm::kNoHotPlace);
}

TEST(BookmarkForm, PageShowsTheRibbonsInViewAndHighlightsTheOneUnderThePointer)
{
    // A point on each ribbon's face, clear of its seal and writing.
    const int faceX = 22;
    const int faceY = 30;
    Book recording(0, true);
    recording.layer.Show(recording.book);
    recording.Mouse(InputEvent::Type::MouseMove, Book::Place(0));
    EXPECT_EQ(recording.book.HotPlace(), 0);
    EXPECT_EQ(recording.PagePixel(faceX, faceY), kHighlightedFace);  // "新しいしおり", number 1
    EXPECT_EQ(recording.PagePixel(140 + faceX, faceY), kWhite);
    recording.Mouse(InputEvent::Type::MouseMove, {5, 5});  // onto the title bar
    EXPECT_EQ(recording.book.HotPlace(), TBookmarkForm::kNoHotPlace);
    EXPECT_EQ(recording.PagePixel(faceX, faceY), kPlainFace);

    Book empty(0, false);
    empty.layer.Show(empty.book);
    EXPECT_EQ(empty.PagePixel(faceX, faceY), kWhite);
    EXPECT_EQ(empty.PagePixel(433 / 2, 277 / 2), MakeColor(160, 160, 255));  // "しおりがありません"

    Book three(3, false);
    three.layer.Show(three.book);
    for (int place = 0; place < 3; ++place)
        EXPECT_EQ(three.PagePixel(140 * place + faceX, faceY), kPlainFace);
}

}  // namespace
}  // namespace kelva
