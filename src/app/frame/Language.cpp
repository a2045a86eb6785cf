#include "app/frame/Language.h"

#include "core/text/CoreText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <atomic>

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

} // namespace

QString CLanguage::CatalogueFolder()
{
    return QString::fromStdString(UiLanguage::CatalogueFolder(VRL_BUILD_TRANSLATIONS));
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
                          && g_qt->load(QStringLiteral("qtbase_zh_CN"),
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
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
