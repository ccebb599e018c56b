#include "gui/pictures.h"

#include "platform/controls.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qorva::gui {

namespace {

const QColor kNavy(0, 0, 128);

// A measuring head over a strip of four process colours.
QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 16.0;
    p.setPen(Qt::NoPen);
    const QColor strip[] = {QColor(0, 160, 220), QColor(220, 0, 120), QColor(250, 220, 0),
                            QColor(30, 30, 30)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(strip[i]);
        p.drawRect(QRectF(unit * (1 + 3.5 * i), unit * 11, unit * 3.5, unit * 4));
    }
    p.setBrush(kNavy);
    p.drawRoundedRect(QRectF(unit * 3, unit * 1, unit * 10, unit * 7), unit * 1.5, unit * 1.5);
    p.drawRect(QRectF(unit * 7, unit * 8, unit * 2, unit * 2.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(unit * 8, unit * 4.5), unit * 1.6, unit * 1.6);
    return pixmap;
}

// A row of typed cells, one per colour, as the order dialogs arrange them.
QPixmap drawExampleRow(int cells) {
    const int cellWidth = 64, height = 44;
    QPixmap pixmap(cellWidth * cells + 1, height + 1);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    QFont font = p.font();
    font.setPointSize(8);
    p.setFont(font);
    const char* values[] = {"1,45", "1,38", "1,02", "1,61", "1,27", "1,33", "1,50"};
    for (int i = 0; i < cells; ++i) {
        const QRect header(i * cellWidth, 0, cellWidth, height / 2);
        const QRect value(i * cellWidth, height / 2, cellWidth, height / 2);
        p.fillRect(header, QColor(230, 230, 240));
        p.setPen(Qt::gray);
        p.drawRect(header);
        p.drawRect(value);
        p.setPen(Qt::black);
        p.drawText(header, Qt::AlignCenter, QString::number(i + 1) + ".");
        p.drawText(value, Qt::AlignCenter, values[i % 7]);
    }
    return pixmap;
}

// An instrument on a printed sheet, for the Info dialog.
QPixmap drawProduct() {
    QPixmap pixmap(220, 120);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::gray, 1));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(10, 80, 200, 32);
    const QColor patches[] = {QColor(0, 160, 220), QColor(220, 0, 120), QColor(250, 220, 0),
                              QColor(30, 30, 30),  QColor(240, 120, 0), QColor(0, 160, 80),
                              QColor(40, 60, 200)};
    for (int i = 0; i < 7; ++i) p.fillRect(20 + i * 26, 88, 22, 16, patches[i]);
    QPainterPath body;
    body.addRoundedRect(QRectF(60, 10, 110, 62), 14, 14);
    p.setBrush(kNavy);
    p.drawPath(body);
    p.setBrush(QColor(200, 220, 255));
    p.drawRoundedRect(QRectF(74, 22, 56, 24), 4, 4);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(150, 34), 7, 7);
    return pixmap;
}

} // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(drawIcon(size));
    return icon;
}

QPixmap PictureFor(const TControl& image) {
    const std::string& form = image.Form() ? image.Form()->Name() : std::string();
    if (form == "Form3") return drawExampleRow(4);
    if (form == "Form4") return drawExampleRow(7);
    if (image.Name() == "Image1") return drawIcon(48);
    return drawProduct();
}

void PaintGradientPanel(QPainter& painter, const QRect& area) {
    QLinearGradient gradient(area.topLeft(), area.topRight());
    gradient.setColorAt(0, kNavy);
    gradient.setColorAt(1, QColor(90, 140, 230));
    painter.fillRect(area, gradient);
    QFont font = painter.font();
    font.setBold(true);
    font.setItalic(true);
    font.setPointSize(20);
    painter.setFont(font);
    const QString logo = QStringLiteral("QORVA");
    const int logoWidth = painter.fontMetrics().horizontalAdvance(logo) + 16;
    const QRect logoArea(area.width() - logoWidth - 1, area.top(), logoWidth, area.height());
    painter.setPen(QColor(255, 255, 255, 220));
    painter.drawText(logoArea, Qt::AlignCenter, logo);
}

} // namespace qorva::gui
