#include "data/ReadPagesFile.h"

#include <gtest/gtest.h>

#include <functional>

namespace kelva {
namespace {

TEST(ReadPagesFile, ReadsBackWhatItWroteBesideThePagesAlreadyKnown)
{
    const std::set<ReadPage> written = {
        {1, 0, 1}, {1, 0, 7}, {0xFFFFFFFF00000001ull, 12, 3}, {0x80000000FFFFFFFFull, INT32_MAX, INT32_MAX}};
    for (const std::set<ReadPage>& pages : {std::set<ReadPage>{}, written}) {
        std::set<ReadPage> read = {{9, 9, 9}};
        EXPECT_EQ(DecodeReadPages(EncodeReadPages(pages), read), "");
        std::set<ReadPage> expected = pages;
        expected.insert({9, 9, 9});
        EXPECT_EQ(read, expected);
    }
}

TEST(ReadPagesFile, RefusesADamagedFileWholeAndSaysWhy)
{
    const std::vector<uint8_t> good = EncodeReadPages({{1, 0, 1}, {2, 3, 4}});
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* problem;
    };
    auto changed = [&good](const std::function<void(std::vector<uint8_t>&)>& change) {
        std::vector<uint8_t> bytes = good;
        change(bytes);
        return bytes;
    };
    const Case cases[] = {
        {"empty", {}, "not a file of pages read"},
        {"another kind of file", changed([](auto& b) { b[0] = 'X'; }), "not a file of pages read"},
        {"a later version", changed([](auto& b) { b[4] = 2; }), "unknown version 2"},
        {"a count past the limit", changed([](auto& b) { b[10] = 0x40; }), "a count of"},
        {"a negative count", changed([](auto& b) { b[11] = 0x80; }), "a count of"},
        {"cut short", changed([](auto& b) { b.resize(b.size() - 3); }), "pages take"},
        {"a byte too many", changed([](auto& b) { b.push_back(0); }), "pages take"},
        {"a page changed", changed([](auto& b) { b[20] ^= 1; }), "check sum"},
        {"the check sum changed", changed([](auto& b) { b.back() ^= 0x80; }), "check sum"},
        {"a line before the first", EncodeReadPages({{1, -1, 1}}), "page 1 has no valid position"},
        {"character 0", EncodeReadPages({{1, 0, 1}, {1, 0, 0}}), "page 1 has no valid position"},
    };
    for (const Case& c : cases) {
        std::set<ReadPage> read = {{9, 9, 9}};
        EXPECT_NE(DecodeReadPages(c.bytes, read).find(c.problem), std::string::npos) << c.name;
        EXPECT_EQ(read, (std::set<ReadPage>{{9, 9, 9}})) << c.name;
    }
}

TEST(ReadPagesFile, AnItemsFingerprintChangesWithAnyChangeToItsNameOrScript)
{
    const std::vector<std::string> lines = {"一@", "二"};
    const uint64_t item = ItemFingerprint("a", lines);
    EXPECT_EQ(item, ItemFingerprint("a", {"一@", "二"}));
    struct Case {
        const char* name;
        std::string itemName;
        std::vector<std::string> lines;
    } cases[] = {
        {"renamed", "b", lines},
        {"a line edited", "a", {"一@", "二。"}},
        {"lines joined", "a", {"一@二"}},
        {"a line split elsewhere", "a", {"一", "@二"}},
        {"an empty line added", "a", {"一@", "二", ""}},
        {"the name running into the script", "a一@", {"二"}},
        {"no script", "a", {}},
    };
    for (const Case& c : cases) EXPECT_NE(ItemFingerprint(c.itemName, c.lines), item) << c.name;
}

}  // namespace
}  // namespace kelva
