#include "gui/kit/DocumentFrame.h"

#include <QCloseEvent>
#include <QTimer>

namespace vellarion {

DocumentFrame::DocumentFrame(std::unique_ptr<QWidget> window) : QMdiSubWindow(nullptr) {
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    QWidget* inside = window.release();
    setWidget(inside); // the frame owns it from here
    inside->installEventFilter(this);
    setGeometry(0, 0, kClientWidth, kClientHeight);
}

bool DocumentFrame::eventFilter(QObject* watched, QEvent* event) {
    const bool handled = QMdiSubWindow::eventFilter(watched, event);
    if (watched == widget() && event->type() == QEvent::Close && !closing_) {
        // The window closed itself: once it has (it may still refuse), the
        // frame goes too.
        QTimer::singleShot(0, this, [this] {
            if (!closing_ && (widget() == nullptr || widget()->isHidden())) {
                close();
            }
        });
    }
    return handled;
}

void DocumentFrame::closeEvent(QCloseEvent* event) {
    closing_ = true;
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted()) {
        closing_ = false;
    }
}

} // namespace vellarion
