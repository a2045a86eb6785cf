#include "core/files/RichText.h"

#include <gtest/gtest.h>

TEST(RichText, RunsMergeByFormatAndKeepTheirText)
{
    const RichTextFormat red{0xC80000, 18, "宋体"};
    const RichTextFormat blue{0x0000C8, 18, "宋体"};
    RichText doc;
    doc.Append("COM", red);
    doc.Append("1", red); // same format: one run
    doc.Append("", blue); // nothing to add
    doc.Append("↑EB\n", blue);
    doc.Append("x", doc.AddFormat(red));
    doc.Append("ignored", 99); // no such format
    EXPECT_EQ(doc.Text(), "COM1↑EB\nx");
    ASSERT_EQ(doc.RunCount(), 3u);
    EXPECT_EQ(doc.RunText(0), "COM1");
    EXPECT_EQ(doc.RunText(1), "↑EB\n");
    EXPECT_EQ(doc.RunFormat(1), blue);
    EXPECT_EQ(doc.RunFormatIndex(2), doc.RunFormatIndex(0));
    EXPECT_EQ(doc.Formats().size(), 2u);

    // Removing the last line end drops a run that held nothing else.
    RichText other;
    other.Append("COM1", red);
    other.Append("↑EB", blue);
    other.Append("\n", red);
    EXPECT_FALSE(other == doc);
    EXPECT_TRUE(other.RemoveTrailingNewline());
    EXPECT_FALSE(other.RemoveTrailingNewline());
    EXPECT_EQ(other.RunCount(), 2u);
    EXPECT_EQ(other.RunText(1), "↑EB");

    doc.Clear();
    EXPECT_TRUE(doc.IsEmpty());
    EXPECT_EQ(doc.RunCount(), 0u);
    EXPECT_TRUE(doc.Formats().empty());
}
