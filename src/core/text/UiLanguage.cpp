#include "core/text/UiLanguage.h"

#include "core/base/SettingsStore.h"

#include <cstdlib>
#include <filesystem>

UiLanguage::Choice UiLanguage::FromEnvironment()
{
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value[0] == 'z' && value[1] == 'h' ? Choice::Chinese : Choice::English;
    }
    return Choice::English;
}

std::optional<UiLanguage::Choice> UiLanguage::Stored(const SettingsStore& store)
{
    const std::string value = store.ReadString(kSection, kValue, "");
    if (value == "zh")
        return Choice::Chinese;
    if (value == "en")
        return Choice::English;
    return std::nullopt;
}

void UiLanguage::Store(SettingsStore& store, Choice choice)
{
    store.WriteString(kSection, kValue, choice == Choice::Chinese ? "zh" : "en");
}

UiLanguage::Choice UiLanguage::Decide(const SettingsStore& store)
{
    return Stored(store).value_or(FromEnvironment());
}

std::string UiLanguage::CatalogueFolder(const std::string& buildFolder)
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path installed =
            exe.parent_path().parent_path() / "share/vrl/translations";
        if (std::filesystem::exists(installed / "vrl_en.qm", error))
            return installed.string();
    }
    return buildFolder;
}
