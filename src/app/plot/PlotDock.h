#pragma once

#include <QDockWidget>

class CPlotView;
class QLabel;
class QPushButton;
class QToolButton;
class QTreeWidget;

// The dock "曲线": the buttons, the list of channels (with what each skipped and whether its
// source is there) and the picture. It holds no samples: the plotting unit fills it.
class CPlotDock : public QDockWidget
{
    Q_OBJECT
public:
    enum Column
    {
        kNameColumn,
        kSourceColumn,
        kValueColumn,
        kSkippedColumn,
        kStateColumn
    };

    explicit CPlotDock(QWidget* parent);

    CPlotView* View() const { return m_pView; }
    QTreeWidget* List() const { return m_pList; }
    QPushButton* AddButton() const { return m_pAdd; }
    QPushButton* EditButton() const { return m_pEdit; }
    QPushButton* RemoveButton() const { return m_pRemove; }
    QPushButton* FollowButton() const { return m_pFollow; }
    QPushButton* ClearButton() const { return m_pClear; }
    QToolButton* ExportButton() const { return m_pExport; }
    QPushButton* PictureButton() const { return m_pPicture; }
    QLabel* Memory() const { return m_pMemory; }

private:
    CPlotView* m_pView;
    QTreeWidget* m_pList;
    QPushButton* m_pAdd;
    QPushButton* m_pEdit;
    QPushButton* m_pRemove;
    QPushButton* m_pFollow;
    QPushButton* m_pClear;
    QToolButton* m_pExport;
    QPushButton* m_pPicture;
    QLabel* m_pMemory;
};
