#pragma once

#include <QString>

#include <functional>

class QWidget;

// The file-name dialog of ".tnf" files: open or save, starting in the folder asked for or the
// one last used. Tests answer it through an asker instead of the user.
class CFileNameDialog
{
public:
    using Asker =
        std::function<QString(bool open, const QString& title, const QString& defaultName)>;

    // parent: the dialog's.
    explicit CFileNameDialog(QWidget& parent) : m_parent(parent) {}

    // The chosen path, empty when cancelled. defaultName comes without extension; saving
    // asks before replacing a file.
    QString Ask(bool open, const QString& title, const QString& defaultName,
                const QString& folder = QString());
    void SetAsker(Asker asker) { m_asker = std::move(asker); }

private:
    QWidget& m_parent;
    Asker m_asker;
    QString m_lastFolder;
};
