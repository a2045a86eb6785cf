#pragma once

#include <QString>

class QPlainTextEdit;
class SettingsStore;

// The send editor's file (".tnf", rich text with the editor's colours): the text kept
// between runs. The file saved at exit is "XREPath" in the settings, the last file saved or
// opened, or else the default file in the per-user data folder.
class CSendFile
{
public:
    CSendFile(QPlainTextEdit& editor, SettingsStore& store);

    // VRL.tnf in the per-user data folder (the executable's folder is not writable here).
    static QString DefaultPath();
    // The file saved at exit: "XREPath", or the default file.
    QString Path() const;

    // Writes the editor's text to path, and to the default file when path cannot be
    // written; the file written becomes the file saved at exit and the text is unmodified.
    // False when neither could be written, with the reasons in SaveError().
    bool Save(const QString& path);
    // Why the last Save failed (for both files tried), empty after a good save.
    const QString& SaveError() const { return m_strSaveError; }
    // Replaces the editor's text by the file (the default file when path cannot be opened).
    // False, with the text as it was, when neither is rich text. With `remember`, the file
    // read becomes the file saved at exit.
    bool Load(const QString& path, bool remember = false);

private:
    QPlainTextEdit& m_editor;
    SettingsStore& m_store;
    QString m_strSaveError;
};
