#pragma once

class QDockWidget;
class QMainWindow;

// A bottom dock that holds a table or a picture is hard to read a third of a row wide beside
// the send window: it gets a row of its own under it, across the whole width, when the send
// window is docked at the bottom.
namespace DockRow {

void PlaceInOwnRow(QMainWindow& window, QDockWidget& dock);
// Shows the dock; docked at the bottom and narrower than half the window (a layout stored by
// an earlier version), it is moved into a row of its own once laid out.
void ShowReadable(QMainWindow& window, QDockWidget& dock);

} // namespace DockRow
