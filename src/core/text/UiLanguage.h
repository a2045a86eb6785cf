#pragma once

#include <optional>
#include <string>

class SettingsStore;

// The language of the programs' texts: the Chinese texts are the source texts, English comes
// from the catalogue vrl_en.qm. The stored choice (工具 → 语言 / Language) beats the locale;
// without one, the first of LANGUAGE (its first entry), LC_ALL, LC_MESSAGES and LANG that is
// set decides: Chinese for zh*, English for anything else, C and POSIX included.
class UiLanguage
{
public:
    enum class Choice
    {
        Chinese,
        English
    };

    static constexpr const char* kSection = "Settings";
    static constexpr const char* kValue = "Language"; // "zh" or "en"; absent: the locale decides

    static Choice FromEnvironment();
    static std::optional<Choice> Stored(const SettingsStore& store);
    static void Store(SettingsStore& store, Choice choice);
    static Choice Decide(const SettingsStore& store);

    // The folder of vrl_en.qm: share/vrl/translations beside the installed program when it
    // is there, else buildFolder (the build tree's).
    static std::string CatalogueFolder(const std::string& buildFolder);
};
