#include "core/send/LineColumn.h"

#include <gtest/gtest.h>

TEST(LineColumn, ChineseCharactersCountTwoBytes)
{
    const std::u16string line = u"EB中X 1";
    EXPECT_EQ(ByteColumn(line, 0), 0u);
    EXPECT_EQ(ByteColumn(line, 2), 2u);
    EXPECT_EQ(ByteColumn(line, 3), 4u); // after 中
    EXPECT_EQ(ByteColumn(line, 4), 5u);
    EXPECT_EQ(ByteColumn(line, 100), 7u); // past the end: the whole line
}

TEST(LineColumn, ByteColumnInsideACharacterGivesThePositionAfterIt)
{
    const std::u16string line = u"中X";
    EXPECT_EQ(UnitIndexOfByteColumn(line, 0), 0u);
    EXPECT_EQ(UnitIndexOfByteColumn(line, 1), 1u); // first byte of 中
    EXPECT_EQ(UnitIndexOfByteColumn(line, 2), 1u);
    EXPECT_EQ(UnitIndexOfByteColumn(line, 3), 2u);
    EXPECT_EQ(UnitIndexOfByteColumn(line, 9), 2u); // clamped to the line
}

TEST(LineColumn, CharacterOutsideTheBasicPlaneIsOneCharacter)
{
    // An emoji is two UTF-16 units; GBK lacks it and writes one '?'.
    const std::u16string line = u"A\U0001F600B";
    EXPECT_EQ(ByteColumn(line, 3), 2u);
    EXPECT_EQ(ByteColumn(line, 2), 2u); // a count that splits the pair counts the character
    EXPECT_EQ(UnitIndexOfByteColumn(line, 2), 3u);
}
