#include "app/files/DlgAutoSave.h"

#include "app/host/UserNotices.h"
#include "app/widgets/DirectoryDialog.h"
#include "core/files/TimedSaveSchedule.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CDlgAutoSave::CDlgAutoSave(QWidget* parent)
    : QDialog(parent),
      m_pSaveBox(new QCheckBox(QCoreApplication::translate("CDlgAutoSave", "定时保存"), this)),
      m_pClearBox(new QCheckBox(QCoreApplication::translate("CDlgAutoSave", "定时清除"), this)),
      m_pPeriodEdit(new QLineEdit(this)), m_pDirEdit(new QLineEdit(this)),
      m_pBrowseButton(new QPushButton(QStringLiteral("..."), this)),
      m_pExitButton(new QPushButton(QCoreApplication::translate("CDlgAutoSave", "退出"), this))
{
    setWindowTitle(QCoreApplication::translate("CDlgAutoSave", "定时保存清除设置"));
    m_pPeriodEdit->setMaxLength(5);
    m_pPeriodEdit->setFixedWidth(
        m_pPeriodEdit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    m_pBrowseButton->setFixedWidth(
        m_pBrowseButton->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 20);
    m_pExitButton->setDefault(true);

    auto* grid = new QGridLayout(this);
    auto* period = new QHBoxLayout;
    period->addWidget(m_pSaveBox);
    period->addStretch(1);
    period->addWidget(new QLabel(QCoreApplication::translate("CDlgAutoSave", "周期："), this));
    period->addWidget(m_pPeriodEdit);
    period->addWidget(new QLabel(QCoreApplication::translate("CDlgAutoSave", "分"), this));
    grid->addLayout(period, 0, 0, 1, 2);
    grid->addWidget(m_pClearBox, 1, 0, 1, 2);
    grid->addWidget(
        new QLabel(QCoreApplication::translate("CDlgAutoSave", "将监视报文定时保存在下面目录："),
                   this),
        2, 0, 1, 2);
    grid->addWidget(m_pDirEdit, 3, 0);
    grid->addWidget(m_pBrowseButton, 3, 1);
    auto* last = new QHBoxLayout;
    last->addWidget(new QLabel(
        QCoreApplication::translate("CDlgAutoSave", "使用保存时本机时间作为文件名"), this));
    last->addStretch(1);
    last->addWidget(m_pExitButton);
    grid->addLayout(last, 4, 0, 1, 2);
    m_pDirEdit->setMinimumWidth(240);

    connect(m_pExitButton, &QPushButton::clicked, this, &CDlgAutoSave::accept);
    connect(m_pBrowseButton, &QPushButton::clicked, this, [this] {
        CDirectoryDialog picker(nullptr, this);
        picker.BrowseForEdit(m_pDirEdit);
    });
}

void CDlgAutoSave::showEvent(QShowEvent* event)
{
    PutFields();
    QDialog::showEvent(event);
}

void CDlgAutoSave::PutFields()
{
    m_pSaveBox->setChecked(m_bAutoSave);
    m_pClearBox->setChecked(m_bAutoClear);
    m_pPeriodEdit->setText(QString::number(m_nMinutes));
    m_pDirEdit->setText(m_strDir);
}

bool CDlgAutoSave::ReadControls()
{
    bool ok = false;
    const int minutes = m_pPeriodEdit->text().trimmed().toInt(&ok);
    if (!ok || minutes < TimedSaveSchedule::kMinMinutes
        || minutes > TimedSaveSchedule::kMaxMinutes) {
        Tell(QCoreApplication::translate("CDlgAutoSave", "周期请输入 %1 到 %2 之间的整数（分钟）。")
                 .arg(TimedSaveSchedule::kMinMinutes)
                 .arg(TimedSaveSchedule::kMaxMinutes));
        m_pPeriodEdit->setFocus();
        m_pPeriodEdit->selectAll();
        return false;
    }
    QString dir = m_pDirEdit->text().trimmed();
    // Without a folder the files would land wherever the program was started.
    if (dir.isEmpty() && m_pSaveBox->isChecked()) {
        Tell(QCoreApplication::translate("CDlgAutoSave", "请指定定时保存监视报文的目录。"));
        m_pDirEdit->setFocus();
        return false;
    }
    // The file name is put right behind the folder.
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    m_nMinutes = minutes;
    m_strDir = dir;
    m_bAutoSave = m_pSaveBox->isChecked();
    m_bAutoClear = m_pClearBox->isChecked();
    return true;
}

void CDlgAutoSave::accept()
{
    if (ReadControls())
        QDialog::accept();
}

void CDlgAutoSave::Tell(const QString& text)
{
    if (m_messageHook) {
        m_messageHook(text);
        return;
    }
    CUserNotices::ShowWarning(this, text);
}
