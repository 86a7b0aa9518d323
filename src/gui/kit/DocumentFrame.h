#pragma once

#include <QMdiSubWindow>
#include <memory>

namespace vellarion {

// The frame of a document window inside the main window: no title bar, at
// the top-left corner of the client area, 599 x 531, freed when it closes
// (also when the window inside it closes itself).
class DocumentFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 599;
    static constexpr int kClientHeight = 531;

    explicit DocumentFrame(std::unique_ptr<QWidget> window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool closing_ = false;
};

} // namespace vellarion
