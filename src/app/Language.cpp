#include "Language.h"

#include "CoreText.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <atomic>
#include <cstdlib>
#include <filesystem>

namespace {

// Both catalogues live as long as the program: the core's hook may be called from a port's
// worker at any time, so a catalogue is never deleted, only swapped.
QTranslator* g_program = nullptr;
QTranslator* g_qt = nullptr;
std::atomic<QTranslator*> g_active{nullptr};
CLanguage::Choice g_current = CLanguage::Choice::Chinese;

std::string TranslateCore(const char* context, const char* source)
{
    if (const QTranslator* translator = g_active.load(std::memory_order_acquire)) {
        const QString text = translator->translate(context, source);
        if (!text.isEmpty())
            return text.toStdString();
    }
    return source;
}

// The first of LANGUAGE (a list: its first entry), LC_ALL, LC_MESSAGES and LANG that is set.
QString LocaleName()
{
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return QString::fromLocal8Bit(value).section(QLatin1Char(':'), 0, 0);
    }
    return QString();
}

} // namespace

CLanguage::Choice CLanguage::FromEnvironment()
{
    return LocaleName().startsWith(QLatin1String("zh")) ? Choice::Chinese : Choice::English;
}

std::optional<CLanguage::Choice> CLanguage::Stored(const SettingsStore& store)
{
    const std::string value = store.ReadString(kSection, kValue, "");
    if (value == "zh")
        return Choice::Chinese;
    if (value == "en")
        return Choice::English;
    return std::nullopt;
}

void CLanguage::Store(SettingsStore& store, Choice choice)
{
    store.WriteString(kSection, kValue, choice == Choice::Chinese ? "zh" : "en");
}

CLanguage::Choice CLanguage::Decide(const SettingsStore& store)
{
    return Stored(store).value_or(FromEnvironment());
}

QString CLanguage::CatalogueFolder()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const QString installed = QFileInfo(QString::fromStdString(exe.parent_path().string())
                                            + QStringLiteral("/../share/vrl/translations")).absoluteFilePath();
        if (QFileInfo::exists(installed + QStringLiteral("/vrl_en.qm")))
            return installed;
    }
    return QStringLiteral(VRL_BUILD_TRANSLATIONS);
}

bool CLanguage::Apply(Choice choice)
{
    if (!g_program) {
        g_program = new QTranslator;
        g_qt = new QTranslator;
        CoreText::SetTranslator(&TranslateCore);
    }
    if (QCoreApplication::instance()) {
        QCoreApplication::removeTranslator(g_program);
        QCoreApplication::removeTranslator(g_qt);
    }
    g_active.store(nullptr, std::memory_order_release);
    g_current = choice;
    bool found = true;
    if (choice == Choice::English) {
        found = g_program->load(QStringLiteral("vrl_en"), CatalogueFolder());
        if (found)
            g_active.store(g_program, std::memory_order_release);
    }
    // Qt's own texts are English in the library; Debian ships the Chinese ones in
    // qt6-translations-l10n.
    const bool qtLoaded = choice == Choice::Chinese
                          && g_qt->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (QCoreApplication::instance()) {
        if (choice == Choice::English && found)
            QCoreApplication::installTranslator(g_program);
        if (qtLoaded)
            QCoreApplication::installTranslator(g_qt);
    }
    return found;
}

CLanguage::Choice CLanguage::Current()
{
    return g_current;
}
