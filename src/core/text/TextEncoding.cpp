#include "core/text/TextEncoding.h"

#include "core/base/SettingsStore.h"

#include <cctype>

std::optional<CodePage::Choice> TextEncoding::Stored(const SettingsStore& store)
{
    switch (store.ReadInt(kSection, kValue, -1)) {
    case 0: return CodePage::Choice::Gbk;
    case 1: return CodePage::Choice::Utf8;
    case 2: return CodePage::Choice::Latin1;
    default: return std::nullopt;
    }
}

void TextEncoding::Store(SettingsStore& store, CodePage::Choice choice)
{
    store.WriteInt(kSection, kValue,
                   choice == CodePage::Choice::Utf8     ? 1
                   : choice == CodePage::Choice::Latin1 ? 2
                                                        : 0);
}

CodePage::Choice TextEncoding::Decide(const SettingsStore& store, UiLanguage::Choice language)
{
    return Stored(store).value_or(language == UiLanguage::Choice::Chinese ? CodePage::Choice::Gbk
                                                                          : CodePage::Choice::Utf8);
}

std::optional<CodePage::Choice> TextEncoding::FromName(const std::string& name)
{
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "utf-8" || lower == "utf8")
        return CodePage::Choice::Utf8;
    if (lower == "gbk")
        return CodePage::Choice::Gbk;
    if (lower == "latin1" || lower == "latin-1")
        return CodePage::Choice::Latin1;
    return std::nullopt;
}
