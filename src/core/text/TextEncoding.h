#pragma once

#include "core/text/CodePage.h"
#include "core/text/UiLanguage.h"

#include <optional>
#include <string>

class SettingsStore;

// The text encoding of the line (工具 → 文本编码), kept for the window and vrl-capture alike.
// Without a stored choice the language decides: Chinese keeps GBK, as Chinese devices and
// the files of old installations expect; any other language gets UTF-8, what a device that
// prints text speaks outside China.
class TextEncoding
{
public:
    static constexpr const char* kSection = "Settings";
    static constexpr const char* kValue = "TextEncoding"; // 0 GBK, 1 UTF-8, 2 Latin-1

    static std::optional<CodePage::Choice> Stored(const SettingsStore& store);
    static void Store(SettingsStore& store, CodePage::Choice choice);
    static CodePage::Choice Decide(const SettingsStore& store, UiLanguage::Choice language);

    // "utf-8", "gbk", "latin1" (as --encoding takes them, in any case; "utf8" and
    // "latin-1" too), else nothing.
    static std::optional<CodePage::Choice> FromName(const std::string& name);
};
