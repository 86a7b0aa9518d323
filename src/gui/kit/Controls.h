#pragma once

#include <QIcon>
#include <QLabel>
#include <QString>
#include <QWidget>

class QSvgRenderer;

namespace vellarion {

// A label that reads as a web link: blue, underlined, hand cursor.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// A picture drawn from one of the program's SVG resources, filling its rect
// (in a build without QtSvg, from the PNGs rendered from it: see pictureIcon).
class Picture : public QWidget {
    Q_OBJECT
public:
    Picture(const QString& resource, QWidget* parent);

    const QString& resource() const { return resource_; }
    // True when the picture was found and could be read.
    bool isValid() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString resource_;
    QSvgRenderer* renderer_ = nullptr; // the drawing itself, with QtSvg
    QIcon rendered_;                   // or the PNGs rendered from it
};

// A picture of the resources placed at a fixed rectangle.
Picture* placePicture(QWidget* parent, const char* name, const QString& resource,
                      const QRect& rect);

// Sets the colour a label's text is drawn in.
void setTextColour(QWidget* widget, const QColor& colour);

// A word-wrapped label, or a plain one, placed at a fixed rectangle.
QLabel* placeLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect,
                   bool bold = false, bool wrap = false);

} // namespace vellarion
