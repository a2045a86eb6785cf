#include "app/widgets/DirectoryDialog.h"

#include "core/base/SettingsStore.h"
#include "core/files/ShortenPath.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kStatusLength = 45;

CDirectoryDialog::Chooser& TestChooser()
{
    static CDirectoryDialog::Chooser chooser;
    return chooser;
}

} // namespace

CDirectoryDialog::CDirectoryDialog(SettingsStore* store, QWidget* owner)
    : m_pOwner(owner), m_strSection(QStringLiteral("文件夹初始路径")), m_pStore(store)
{
}

void CDirectoryDialog::SetChooser(Chooser chooser)
{
    TestChooser() = std::move(chooser);
}

QString CDirectoryDialog::ShortenPath(const QString& path, int maxLength)
{
    return QString::fromStdString(::ShortenPath(path.toStdString(), maxLength));
}

QString CDirectoryDialog::Prompt() const
{
    if (!m_strTitle.isEmpty())
        return m_strTitle;
    return m_strEntry.isEmpty()
               ? QCoreApplication::translate("CDirectoryDialog", "选择保存监视报文的目录:")
               : QCoreApplication::translate("CDirectoryDialog", "请为%1选择合适的目录:")
                     .arg(m_strEntry);
}

QString CDirectoryDialog::Browse(const QString& initialPath)
{
    if (!m_pOwner)
        m_pOwner = QApplication::activeWindow();
    m_strTitle = Prompt();
    const bool remembers = m_pStore && !m_strSection.isEmpty() && !m_strEntry.isEmpty();
    QString initial = initialPath;
    if (initial.isEmpty() && remembers)
        initial = QString::fromStdString(
            m_pStore->ReadString(m_strSection.toStdString(), m_strEntry.toStdString()));

    QString chosen;
    if (TestChooser()) {
        chosen = TestChooser()(m_strTitle, initial);
    } else {
        // Qt's own dialog, because the status line goes into its layout.
        QFileDialog dialog(m_pOwner, m_strTitle, initial);
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, m_nMode != 3);
        auto* status = new QLabel(&dialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(status, grid->rowCount(), 0, 1, grid->columnCount());
        const auto show = [status](const QString& path) {
            status->setText(ShortenPath(path, kStatusLength));
        };
        QObject::connect(&dialog, &QFileDialog::currentChanged, status, show);
        QObject::connect(&dialog, &QFileDialog::directoryEntered, status, show);
        show(initial);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        chosen = dialog.selectedFiles().first();
    }
    if (chosen.isEmpty())
        return QString();
    if (!chosen.endsWith(QLatin1Char('/')))
        chosen += QLatin1Char('/');
    if (remembers)
        m_pStore->WriteString(m_strSection.toStdString(), m_strEntry.toStdString(),
                              chosen.toStdString());
    return chosen;
}

QString CDirectoryDialog::BrowseForEdit(QLineEdit* edit)
{
    if (!m_pOwner)
        m_pOwner = edit->window();
    const QString path = Browse(m_strEntry.isEmpty() ? edit->text() : QString());
    if (!path.isEmpty())
        edit->setText(path);
    return path;
}
