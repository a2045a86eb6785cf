#pragma once

#include <QString>

#include <functional>

class QLineEdit;
class QWidget;
class SettingsStore;

// The folder picker: the platform's folder dialog with a status line that shows the
// selected folder shortened. A chosen folder always ends with "/". When an entry name is
// given, the last choice is remembered in the settings store under (section, entry) and
// offered the next time.
class CDirectoryDialog
{
public:
    // store: where the remembered folder lives; may be null when no entry is named.
    explicit CDirectoryDialog(SettingsStore* store = nullptr, QWidget* owner = nullptr);

    // Shows the picker; the chosen folder with a trailing "/", or empty when cancelled.
    QString Browse(const QString& initialPath);
    // The picker for a text box holding a folder: starts at its text (when no entry is
    // named) and writes the choice into it.
    QString BrowseForEdit(QLineEdit* edit);

    // path shortened for display to fewer than maxLength characters (see the core's
    // ShortenPath).
    static QString ShortenPath(const QString& path, int maxLength);
    // The prompt Browse shows when no title is set.
    QString Prompt() const;

    // Tests answer the picker instead of the user: given the title and the folder it opens
    // at, the chosen folder or empty.
    using Chooser = std::function<QString(const QString& title, const QString& initialPath)>;
    static void SetChooser(Chooser chooser);

    QWidget* m_pOwner = nullptr;
    QString m_strTitle;
    int m_nMode = 1; // 3: files are listed as well
    QString m_strSection;
    QString m_strEntry;

private:
    SettingsStore* m_pStore;
};
