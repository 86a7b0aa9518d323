#include "gui/kit/Controls.h"

#include "gui/kit/Icons.h"

#include <QMouseEvent>
#include <QPainter>
#ifndef VELLARION_PNG_PICTURES
#include <QSvgRenderer>
#endif

namespace vellarion {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setTextColour(this, QColor(0, 0, 255));
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) {
        emit clicked();
    }
}

#ifndef VELLARION_PNG_PICTURES
Picture::Picture(const QString& resource, QWidget* parent)
    : QWidget(parent), resource_(resource), renderer_(new QSvgRenderer(resource, this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

bool Picture::isValid() const {
    return renderer_->isValid();
}

void Picture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    renderer_->render(&painter, QRectF(rect()));
}
#else
Picture::Picture(const QString& resource, QWidget* parent)
    : QWidget(parent), resource_(resource), rendered_(pictureIcon(resource)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

bool Picture::isValid() const {
    return !rendered_.isNull();
}

void Picture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The rendering made for the pixels the rect covers on the device (twice
    // as many each way on a screen of double density), stretched to the rect
    // like the drawing.
    const QSize pixels = painter.deviceTransform().mapRect(QRectF(rect())).size().toSize();
    const QPixmap pixmap = rendered_.pixmap(pixels, 1.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), pixmap);
}
#endif

Picture* placePicture(QWidget* parent, const char* name, const QString& resource,
                      const QRect& rect) {
    auto* picture = new Picture(resource, parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setGeometry(rect);
    return picture;
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel* placeLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect,
                   bool bold, bool wrap) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | (wrap ? Qt::AlignTop : Qt::AlignVCenter));
    label->setGeometry(rect);
    return label;
}

} // namespace vellarion
