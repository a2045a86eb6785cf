// vrl-commands: writes docs/commands.md, the listing of every command row, from the real main
// window built offscreen (see scripts/commands). Exit status 1 when an identifier and the rows
// do not add up.
//   vrl-commands COMMAND_IDS_HEADER > docs/commands.md

#include "app/frame/Language.h"
#include "app/frame/MainFrm.h"
#include "app/listing/CommandListing.h"
#include "core/base/SettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char* argv[])
{
    // The window reads and writes its data folder as it starts: a fresh one, not the user's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFile header(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (!header.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "usage: vrl-commands COMMAND_IDS_HEADER\n");
        return 2;
    }
    MemorySettingsStore store;
    CMainFrame frame(store);
    const CCommandListing listing(frame.Router(),
                                  CCommandListing::ParseIds(QString::fromUtf8(header.readAll())));
    const QStringList problems = listing.Problems();
    for (const QString& problem : problems)
        std::fprintf(stderr, "vrl-commands: %s\n", qPrintable(problem));

    QString page = QStringLiteral(
        "# Commands\n\n"
        "Every command row of the main window, as the units add them to the command router,\n"
        "in Chinese and in English. Written by `scripts/commands` from the running program: do\n"
        "not edit it by hand; `scripts/commands --check` (the test `commands_listed`) fails\n"
        "when it is out of date.\n\n");
    CLanguage::Apply(CLanguage::Choice::Chinese);
    page += listing.Section(QStringLiteral("Chinese"));
    if (!CLanguage::Apply(CLanguage::Choice::English)) {
        std::fprintf(stderr, "vrl-commands: no English catalogue in %s\n",
                     qPrintable(CLanguage::CatalogueFolder()));
        return 1;
    }
    page += listing.Section(QStringLiteral("English"));
    page += listing.WithoutRows();
    std::fputs(page.toUtf8().constData(), stdout);
    return problems.isEmpty() ? 0 : 1;
}
