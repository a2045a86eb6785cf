#include "app/forward/ForwardDialog.h"

#include "core/base/SettingsStore.h"
#include "core/forward/TransmitPorts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kPortMin = 1;
constexpr int kPortMax = 255;

QLineEdit* NewPortEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new QIntValidator(0, 999, edit));
    edit->setMaxLength(3);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 10);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

} // namespace

CForwardDialog::CForwardDialog(SettingsStore& store,
                               std::function<void(const QString&)> showMessage, QWidget* parent)
    : QDialog(parent), m_store(store), m_showMessage(std::move(showMessage)),
      m_pEnable(new QCheckBox(QCoreApplication::translate("CForwardDialog", "在串口"), this)),
      m_pLines(new QCheckBox(
          QCoreApplication::translate("CForwardDialog", "控制线也转发（CTS→RTS，DSR→DTR，BREAK）"),
          this)),
      m_pPortA(NewPortEdit(this)), m_pPortB(NewPortEdit(this)),
      m_pApply(new QPushButton(QCoreApplication::translate("CForwardDialog", "应用"), this)),
      m_pExit(new QPushButton(QCoreApplication::translate("CForwardDialog", "退出"), this))
{
    setWindowTitle(QCoreApplication::translate("CForwardDialog", "透明转发设置"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* sentence = new QHBoxLayout;
    sentence->setSpacing(4);
    sentence->addWidget(m_pEnable);
    sentence->addWidget(m_pPortA);
    sentence->addWidget(new QLabel(QCoreApplication::translate("CForwardDialog", "与串口"), this));
    sentence->addWidget(m_pPortB);
    sentence->addWidget(
        new QLabel(QCoreApplication::translate("CForwardDialog", "间进行透明转发"), this));
    sentence->addStretch(1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pApply);
    buttons->addWidget(m_pExit);
    buttons->addStretch(1);

    m_pLines->setToolTip(QCoreApplication::translate(
        "CForwardDialog", "一方的 CTS、DSR 驱动另一方的 RTS、DTR，收到的 BREAK 在另一方发出"));
    auto* left = new QVBoxLayout;
    left->addLayout(sentence);
    left->addWidget(m_pLines);
    left->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    // Enter applies and leaves the dialog open, as the default button of the sentence.
    m_pApply->setDefault(true);
    m_pExit->setAutoDefault(false);
    connect(m_pApply, &QPushButton::clicked, this, &CForwardDialog::OnApply);
    connect(m_pExit, &QPushButton::clicked, this, &CForwardDialog::reject);

    const TransmitPorts stored = TransmitPorts::Decode(m_store.ReadInt(kSection, "COM", 0));
    m_portA = stored.m_portA;
    m_portB = stored.m_portB;
    m_lines = m_store.ReadInt(kSection, "Lines", 0) != 0 ? 1 : 0;
    ShowMembers();
    setFixedSize(sizeHint());
}

void CForwardDialog::ShowRunning(std::uint8_t portA, std::uint8_t portB)
{
    m_enable = 1;
    m_portA = portA;
    m_portB = portB;
    ShowMembers();
}

void CForwardDialog::ShowMembers()
{
    m_pEnable->setChecked(m_enable != 0);
    m_pLines->setChecked(m_lines != 0);
    m_pPortA->setText(QString::number(m_portA));
    m_pPortB->setText(QString::number(m_portB));
}

bool CForwardDialog::ReadPort(QLineEdit* edit, std::uint8_t& port)
{
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    if (!ok || value < kPortMin || value > kPortMax) {
        m_showMessage(
            QCoreApplication::translate("CForwardDialog", "请输入一个介于 %1 和 %2 之间的整数。")
                .arg(kPortMin)
                .arg(kPortMax));
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
        return false;
    }
    port = static_cast<std::uint8_t>(value);
    return true;
}

void CForwardDialog::OnApply()
{
    // All controls or none: a refused number leaves the members as they were.
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    if (!ReadPort(m_pPortA, a) || !ReadPort(m_pPortB, b))
        return;
    m_enable = m_pEnable->isChecked() ? 1 : 0;
    m_lines = m_pLines->isChecked() ? 1 : 0;
    m_portA = a;
    m_portB = b;
    if (m_portB == m_portA) {
        m_portB = static_cast<std::uint8_t>(m_portA + 1);
        ShowMembers();
        m_showMessage(QCoreApplication::translate("CForwardDialog", "需输入不同的串口号！"));
        return;
    }
    m_store.WriteInt(kSection, "COM", TransmitPorts{m_portA, m_portB}.Encode());
    m_store.WriteInt(kSection, "Lines", m_lines);
}

void CForwardDialog::reject()
{
    done(kCancelResult);
}
