#include "data/Crypt.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

TEST(CryptStreamTest, EmptyInputGivesEmptyOutput)
{
    MemoryStream source;
    EXPECT_EQ(CryptStream(source)->Size(), 0);
}

TEST(CryptStreamTest, KeyRepeatsEverySixteenBytesFromTheReadingPosition)
{
    std::vector<uint8_t> plain(3 + 17 + 70000);  // spans several internal blocks
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 7);
    MemoryStream source(plain);
    source.Seek(3, SeekOrigin::Begin);

    auto scrambled = CryptStream(source);
    ASSERT_EQ(scrambled->Size(), static_cast<int64_t>(plain.size() - 3));
    EXPECT_EQ(scrambled->Position(), 0);
    const std::vector<uint8_t>& out = scrambled->Bytes();
    EXPECT_EQ(out[0], plain[3] ^ kCryptKey[0]);
    EXPECT_EQ(out[15], plain[18] ^ kCryptKey[15]);
    EXPECT_EQ(out[16], plain[19] ^ kCryptKey[0]);
    EXPECT_EQ(out[65536 + 5], plain[3 + 65536 + 5] ^ kCryptKey[5]);

    auto restored = CryptStream(*scrambled);
    EXPECT_EQ(restored->Bytes(), std::vector<uint8_t>(plain.begin() + 3, plain.end()));

    // In place, the same bytes come out.
    std::vector<uint8_t> inPlace(plain.begin() + 3, plain.end());
    CryptBytes(inPlace);
    EXPECT_EQ(inPlace, out);
}

}  // namespace
}  // namespace kelva
