#pragma once

#include <QString>

#include <optional>

class SettingsStore;

// The language of the program's texts: the Chinese texts are the source texts, English comes
// from the catalogue vrl_en.qm. The stored choice (工具 → 语言 / Language) beats the locale;
// without one, LANGUAGE, LC_ALL, LC_MESSAGES and LANG decide as usual: Chinese for zh*,
// English for anything else, C and POSIX included.
class CLanguage
{
public:
    enum class Choice { Chinese, English };

    static constexpr const char* kSection = "Settings";
    static constexpr const char* kValue = "Language"; // "zh" or "en"; absent: the locale decides

    static Choice FromEnvironment();
    static std::optional<Choice> Stored(const SettingsStore& store);
    static void Store(SettingsStore& store, Choice choice);
    static Choice Decide(const SettingsStore& store);

    // Puts choice in force for what is translated from now on: the program's catalogue for
    // the core's texts (usable before the application object exists, for --help) and, once
    // it exists, for tr(), with Qt's own texts (buttons, file and print dialogs). Call it
    // while no port's worker runs. False when the English catalogue cannot be found (the
    // texts then stay Chinese).
    static bool Apply(Choice choice);
    static Choice Current();

    // Where the catalogue is looked for: beside an installed program
    // (<prefix>/share/vrl/translations), then the build tree's.
    static QString CatalogueFolder();
};
