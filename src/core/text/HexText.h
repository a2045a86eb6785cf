#pragma once

#include <string>
#include <string_view>
#include <vector>

// Hexadecimal message text: two hexadecimal digits per byte, exactly one blank between
// bytes, nothing before the first byte or after the last ("EB 90 02"). Produced text is
// upper case; checked text may use either case.
//
// Texts given to these functions are bytes of the system code page (GBK): positions count
// bytes, and a byte of 0x80 or above (every byte of a Chinese character) is "non-ASCII".
// Messages returned for the user are UTF-8.
//
// Length: a message read from a port has at most 4096 bytes, but typed lines may be longer.
// These functions have no limit: buffers grow with the text, so a longer line is checked,
// decoded and converted whole instead of being cut or overrunning a fixed buffer.

// Value of one hexadecimal digit of either case, -1 for any other character.
int HexDigitValue(unsigned char c);

std::string BytesToHexText(const unsigned char* bytes, int length);
std::string BytesToHexText(std::string_view bytes);

// True exactly when CheckHexText would accept the text; builds no message.
bool IsHexText(std::string_view text);

// On false, message (UTF-8) names the first fault and position is the 1-based byte
// position of the character it was found at (0 when the text is too short); the send editor
// puts the caret after that character. On true both are left as they were.
bool CheckHexText(std::string_view text, std::string& message, int& position);

// Decodes checked text into bytes (replacing their content) and returns the count. For
// text that was not checked the result is some bytes, never a read out of bounds.
int HexTextToBytes(std::string_view text, std::vector<unsigned char>& bytes);

// The faulty-line message (UTF-8) for the 0-based line number and a CheckHexText message.
std::string HexLineErrorText(int line, std::string_view message);

// bToChars: hexadecimal text to characters, up to (not including) the first 0 byte; false
// and result unchanged when the text is not hexadecimal message text. Otherwise characters
// to hexadecimal text. Both directions replace result; empty text gives false.
bool ConvertLineText(std::string_view text, std::string& result, bool bToChars);
