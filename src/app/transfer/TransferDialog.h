#pragma once

#include <QDialog>

class CFrameHost;
class CPortTransfer;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The file transfer of the current port: the protocol, the file to send or the folder to
// receive into, then a progress bar with bytes, blocks, retries and the rate, and Cancel
// (which sends CAN). Modeless, so that the monitor goes on showing the port around it.
class CTransferDialog : public QDialog
{
    Q_OBJECT
public:
    CTransferDialog(CFrameHost& host, bool sending, QWidget* parent = nullptr);
    // A running transfer is cancelled while the dialog that shows it is still whole.
    ~CTransferDialog() override;

    bool IsRunning() const;
    // For the tests: what the user fills in and presses.
    QComboBox* ProtocolBox() const { return m_pProtocol; }
    QLineEdit* PathEdit() const { return m_pPath; }
    QPushButton* StartButton() const { return m_pStart; }
    QPushButton* CancelButton() const { return m_pCancel; }
    QProgressBar* Bar() const { return m_pBar; }
    QLabel* Figures() const { return m_pFigures; }
    CPortTransfer& Transfer() const { return *m_pTransfer; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnBrowse();
    void OnStart();
    void OnCancel();
    void ShowProgress();
    void OnFinished(bool done);

    CFrameHost& m_host;
    bool m_bSending;
    CPortTransfer* m_pTransfer;
    QComboBox* m_pProtocol;
    QLineEdit* m_pPath;
    QPushButton* m_pBrowse;
    QPushButton* m_pStart;
    QPushButton* m_pCancel;
    QProgressBar* m_pBar;
    QLabel* m_pFigures;
};
