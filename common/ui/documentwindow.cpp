#include "common/ui/documentwindow.h"

DocumentWindow::DocumentWindow(DocKind kind, FrameServices &frame, QWidget *parent)
    : QWidget(parent), m_kind(kind), m_frame(frame)
{
}
