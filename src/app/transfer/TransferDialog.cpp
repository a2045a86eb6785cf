#include "app/transfer/TransferDialog.h"

#include "app/host/FrameHost.h"
#include "app/transfer/PortTransfer.h"
#include "core/base/PortName.h"
#include "core/transfer/TransferText.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CTransferDialog::CTransferDialog(CFrameHost& host, bool sending, QWidget* parent)
    : QDialog(parent), m_host(host), m_bSending(sending),
      m_pTransfer(new CPortTransfer(host, this)), m_pProtocol(new QComboBox(this)),
      m_pPath(new QLineEdit(this)), m_pBrowse(new QPushButton(tr("浏览..."), this)),
      m_pStart(new QPushButton(this)), m_pCancel(new QPushButton(tr("关闭"), this)),
      m_pBar(new QProgressBar(this)), m_pFigures(new QLabel(this))
{
    const int port = host.CurrentPort();
    setWindowTitle((sending ? tr("发送文件 (XMODEM/YMODEM)") : tr("接收文件")) + " - "
                   + QString::fromStdString(PortName(static_cast<unsigned>(port < 0 ? 0 : port))));
    m_pProtocol->addItem(tr("XMODEM（128 字节块）"), static_cast<int>(TransferProtocol::Xmodem));
    m_pProtocol->addItem(tr("XMODEM-1K（1024 字节块）"),
                         static_cast<int>(TransferProtocol::Xmodem1k));
    m_pProtocol->addItem(tr("YMODEM（带文件名和大小）"),
                         static_cast<int>(TransferProtocol::Ymodem));
    m_pProtocol->setCurrentIndex(2);
    m_pStart->setText(sending ? tr("发送") : tr("接收"));
    m_pStart->setDefault(true);
    m_pBar->setRange(0, 100);
    m_pBar->setValue(0);

    auto* path = new QHBoxLayout;
    path->addWidget(m_pPath, 1);
    path->addWidget(m_pBrowse);
    auto* form = new QFormLayout;
    form->addRow(tr("协议："), m_pProtocol);
    form->addRow(sending ? tr("文件：") : tr("保存到文件夹："), path);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pStart);
    buttons->addWidget(m_pCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_pBar);
    layout->addWidget(m_pFigures);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    connect(m_pBrowse, &QPushButton::clicked, this, &CTransferDialog::OnBrowse);
    connect(m_pStart, &QPushButton::clicked, this, &CTransferDialog::OnStart);
    connect(m_pCancel, &QPushButton::clicked, this, &CTransferDialog::OnCancel);
    connect(m_pTransfer, &CPortTransfer::progressed, this, &CTransferDialog::ShowProgress);
    connect(m_pTransfer, &CPortTransfer::finished, this, &CTransferDialog::OnFinished);
}

CTransferDialog::~CTransferDialog()
{
    m_pTransfer->Cancel();
}

bool CTransferDialog::IsRunning() const
{
    return m_pTransfer->IsRunning();
}

void CTransferDialog::OnBrowse()
{
    const QString chosen =
        m_bSending ? QFileDialog::getOpenFileName(this, tr("选择要发送的文件"), m_pPath->text())
                   : QFileDialog::getExistingDirectory(this, tr("选择保存收到文件的文件夹"),
                                                       m_pPath->text());
    if (!chosen.isEmpty())
        m_pPath->setText(chosen);
}

void CTransferDialog::OnStart()
{
    const int port = m_host.CurrentPort();
    const auto protocol = static_cast<TransferProtocol>(m_pProtocol->currentData().toInt());
    QString error;
    if (m_pPath->text().isEmpty())
        error = m_bSending ? tr("请选择要发送的文件。") : tr("请选择保存收到文件的文件夹。");
    else if (port < 0)
        error = tr("没有当前串口。");
    if (!error.isEmpty()
        || !m_pTransfer->Start(static_cast<unsigned>(port), protocol, m_bSending, m_pPath->text(),
                               error)) {
        m_host.ShowMessage(error);
        return;
    }
    for (QWidget* w : {static_cast<QWidget*>(m_pProtocol), static_cast<QWidget*>(m_pPath),
                       static_cast<QWidget*>(m_pBrowse), static_cast<QWidget*>(m_pStart)})
        w->setEnabled(false);
    m_pCancel->setText(tr("取消"));
    ShowProgress();
}

void CTransferDialog::OnCancel()
{
    if (m_pTransfer->IsRunning())
        m_pTransfer->Cancel();
    else
        close();
}

void CTransferDialog::ShowProgress()
{
    const FileTransfer* transfer = m_pTransfer->Transfer();
    if (!transfer)
        return;
    const TransferProgress& p = transfer->Progress();
    if (p.m_total && *p.m_total > 0)
        m_pBar->setValue(static_cast<int>(p.m_bytes * 100 / *p.m_total));
    else
        m_pBar->setRange(0, m_pTransfer->IsRunning() ? 0 : 100); // busy while the size is unknown
    m_pFigures->setText(
        QString::fromStdString(TransferText::ProgressLine(p, m_pTransfer->ElapsedMs())));
}

void CTransferDialog::OnFinished(bool done)
{
    if (done)
        m_pBar->setRange(0, 100), m_pBar->setValue(100);
    m_pFigures->setText(m_pTransfer->EndText());
    for (QWidget* w : {static_cast<QWidget*>(m_pProtocol), static_cast<QWidget*>(m_pPath),
                       static_cast<QWidget*>(m_pBrowse), static_cast<QWidget*>(m_pStart)})
        w->setEnabled(true);
    m_pCancel->setText(tr("关闭"));
}

void CTransferDialog::closeEvent(QCloseEvent* event)
{
    // Closing the window gives the transfer up, as Cancel does.
    m_pTransfer->Cancel();
    QDialog::closeEvent(event);
}
