#include "app/monitor/FindReplaceDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

CFindReplaceDialog::CFindReplaceDialog(QWidget* parent, bool replace)
    : QDialog(parent), m_bReplace(replace)
{
    setWindowTitle(replace ? QCoreApplication::translate("CFindReplaceDialog", "替换")
                           : QCoreApplication::translate("CFindReplaceDialog", "查找"));
    setModal(false);

    auto* fields = new QGridLayout;
    auto* findLabel =
        new QLabel(QCoreApplication::translate("CFindReplaceDialog", "查找内容(&N):"));
    m_pFindEdit = new QLineEdit;
    findLabel->setBuddy(m_pFindEdit);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_pFindEdit, 0, 1);
    if (replace) {
        auto* replaceLabel =
            new QLabel(QCoreApplication::translate("CFindReplaceDialog", "替换为(&P):"));
        m_pReplaceEdit = new QLineEdit;
        replaceLabel->setBuddy(m_pReplaceEdit);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(m_pReplaceEdit, 1, 1);
    }

    m_pWholeWord = new QCheckBox(QCoreApplication::translate("CFindReplaceDialog", "全字匹配(&W)"));
    m_pMatchCase =
        new QCheckBox(QCoreApplication::translate("CFindReplaceDialog", "区分大小写(&C)"));
    auto* options = new QVBoxLayout;
    options->addWidget(m_pWholeWord);
    options->addWidget(m_pMatchCase);
    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    if (!replace) {
        auto* direction = new QGroupBox(QCoreApplication::translate("CFindReplaceDialog", "方向"));
        m_pUp = new QRadioButton(QCoreApplication::translate("CFindReplaceDialog", "向上(&U)"));
        m_pDown = new QRadioButton(QCoreApplication::translate("CFindReplaceDialog", "向下(&D)"));
        m_pDown->setChecked(true);
        auto* dirLayout = new QHBoxLayout(direction);
        dirLayout->addWidget(m_pUp);
        dirLayout->addWidget(m_pDown);
        lower->addWidget(direction);
    }

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(lower);
    left->addStretch();

    auto* buttons = new QVBoxLayout;
    m_pFindNext =
        new QPushButton(QCoreApplication::translate("CFindReplaceDialog", "查找下一个(&F)"));
    m_pFindNext->setDefault(true);
    buttons->addWidget(m_pFindNext);
    connect(m_pFindNext, &QPushButton::clicked, this, &CFindReplaceDialog::OnFindNext);
    if (replace) {
        m_pReplace = new QPushButton(QCoreApplication::translate("CFindReplaceDialog", "替换(&R)"));
        m_pReplaceAll =
            new QPushButton(QCoreApplication::translate("CFindReplaceDialog", "全部替换(&A)"));
        buttons->addWidget(m_pReplace);
        buttons->addWidget(m_pReplaceAll);
        connect(m_pReplace, &QPushButton::clicked, this, &CFindReplaceDialog::OnReplace);
        connect(m_pReplaceAll, &QPushButton::clicked, this, &CFindReplaceDialog::OnReplaceAll);
    }
    auto* cancel = new QPushButton(QCoreApplication::translate("CFindReplaceDialog", "取消"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(buttons);

    // F3 finds the next match from the dialog too, as it does from the main window.
    auto* findNextKey = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(findNextKey, &QShortcut::activated, this, [this] {
        if (m_pFindNext->isEnabled())
            OnFindNext();
    });

    connect(m_pFindEdit, &QLineEdit::textChanged, this, &CFindReplaceDialog::UpdateButtons);
    UpdateButtons();
}

void CFindReplaceDialog::SetFindText(const QString& text)
{
    m_pFindEdit->setText(text);
    m_pFindEdit->selectAll();
    m_pFindEdit->setFocus();
}

void CFindReplaceDialog::UpdateButtons()
{
    const bool hasText = !m_pFindEdit->text().isEmpty();
    m_pFindNext->setEnabled(hasText);
    if (m_pReplace) {
        m_pReplace->setEnabled(hasText);
        m_pReplaceAll->setEnabled(hasText);
    }
}

void CFindReplaceDialog::OnFindNext()
{
    const bool forward = m_pUp == nullptr || !m_pUp->isChecked();
    Q_EMIT findNext(m_pFindEdit->text(), m_pMatchCase->isChecked(), m_pWholeWord->isChecked(),
                    forward);
}

void CFindReplaceDialog::OnReplace()
{
    Q_EMIT replace(m_pFindEdit->text(), m_pReplaceEdit->text(), m_pMatchCase->isChecked(),
                   m_pWholeWord->isChecked());
}

void CFindReplaceDialog::OnReplaceAll()
{
    Q_EMIT replaceAll(m_pFindEdit->text(), m_pReplaceEdit->text(), m_pMatchCase->isChecked(),
                      m_pWholeWord->isChecked());
}
