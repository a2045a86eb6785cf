#include "RtfWriter.h"

#include "RichText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string WriteToString(const RichText& doc)
{
    std::ostringstream out;
    EXPECT_TRUE(RtfWriter::Write(doc, out));
    return out.str();
}

} // namespace

TEST(RtfWriter, HeaderTablesAndColouredLines)
{
    RichText doc;
    doc.Append("12:00:01 ", RichTextFormat{0x808080, 18, "宋体"});
    doc.Append("COM1", RichTextFormat{0xC80000, 18, "宋体"});
    doc.Append("EB 90\n", RichTextFormat{0x0000C8, 18, "宋体"});
    const std::string rtf = WriteToString(doc);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}", 0), 0u)
        << rtf;
    EXPECT_NE(rtf.find("{\\colortbl ;\\red128\\green128\\blue128;\\red200\\green0\\blue0;\\red0\\green0\\blue200;}"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\cf1 12:00:01 \\cf2 COM1\\cf3 EB 90\\par\r\n\\par\r\n}"), std::string::npos) << rtf;
}
