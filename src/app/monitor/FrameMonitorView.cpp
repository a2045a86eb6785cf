#include "app/monitor/FrameMonitorView.h"

CFrameMonitorView::CFrameMonitorView(QWidget* parent) : CMonitorView(parent)
{
    // Drawn while the monitor is empty; never part of its text, so never saved or copied.
    setPlaceholderText(
        tr("监视窗为空。开始：\n"
           "1. 在上方串口设置栏选串口（粗体的有设备）、波特率等，按 F5 打开。\n"
           "2. 在下方发报窗输入一行十六进制报文（如 01 03 00 00 00 02），按 F2 发送。\n"
           "3. 收到的报文显示在这里（视图→显示发送报文：发出的也显示）；Ctrl+S 保存。\n"
           "端口号后的 ↑ 表示收到的报文，↓ 表示发出的报文，如 COM1↑01 03。"));
}
