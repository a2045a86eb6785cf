#include "app/plot/PlotDock.h"

#include "app/plot/PlotView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CPlotDock::CPlotDock(QWidget* parent)
    : QDockWidget(tr("曲线"), parent), m_pView(new CPlotView), m_pList(new QTreeWidget),
      m_pAdd(new QPushButton(tr("添加..."))), m_pEdit(new QPushButton(tr("修改..."))),
      m_pRemove(new QPushButton(tr("删除"))), m_pFollow(new QPushButton(tr("跟随最新"))),
      m_pClear(new QPushButton(tr("清空"))), m_pExport(new QToolButton),
      m_pPicture(new QPushButton(tr("保存图片..."))), m_pMemory(new QLabel)
{
    setObjectName(QStringLiteral("PlotDock"));
    m_pExport->setText(tr("导出 CSV"));
    m_pExport->setPopupMode(QToolButton::InstantPopup);
    m_pFollow->setCheckable(true);
    m_pFollow->setChecked(true);
    m_pFollow->setToolTip(tr("新数值到来时画面随之移动（F 键）；拖动或缩放画面时停止跟随"));
    m_pList->setHeaderLabels({tr("通道"), tr("来源"), tr("最新值"), tr("跳过"), tr("状态")});
    m_pList->setRootIsDecorated(false);
    m_pList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pView->setToolTip(tr("拖动: 平移  滚轮: 缩放时间  Ctrl+滚轮: 缩放数值  F: 跟随最新  "
                           "A: 数值范围自动"));

    auto* buttons = new QHBoxLayout;
    for (QWidget* button : std::initializer_list<QWidget*>{m_pAdd, m_pEdit, m_pRemove, m_pFollow,
                                                           m_pClear, m_pExport, m_pPicture})
        buttons->addWidget(button);
    buttons->addWidget(m_pMemory, 1);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_pList);
    split->addWidget(m_pView);
    split->setStretchFactor(1, 3);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(buttons);
    layout->addWidget(split, 1);
    setWidget(body);
}
