#include "app/frame/AboutDlg.h"

#include "app/monitor/MonitorView.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QCoreApplication::translate("CAboutDlg", "关于 VRL"));
    QFont f(CMonitorView::DefaultFace());
    f.setPointSize(9);
    setFont(f);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/vrl.png")).pixmap(32, 32));
    auto* version = new QLabel(QStringLiteral("VRL V6.72"), this);
    auto* line =
        new QLabel(QCoreApplication::translate(
                       "CAboutDlg", "串口监视工具：同时监视多个串口的通讯，也可向指定串口发送命令"),
                   this);
    auto* licence = new QLabel(
        QCoreApplication::translate(
            "CAboutDlg",
            "本程序是自由软件，按 GNU 通用公共许可证第 3 版或更新的版本（GPL-3.0-or-later）发布，"
            "不提供任何担保。"),
        this);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QCoreApplication::translate("CAboutDlg", "确定"),
                                         QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(line, 1, 1);
    layout->addWidget(licence, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
