#include "gui/shell/pBar.h"

#include "gui/kit/Appearance.h"

#include <QCoreApplication>
#include <QEvent>
#include <QProgressBar>

namespace vellarion {

QPointer<Tf_pBar> f_pBar;

namespace {

// A job runs on the window thread; repainting at most this often shows its
// progress without costing it time.
constexpr qint64 kRepaintIntervalMs = 33;

} // namespace

Tf_pBar::Tf_pBar(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("f_pBar"));
    setWindowTitle(QStringLiteral("Progress Bar"));
    setFont(programFont());
    setBackground(this, Qt::white);
    setFixedSize(151, 18);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(0, 0, 150, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
}

void Tf_pBar::FormActivate() {
    ProgressBar1->setValue(0);
}

void Tf_pBar::showProgress() {
    if (isVisible()) {
        // Still showing after a job that stopped with an error: no new
        // activation, the bar goes on from where it stands.
        return;
    }
    centreOnScreen(this);
    show();
    raise();
    activateWindow();
    FormActivate();
    activationHandled_ = true;
    repaintThrottled(true);
}

void Tf_pBar::stepBy(int delta) {
    setPosition(position() + delta);
}

void Tf_pBar::setPosition(int position) {
    ProgressBar1->setValue(std::clamp(position, 0, 100));
    repaintThrottled(position >= 100);
}

int Tf_pBar::position() const {
    return ProgressBar1->value();
}

void Tf_pBar::hideProgress() {
    hide();
    activationHandled_ = false;
}

void Tf_pBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (activationHandled_) {
            activationHandled_ = false;
        } else {
            FormActivate();
        }
    }
    QWidget::changeEvent(event);
}

void Tf_pBar::repaintThrottled(bool force) {
    if (!isVisible()) {
        return;
    }
    if (force || !lastRepaint_.isValid() || lastRepaint_.elapsed() >= kRepaintIntervalMs) {
        // The job holds the window thread, so nothing would be drawn until it
        // ends. Let the window system's exposures and paints through, but no
        // input: the user cannot start anything else meanwhile.
        ProgressBar1->update();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        lastRepaint_.restart();
    }
}

} // namespace vellarion
