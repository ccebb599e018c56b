#pragma once
// QORVA's own pictures, drawn in code: the program icon, the top panel's gradient and
// logo, the Info dialog's product picture and the order dialogs' example row.
#include <QIcon>
#include <QPixmap>

class QPainter;
class QRect;

namespace qorva {
class TControl;
}

namespace qorva::gui {

QIcon ProgramIcon();
// The picture a control named Image... shows, chosen by its form.
QPixmap PictureFor(const TControl& image);
// The top panel's background and the logo at its right edge (left = width - logo - 1).
void PaintGradientPanel(QPainter& painter, const QRect& area);

} // namespace qorva::gui
