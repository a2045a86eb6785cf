#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class SettingsStore;

// "透明转发设置": the pair of ports between which received messages are forwarded, as one
// sentence of controls: [x] 在串口 [A] 与串口 [B] 间进行透明转发. The pair is stored in
// "Settings\Transmit" by "应用", which leaves the dialog open. The box opens unchecked with the
// stored pair, or checked with the running pair while forwarding is on. Every way out (退出, Esc, the close box) ends the dialog with kCancelResult, and the owner
// then takes the members as the last "应用" left them. A second box under the sentence lets the
// control lines and BREAK cross the tap too (stored as "Lines" by "应用").
class CForwardDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kCancelResult = 2;
    static constexpr const char* kSection = "Settings\\Transmit";

    // showMessage: the owner's message box.
    CForwardDialog(SettingsStore& store, std::function<void(const QString&)> showMessage,
                   QWidget* parent = nullptr);

    // The members after the last "应用" (before it: the loaded pair, the box unchecked).
    std::uint8_t m_portA = 1;
    std::uint8_t m_portB = 2;
    int m_enable = 0;
    // The control lines and BREAK cross the tap too ("Lines" in the section; off unless stored).
    int m_lines = 0;

    // Forwarding runs between portA and portB: the members and controls show it, so that
    // leaving the dialog without "应用" keeps it running.
    void ShowRunning(std::uint8_t portA, std::uint8_t portB);

    // "应用": the controls into the members, then the equal-ports rule or the store.
    void OnApply();

    QCheckBox* EnableBox() const { return m_pEnable; }
    QCheckBox* LinesBox() const { return m_pLines; }
    QLineEdit* PortAEdit() const { return m_pPortA; }
    QLineEdit* PortBEdit() const { return m_pPortB; }
    QPushButton* ApplyButton() const { return m_pApply; }
    QPushButton* ExitButton() const { return m_pExit; }

public Q_SLOTS:
    void reject() override;

private:
    bool ReadPort(QLineEdit* edit, std::uint8_t& port);
    void ShowMembers();

    SettingsStore& m_store;
    std::function<void(const QString&)> m_showMessage;
    QCheckBox* m_pEnable;
    QCheckBox* m_pLines;
    QLineEdit* m_pPortA;
    QLineEdit* m_pPortB;
    QPushButton* m_pApply;
    QPushButton* m_pExit;
};
