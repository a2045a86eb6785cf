#pragma once

#include "app/monitor/XRichEditView.h"

// The monitor view of the main window. All its behaviour is CXRichEditView's; the class
// exists so that the monitor has a name of its own.
class CVRLView : public CXRichEditView
{
    Q_OBJECT
public:
    explicit CVRLView(QWidget* parent = nullptr);
};
