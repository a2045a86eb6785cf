#pragma once

#include "core/text/UiLanguage.h"

#include <QString>

// Puts the language of the windows in force: the program's catalogue for tr() and for the
// core's texts, and Qt's own texts (buttons, file and print dialogs). Which language it is,
// UiLanguage decides.
class CLanguage
{
public:
    using Choice = UiLanguage::Choice;

    // Puts choice in force for what is translated from now on: for the core's texts at once
    // (usable before the application object exists, for --help) and, once it exists, for
    // tr(). Call it while no port's worker runs. False when the English catalogue cannot be
    // found (the texts then stay Chinese).
    static bool Apply(Choice choice);
    static Choice Current();
    static QString CatalogueFolder();
};
