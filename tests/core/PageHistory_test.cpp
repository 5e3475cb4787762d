// The record of pages the backlog shows: lines as they stood, choices, the 100-page cap.
#include "core/PageHistory.h"

#include <gtest/gtest.h>

#include "core/Backlog.h"

namespace kelva {
namespace {

// One step of typing: 't' a character, 'b' a line break, 'e' the page's end, 'c' a choice.
struct Step {
    char op;
    std::string text;
};

PageHistory Play(const std::vector<Step>& steps)
{
    PageHistory history;
    for (const Step& step : steps) {
        if (step.op == 't') history.Type(step.text);
        if (step.op == 'b') history.BreakLine();
        if (step.op == 'e') history.EndPage();
        if (step.op == 'c') history.AddChoice(step.text);
    }
    return history;
}

// Pages as "line/line|", a choice as ">line", the current page after "#".
std::string Describe(const PageHistory& history)
{
    const auto page = [](const RecordedPage& lines) {
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i)
            text += (i ? "/" : "") + std::string(lines[i].Choice ? ">" : "") + lines[i].Text;
        return text;
    };
    std::string text;
    for (const RecordedPage& lines : history.Pages()) text += page(lines) + "|";
    return text + "#" + page(history.Current());
}

TEST(PageHistory, KeepsThePagesLinesAsTypedAndTheChoicesChosen)
{
    struct Case {
        const char* name;
        std::vector<Step> steps;
        const char* pages;
    } cases[] = {
        {"lines of a page",
         {{'t', "あ"}, {'t', "い"}, {'b', ""}, {'t', "う"}, {'e', ""}, {'t', "え"}},
         "あい/う|#え"},
        {"a page without text is dropped", {{'b', ""}, {'b', ""}, {'e', ""}, {'e', ""}}, "#"},
        {"blank lines inside a page stay, those at its end go",
         {{'t', "あ"}, {'b', ""}, {'b', ""}, {'t', "い"}, {'b', ""}, {'b', ""}, {'e', ""}},
         "あ//い|#"},
        {"a wrapped line and a line end are one break",
         {{'t', "あ"}, {'b', ""}, {'t', "い"}, {'b', ""}},
         "#あ/い"},
        {"a choice joins the page that asked",
         {{'t', "あ"}, {'e', ""}, {'c', "1. 右へ"}, {'e', ""}, {'t', "い"}},
         "あ/>1. 右へ|#い"},
        {"a choice with text on the current page goes there",
         {{'t', "あ"}, {'c', "2. 左へ"}, {'t', "い"}},
         "#あ/>2. 左へ/い"},
        {"a choice before any page starts one", {{'c', "1. 右へ"}}, "#>1. 右へ"},
    };
    for (const Case& c : cases) EXPECT_EQ(Describe(Play(c.steps)), c.pages) << c.name;
}

TEST(PageHistory, KeepsOnlyTheNewestHundredPages)
{
    PageHistory history;
    for (int page = 1; page <= 150; ++page) {
        history.Type(std::to_string(page));
        history.EndPage();
    }
    ASSERT_EQ(history.Pages().size(), PageHistory::kMaxPages);
    EXPECT_EQ(history.Pages().front()[0].Text, "51");
    EXPECT_EQ(history.Pages().back()[0].Text, "150");
}

TEST(PageHistory, TheBacklogShowsTheFinishedPagesThenTheCurrentOne)
{
    const PageHistory history =
        Play({{'t', "あ"}, {'b', ""}, {'t', "い"}, {'e', ""}, {'c', "1. 右へ"}, {'t', "う"}});
    const std::vector<BacklogLine> lines = BacklogLines(history);
    ASSERT_EQ(lines.size(), 4u);
    const char* texts[] = {"あ", "い", "1. 右へ", "う"};
    const bool starts[] = {true, false, false, true};
    const bool choices[] = {false, false, true, false};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].Text, texts[i]) << i;
        EXPECT_EQ(lines[i].PageStart, starts[i]) << i;
        EXPECT_EQ(lines[i].Choice, choices[i]) << i;
    }
}

}  // namespace
}  // namespace kelva
