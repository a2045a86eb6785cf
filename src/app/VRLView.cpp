#include "VRLView.h"

CVRLView::CVRLView(QWidget* parent)
    : CXRichEditView(parent)
{
}
