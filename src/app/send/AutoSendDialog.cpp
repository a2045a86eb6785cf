#include "app/send/AutoSendDialog.h"

#include "app/widgets/ListCtrlEx.h"
#include "core/send/AdvanceSendSettings.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace {

enum ControlId
{
    IDC_ONE_LINE = 1004,
    IDC_RANGE = 1005,
    IDC_CARET_LINE = 1006,
    IDC_FIXED_LINE = 1007,
    IDC_FIXED_LINE_NO = 1008,
    IDC_RANGE_FIRST = 1009,
    IDC_PERIOD = 1010,
    IDC_APPLY = 1011,
    IDC_CLOSE = 1012,
    IDC_RANGE_LAST = 1013,
    IDC_DELAY = 1014,
    IDC_TRIGGER_LIST = 1017,
};

// Dialog units of the layout to pixels, as the dialog's font measures them.
class DluScale
{
public:
    explicit DluScale(const QFont& font)
    {
        const QFontMetrics fm(font);
        m_x = fm.horizontalAdvance(
                  QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"))
              / 52.0;
        m_y = fm.height();
    }
    QRect Rect(int x, int y, int w, int h) const
    {
        return QRect(X(x), Y(y), X(x + w) - X(x), Y(y + h) - Y(y));
    }
    int X(int dlu) const { return static_cast<int>(dlu * m_x / 4.0 + 0.5); }
    int Y(int dlu) const { return static_cast<int>(dlu * m_y / 8.0 + 0.5); }

private:
    double m_x = 6;
    double m_y = 12;
};

QString RangeMessage(int low, int high)
{
    return QCoreApplication::translate("CAutoSendDialog", "请输入一个介于 %1 和 %2 之间的整数。")
        .arg(low)
        .arg(high);
}

} // namespace

CAutoSendDialog::CAutoSendDialog(AdvanceSendSettings& settings, QWidget* parent)
    : CFramelessDialog(parent, Qt::Tool), m_settings(settings)
{
    setModal(false);
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    setFont(font);
    BuildControls();
    ShowSettings();
}

void CAutoSendDialog::BuildControls()
{
    const DluScale d(font());
    setFixedSize(d.X(164), d.Y(159));

    auto label = [&](QWidget* parent, const QString& text, QRect r, int dx, int dy) {
        auto* l = new QLabel(text, parent);
        l->setGeometry(r.translated(-dx, -dy));
        return l;
    };
    auto edit = [&](QWidget* parent, int id, QRect r, int dx, int dy) {
        auto* e = new QLineEdit(parent);
        e->setGeometry(r.translated(-dx, -dy));
        e->setObjectName(QStringLiteral("edit%1").arg(id));
        // Digits only: the range check on Apply says what is allowed.
        e->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), e));
        m_controls[id] = e;
        return e;
    };
    auto radio = [&](QWidget* parent, int id, const QString& text, QRect r, int dx, int dy) {
        auto* b = new QRadioButton(text, parent);
        b->setGeometry(r.translated(-dx, -dy));
        b->setObjectName(QStringLiteral("radio%1").arg(id));
        m_controls[id] = b;
        return b;
    };

    // "单行循环发送": positions inside the group are the dialog's minus the group's corner.
    auto* cycle =
        new QGroupBox(QCoreApplication::translate("CAutoSendDialog", "单行循环发送"), this);
    cycle->setGeometry(d.Rect(1, 1, 160, 60));
    const int cx = d.X(1), cy = d.Y(1);
    auto* oneLine =
        radio(cycle, IDC_ONE_LINE, QCoreApplication::translate("CAutoSendDialog", "指定行："),
              d.Rect(5, 14, 46, 10), cx, cy);
    auto* caret =
        radio(cycle, IDC_CARET_LINE, QCoreApplication::translate("CAutoSendDialog", "当前行"),
              d.Rect(52, 14, 42, 10), cx, cy);
    auto* fixed =
        radio(cycle, IDC_FIXED_LINE, QCoreApplication::translate("CAutoSendDialog", "固定行"),
              d.Rect(96, 14, 38, 10), cx, cy);
    edit(cycle, IDC_FIXED_LINE_NO, d.Rect(135, 12, 23, 12), cx, cy);
    auto* range =
        radio(cycle, IDC_RANGE, QCoreApplication::translate("CAutoSendDialog", "范  围："),
              d.Rect(5, 29, 46, 10), cx, cy);
    label(cycle, QCoreApplication::translate("CAutoSendDialog", "从"), d.Rect(56, 29, 10, 10), cx,
          cy);
    edit(cycle, IDC_RANGE_FIRST, d.Rect(68, 27, 23, 12), cx, cy);
    label(cycle, QCoreApplication::translate("CAutoSendDialog", "行到"), d.Rect(96, 29, 20, 10), cx,
          cy);
    edit(cycle, IDC_RANGE_LAST, d.Rect(120, 27, 23, 12), cx, cy);
    label(cycle, QCoreApplication::translate("CAutoSendDialog", "行"), d.Rect(146, 29, 10, 10), cx,
          cy);
    label(cycle, QCoreApplication::translate("CAutoSendDialog", "单行发送周期："),
          d.Rect(5, 47, 64, 10), cx, cy);
    edit(cycle, IDC_PERIOD, d.Rect(70, 45, 43, 12), cx, cy);
    label(cycle, QCoreApplication::translate("CAutoSendDialog", "毫秒"), d.Rect(116, 47, 20, 10),
          cx, cy);

    // Two groups of two radios: one line or a range; the caret line or a fixed line.
    auto* modeGroup = new QButtonGroup(this);
    modeGroup->addButton(oneLine, 0);
    modeGroup->addButton(range, 1);
    auto* lineGroup = new QButtonGroup(this);
    lineGroup->addButton(caret, 0);
    lineGroup->addButton(fixed, 1);
    connect(oneLine, &QRadioButton::clicked, this, &CAutoSendDialog::EnableModeControls);
    connect(range, &QRadioButton::clicked, this, &CAutoSendDialog::EnableModeControls);

    auto* trigger =
        new QGroupBox(QCoreApplication::translate("CAutoSendDialog", "触发模式发送"), this);
    trigger->setGeometry(d.Rect(1, 67, 113, 90));
    const int tx = d.X(1), ty = d.Y(67);
    m_pList = new CListCtrlEx(trigger);
    m_pList->setObjectName(QStringLiteral("list%1").arg(IDC_TRIGGER_LIST));
    m_pList->setGeometry(d.Rect(3, 79, 108, 58).translated(-tx, -ty));
    m_pList->setShowGrid(true);
    m_pList->InsertColumn(0, QCoreApplication::translate("CAutoSendDialog", "序号"), Qt::AlignLeft,
                          40, false);
    m_pList->InsertColumn(1, QCoreApplication::translate("CAutoSendDialog", "收到行"),
                          Qt::AlignLeft, 50, true);
    m_pList->InsertColumn(2, QCoreApplication::translate("CAutoSendDialog", "触发行"),
                          Qt::AlignLeft, 50, true);
    for (int i = 0; i < AdvanceSendSettings::kTriggerRows; ++i)
        m_pList->InsertItem(i, QString::number(i + 1));
    m_controls[IDC_TRIGGER_LIST] = m_pList;
    label(trigger, QCoreApplication::translate("CAutoSendDialog", "触发延时："),
          d.Rect(8, 144, 42, 10), tx, ty);
    edit(trigger, IDC_DELAY, d.Rect(50, 142, 25, 12), tx, ty);
    label(trigger, QCoreApplication::translate("CAutoSendDialog", "毫秒"), d.Rect(78, 144, 20, 10),
          tx, ty);

    // Enter presses nothing: no button is a default one.
    auto* apply = new QPushButton(QCoreApplication::translate("CAutoSendDialog", "应用"), this);
    apply->setGeometry(d.Rect(132, 123, 30, 14));
    apply->setAutoDefault(false);
    m_controls[IDC_APPLY] = apply;
    connect(apply, &QPushButton::clicked, this, &CAutoSendDialog::Apply);
    auto* close = new QPushButton(QCoreApplication::translate("CAutoSendDialog", "关闭"), this);
    close->setGeometry(d.Rect(132, 143, 30, 14));
    close->setAutoDefault(false);
    m_controls[IDC_CLOSE] = close;
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
}

QLineEdit* CAutoSendDialog::Edit(int id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : qobject_cast<QLineEdit*>(it->second);
}

QRadioButton* CAutoSendDialog::Radio(int id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : qobject_cast<QRadioButton*>(it->second);
}

QPushButton* CAutoSendDialog::Button(int id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : qobject_cast<QPushButton*>(it->second);
}

void CAutoSendDialog::ShowSettings()
{
    const AdvanceSendSettings& s = m_settings;
    Radio(s.m_rangeMode == 1 ? IDC_RANGE : IDC_ONE_LINE)->setChecked(true);
    Radio(s.m_fixedLineMode == 1 ? IDC_FIXED_LINE : IDC_CARET_LINE)->setChecked(true);
    Edit(IDC_PERIOD)->setText(QString::number(s.m_cyclePeriod));
    Edit(IDC_FIXED_LINE_NO)->setText(QString::number(s.m_fixedLine));
    Edit(IDC_RANGE_FIRST)->setText(QString::number(s.m_rangeFirst));
    Edit(IDC_RANGE_LAST)->setText(QString::number(s.m_rangeLast));
    Edit(IDC_DELAY)->setText(QString::number(s.m_triggerDelay));
    for (int i = 0; i < AdvanceSendSettings::kTriggerRows; ++i) {
        const TriggerEntry& row = s.m_triggers[static_cast<std::size_t>(i)];
        m_pList->SetItemText(i, 1, row.used ? QString::number(row.receivedLine) : QString());
        m_pList->SetItemText(i, 2, row.used ? QString::number(row.triggerLine) : QString());
    }
    EnableModeControls();
}

void CAutoSendDialog::EnableModeControls()
{
    const bool range = Radio(IDC_RANGE)->isChecked();
    for (int id : {IDC_CARET_LINE, IDC_FIXED_LINE, IDC_FIXED_LINE_NO})
        m_controls[id]->setEnabled(!range);
    for (int id : {IDC_RANGE_FIRST, IDC_RANGE_LAST})
        m_controls[id]->setEnabled(range);
}

bool CAutoSendDialog::ReadField(int id, int low, int high, int& value)
{
    QLineEdit* e = Edit(id);
    bool ok = false;
    const qlonglong v = e->text().trimmed().toLongLong(&ok);
    if (ok && v >= low && v <= high) {
        value = static_cast<int>(v);
        return true;
    }
    Q_EMIT message(ok ? RangeMessage(low, high)
                      : QCoreApplication::translate("CAutoSendDialog", "请输入一个整数。"));
    e->setFocus(Qt::OtherFocusReason);
    e->selectAll();
    return false;
}

bool CAutoSendDialog::Apply()
{
    using S = AdvanceSendSettings;
    // Every field first: a field out of range leaves all settings as they were, the
    // running period and the trigger table included.
    S next = m_settings;
    next.m_rangeMode = Radio(IDC_RANGE)->isChecked() ? 1 : 0;
    next.m_fixedLineMode = Radio(IDC_FIXED_LINE)->isChecked() ? 1 : 0;
    if (!ReadField(IDC_FIXED_LINE_NO, 1, S::kMaxLine, next.m_fixedLine)
        || !ReadField(IDC_RANGE_FIRST, 1, S::kMaxLine, next.m_rangeFirst)
        || !ReadField(IDC_PERIOD, S::kMinPeriod, S::kMaxPeriod, next.m_cyclePeriod)
        || !ReadField(IDC_RANGE_LAST, 2, S::kMaxLine, next.m_rangeLast)
        || !ReadField(IDC_DELAY, 0, S::kMaxDelay, next.m_triggerDelay))
        return false;
    for (int i = 0; i < S::kTriggerRows; ++i) {
        next.m_triggers[static_cast<std::size_t>(i)] = S::RowFromCells(
            m_pList->GetItemText(i, 1).toStdString(), m_pList->GetItemText(i, 2).toStdString());
    }
    m_settings = next;
    Q_EMIT applied();
    return true;
}

void CAutoSendDialog::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Escape:
        // Closes as "关闭" does (hidden, settings kept); the keys go back to the main window.
        hide();
        if (QWidget* main = parentWidget()) {
            main->activateWindow();
            main->setFocus(Qt::OtherFocusReason);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: return;
    default: QDialog::keyPressEvent(e);
    }
}
