#include "app/widgets/ListCtrlEx.h"

#include <QDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

// The list in a dialog with a default button, as the dialogs that use it have: Return and
// Escape in the editor must reach neither the button nor the dialog.
class tst_ListCtrlEx : public QObject
{
    Q_OBJECT
private:
    struct Holder
    {
        QDialog dialog;
        CListCtrlEx* list = new CListCtrlEx(&dialog);
        QPushButton* ok = new QPushButton(QStringLiteral("OK"), &dialog);
        int okClicks = 0;

        Holder()
        {
            list->InsertColumn(0, QStringLiteral("序号"), Qt::AlignLeft, 40, false);
            list->InsertColumn(1, QStringLiteral("字节序号"), Qt::AlignLeft, 60, true);
            list->InsertColumn(2, QStringLiteral("字节值(HEX)"), Qt::AlignLeft, 80, true);
            for (int row = 0; row < 3; ++row)
                list->InsertItem(row, QString::number(row + 1));
            list->SetItemText(0, 1, QStringLiteral("5"));
            ok->setDefault(true);
            QObject::connect(ok, &QPushButton::clicked, [this] { ++okClicks; });
            auto* layout = new QVBoxLayout(&dialog);
            layout->addWidget(list);
            layout->addWidget(ok);
            dialog.resize(260, 200);
        }
        QPoint CellCentre(int row, int column) const
        {
            return list->visualRect(list->model()->index(row, column)).center();
        }
        CListCellEdit* Click(int row, int column) const
        {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(row, column));
            return list->Editor();
        }
    };

private Q_SLOTS:
    void keysStoreOrCancelAndLeaveTheDialogOpen()
    {
        Holder h;
        h.dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.dialog));
        QSignalSpy stored(h.list, &CListCtrlEx::cellTextStored);

        // Column 0 only selects.
        QVERIFY(!h.Click(1, 0));
        QCOMPARE(h.list->currentRow(), 1);

        // Escape: the cell keeps its text; the dialog stays.
        CListCellEdit* edit = h.Click(0, 1);
        QVERIFY(edit);
        QCOMPARE(edit->text(), QStringLiteral("5"));
        QVERIFY(edit->hasFocus());
        QTest::keyClicks(edit, QStringLiteral("77"));
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!h.list->Editor());
        QCOMPARE(h.list->GetItemText(0, 1), QStringLiteral("5"));
        QCOMPARE(stored.count(), 0);

        // Return stores, an empty text too, and presses no default button.
        edit = h.Click(0, 1);
        QVERIFY(edit);
        QTest::keyClick(edit, Qt::Key_Backspace); // the whole text was selected
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!h.list->Editor());
        QCOMPARE(h.list->GetItemText(0, 1), QString());
        QCOMPARE(stored.count(), 1);
        QCOMPARE(stored.at(0).at(2).toString(), QString());

        // A click on another cell stores the open edit and opens the next.
        edit = h.Click(2, 2);
        QTest::keyClicks(edit, QStringLiteral("0A"));
        CListCellEdit* next = h.Click(1, 1);
        QVERIFY(next && next != edit);
        QCOMPARE(h.list->GetItemText(2, 2), QStringLiteral("0A"));
        QCOMPARE(next->Row(), 1);
        // Enter of the keypad ends it like Return.
        QTest::keyClicks(next, QStringLiteral("3"));
        QTest::keyClick(next, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(h.list->GetItemText(1, 1), QStringLiteral("3"));

        QVERIFY(h.dialog.isVisible());
        QCOMPARE(h.okClicks, 0);
        QCOMPARE(h.dialog.result(), 0);
    }

    void scrollStoresAndEditorWidensToTheRightEdge()
    {
        Holder h;
        for (int row = 3; row < 40; ++row)
            h.list->InsertItem(row, QString::number(row + 1));
        h.dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&h.dialog));

        CListCellEdit* edit = h.Click(1, 2);
        QVERIFY(edit);
        const int startWidth = edit->width();
        QTest::keyClicks(edit, QStringLiteral("0123456789"));
        QVERIFY(edit->width() > startWidth);
        QTest::keyClicks(edit, QString(60, QLatin1Char('W')));
        QCOMPARE(edit->geometry().right(), h.list->viewport()->width() - 1);

        h.list->verticalScrollBar()->setValue(h.list->verticalScrollBar()->value() + 30);
        QVERIFY(!h.list->Editor());
        QVERIFY(h.list->GetItemText(1, 2).startsWith(QStringLiteral("0123456789WW")));
    }

    void pointsOutsideTheRowsHitNothing()
    {
        Holder h;
        h.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.dialog));
        int column = -1;
        QCOMPARE(h.list->CellFromPoint(h.CellCentre(2, 2), &column), 2);
        QCOMPARE(column, 2);
        const QRect last = h.list->visualRect(h.list->model()->index(2, 1));
        QCOMPARE(h.list->CellFromPoint(QPoint(last.center().x(), last.bottom() + 5), &column), -1);
        QCOMPARE(column, 0);
        QVERIFY(!h.list->EditCell(3, 1));
        QVERIFY(!h.list->EditCell(0, 3));
    }
};

QTEST_MAIN(tst_ListCtrlEx)
#include "tst_ListCtrlEx.moc"
