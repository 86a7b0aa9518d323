#pragma once

#include "gui/kit/ProgressSink.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

class QProgressBar;

namespace vellarion {

// The progress window: a borderless bar centred on the screen, hidden except
// while a selective job runs. It lives for the whole run. The job runs on the
// window thread; the bar repaints itself (at most about 30 times a second)
// while the job holds that thread.
class Tf_pBar : public QWidget, public ProgressSink {
    Q_OBJECT
public:
    explicit Tf_pBar(QWidget* parent = nullptr);

    QProgressBar* ProgressBar1;

    // Runs whenever the window becomes active: the bar starts from 0.
    void FormActivate();

    void showProgress() override;
    void stepBy(int delta) override;
    void setPosition(int position) override;
    int position() const override;
    void hideProgress() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void repaintThrottled(bool force);

    // Showing the window activates it, and that activation has already been
    // handled when the window system reports it a moment later.
    bool activationHandled_ = false;
    QElapsedTimer lastRepaint_;
};

extern QPointer<Tf_pBar> f_pBar;

} // namespace vellarion
