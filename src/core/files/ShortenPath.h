#pragma once

#include <string>

// A folder path shortened for a status line: the head ("/" of an absolute path, or a drive
// such as "C:\"), up to six dots and the last component. path is UTF-8; lengths count
// characters, not bytes. A path shorter than maxLength comes back unchanged. maxLength must
// be greater than 5.
std::string ShortenPath(const std::string& path, int maxLength);
