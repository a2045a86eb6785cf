#include "app/monitor/DlgFilter.h"

#include "app/host/FrameHost.h"
#include "app/widgets/ListCtrlEx.h"
#include "core/base/CommandIds.h"
#include "core/receive/ReceivePipeline.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>

namespace {

const CommandInfo kFilterCommands[] = {
    {ID_FILTER, QT_TRANSLATE_NOOP("Command", "报文过滤设置(&F)..."), nullptr,
     QT_TRANSLATE_NOOP("Command", "只显示给定字节为给定值的报文，或只显示当前串口的报文"),
     QT_TRANSLATE_NOOP("Command", "报文过滤设置"), ":/icons/filter.png", false},
};

const QString kNoteKey = QStringLiteral("filter");

// Dialog units to pixels, from the font's average character width and height, as a dialog
// template is laid out.
class DialogUnits
{
public:
    explicit DialogUnits(const QFontMetrics& fm)
        : m_x(fm.horizontalAdvance(
                  QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"))
              / 52.0),
          m_y(fm.height())
    {
    }
    QRect Rect(int x, int y, int w, int h) const
    {
        return QRect(X(x), Y(y), X(x + w) - X(x), Y(y + h) - Y(y));
    }
    QSize Size(int w, int h) const { return QSize(X(w), Y(h)); }

private:
    int X(int units) const { return static_cast<int>(units * m_x / 4 + 0.5); }
    int Y(int units) const { return static_cast<int>(units * m_y / 8 + 0.5); }
    double m_x;
    double m_y;
};

} // namespace

CDlgFilter::CDlgFilter(CFrameHost& host) : CFramelessDialog(host.Window(), Qt::Dialog), m_host(host)
{
    setObjectName(QStringLiteral("filterDialog"));
    setWindowTitle(QCoreApplication::translate("CDlgFilter", "报文过滤设置"));
    BuildControls();

    const FilterSettings stored = LoadFilterSettings(host.Store());
    m_filter.SetConditions(stored.m_conditions);
    m_filter.SetEnabled(false);
    m_displayScope = stored.m_displayScope;
    ShowConditions();
    ScopeButton(m_displayScope)->setChecked(true);
    m_pEnable->setChecked(false);
    UsePipeline();
}

std::span<const CommandInfo> CDlgFilter::Commands()
{
    return kFilterCommands;
}

void CDlgFilter::BuildControls()
{
    const DialogUnits du(fontMetrics());
    auto* frame = new QGroupBox(this);
    frame->setGeometry(du.Rect(1, 2, 143, 90));
    auto* scope = new QGroupBox(QCoreApplication::translate("CDlgFilter", "串口数据显示"), this);
    scope->setGeometry(du.Rect(148, 2, 59, 35));

    auto* prompt = new QLabel(
        QCoreApplication::translate("CDlgFilter", "只显示给定序号字节的值为给定字节值的报文"),
        this);
    prompt->setWordWrap(true);
    prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    prompt->setGeometry(du.Rect(5, 11, 136, 18));

    m_pList = new CListCtrlEx(this);
    m_pList->setGeometry(du.Rect(5, 31, 136, 56));
    m_pList->InsertColumn(0, QCoreApplication::translate("CDlgFilter", "序号"), Qt::AlignLeft, 40,
                          false);
    m_pList->InsertColumn(1, QCoreApplication::translate("CDlgFilter", "字节序号"), Qt::AlignLeft,
                          60, true);
    m_pList->InsertColumn(2, QCoreApplication::translate("CDlgFilter", "字节值(HEX)"),
                          Qt::AlignLeft, 80, true);
    for (int row = 0; row < MessageFilter::kRowCount; ++row)
        m_pList->InsertItem(row, QString::number(row + 1));

    m_pAllPorts = new QRadioButton(QCoreApplication::translate("CDlgFilter", "所有串口"), this);
    m_pAllPorts->setGeometry(du.Rect(154, 13, 45, 10));
    m_pCurrentPort = new QRadioButton(QCoreApplication::translate("CDlgFilter", "当前串口"), this);
    m_pCurrentPort->setGeometry(du.Rect(154, 25, 45, 10));
    auto* group = new QButtonGroup(this);
    group->addButton(m_pAllPorts, 0);
    group->addButton(m_pCurrentPort, 1);

    m_pEnable = new QCheckBox(QCoreApplication::translate("CDlgFilter", "启用过滤设置"), this);
    m_pEnable->setGeometry(du.Rect(147, 41, 59, 10));

    // No default button: Enter does nothing here.
    m_pApply = new QPushButton(QCoreApplication::translate("CDlgFilter", "应用"), this);
    m_pApply->setGeometry(du.Rect(181, 62, 26, 12));
    m_pApply->setAutoDefault(false);
    m_pExit = new QPushButton(QCoreApplication::translate("CDlgFilter", "退出"), this);
    m_pExit->setGeometry(du.Rect(181, 79, 26, 12));
    m_pExit->setAutoDefault(false);
    connect(m_pApply, &QPushButton::clicked, this, &CDlgFilter::Apply);
    connect(m_pExit, &QPushButton::clicked, this, &QWidget::hide);

    setFixedSize(du.Size(210, 94));
}

void CDlgFilter::ShowConditions()
{
    const MessageFilter::Conditions& conditions = m_filter.GetConditions();
    for (int row = 0; row < MessageFilter::kRowCount; ++row) {
        const FilterCondition& c = conditions[static_cast<std::size_t>(row)];
        m_pList->SetItemText(row, 1,
                             c.m_bUsed ? QString::fromStdString(FilterIndexText(c)) : QString());
        m_pList->SetItemText(row, 2,
                             c.m_bUsed ? QString::fromStdString(FilterValueText(c)) : QString());
    }
}

void CDlgFilter::Apply()
{
    // A row that cannot be read is refused as a whole: a filter applied with a row silently
    // dropped would let through what the user meant to hold back.
    for (int row = 0; row < MessageFilter::kRowCount; ++row) {
        const QString index = m_pList->GetItemText(row, 1);
        const QString value = m_pList->GetItemText(row, 2);
        const QString fault = RowFaultText(row, index, value);
        if (fault.isEmpty())
            continue;
        m_pList->selectRow(row);
        m_host.ShowMessage(fault + tr("过滤设置未应用。"));
        return;
    }
    MessageFilter::Conditions conditions{};
    for (int row = 0; row < MessageFilter::kRowCount; ++row)
        conditions[static_cast<std::size_t>(row)] = ParseFilterRow(
            m_pList->GetItemText(row, 1).toStdString(), m_pList->GetItemText(row, 2).toStdString());
    m_filter.SetConditions(conditions);
    // The rows as they act (a position above 255 keeps its low 8 bits).
    ShowConditions();
    m_filter.SetEnabled(m_pEnable->isChecked());
    m_displayScope = m_pCurrentPort->isChecked() ? 1 : 0;
    UsePipeline();
}

QString CDlgFilter::RowFaultText(int row, const QString& index, const QString& value) const
{
    const int n = row + 1;
    switch (CheckFilterRow(index.toStdString(), value.toStdString())) {
    case FilterRowFault::None: return QString();
    case FilterRowFault::MissingIndex:
        return tr("第%1行：有字节值“%2”，但没有字节序号。").arg(n).arg(value.trimmed());
    case FilterRowFault::MissingValue:
        return tr("第%1行：有字节序号“%2”，但没有字节值。").arg(n).arg(index.trimmed());
    case FilterRowFault::BadIndex:
        return tr("第%1行：字节序号“%2”无效，应为从1起的十进制数（如 5）。")
            .arg(n)
            .arg(index.trimmed());
    case FilterRowFault::BadValue:
        return tr("第%1行：字节值“%2”无效，应为一到两位十六进制数（00～FF）。")
            .arg(n)
            .arg(value.trimmed());
    }
    return QString();
}

// The pipeline asks no filter while it is off; the note tells the user why lines may be
// missing from the monitor.
void CDlgFilter::UsePipeline()
{
    ReceivePipeline& pipeline = m_host.Pipeline();
    pipeline.SetFilter(m_filter.IsEnabled() ? &m_filter : nullptr);
    pipeline.SetDisplayScope(m_displayScope);

    QStringList notes;
    if (m_filter.IsEnabled())
        notes << QCoreApplication::translate("CDlgFilter", "过滤: 开（%n行）", nullptr,
                                             m_filter.UsedRows());
    if (m_displayScope == 1)
        notes << QCoreApplication::translate("CDlgFilter", "只显示当前串口");
    m_host.SetStatusNote(kNoteKey, notes.join(QCoreApplication::translate("CDlgFilter", "，")));
}

void CDlgFilter::SaveAtExit()
{
    SaveFilterSettings(m_host.Store(), FilterSettings{m_filter.GetConditions(), m_displayScope});
}

void CDlgFilter::OnCommand(int id)
{
    if (id != ID_FILTER)
        return;
    showNormal();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void CDlgFilter::OnUpdateCommand(int, CommandState&) {}

void CDlgFilter::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: e->accept(); return;
    default: QDialog::keyPressEvent(e);
    }
}
