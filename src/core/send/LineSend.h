#pragma once

#include <string>
#include <string_view>
#include <vector>

// The send options that frame an ASC line: STX in front, then ETX, CR and LF at the end.
struct AscFraming
{
    bool addSTX = false;
    bool addETX = false;
    bool addCR = false;
    bool addLF = false;
};

// Adds the framing characters in place: STX (0x02) in front if asked, then ETX (0x03),
// CR (0x0D) and LF (0x0A) appended in this order.
void ApplyAscFraming(std::string& text, const AscFraming& framing);

// What sending one editor line amounts to, worked out before anything is shown or written.
struct LineSendPlan
{
    bool ok = false;                  // false: the line is empty or (hex mode) not hex text
    std::string monitorText;          // UTF-8, the sent line as the monitor shows it
    std::vector<unsigned char> bytes; // what goes to the port
};

// lineUtf8: the line as the editor holds it, without its line break. In ASC mode the
// framed text is sent as bytes of the system code page (a Chinese character is two);
// otherwise the line must be hexadecimal message text and the monitor shows it as typed.
LineSendPlan PlanLineSend(std::string_view lineUtf8, bool ascSend, const AscFraming& framing);
