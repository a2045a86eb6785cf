#include "app/files/FileNameDialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>

QString CFileNameDialog::Ask(bool open, const QString& title, const QString& defaultName,
                             const QString& folder)
{
    if (m_asker)
        return m_asker(open, title, defaultName);
    const QString filter =
        QCoreApplication::translate("CFileNameDialog", "Tarnwick Frame Files(*.tnf)");
    const QString dir = folder.isEmpty() ? m_lastFolder : folder;
    QFileDialog dialog(&m_parent, title, dir, filter);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("tnf"));
    if (!defaultName.isEmpty())
        dialog.selectFile(defaultName + QStringLiteral(".tnf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString chosen = dialog.selectedFiles().first();
    m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}
