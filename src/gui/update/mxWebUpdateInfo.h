#pragma once

#include "core/update/HttpTransport.h"
#include "core/update/mxWebUpdate.h"

#include <QDialog>
#include <QTextBrowser>
#include <QUrl>

class QFrame;
class QPushButton;

namespace vellarion {

// Shows the maker's update page. Pages and their pictures come through the
// update check's own transport; links open in the user's web browser.
class UpdatePageBrowser : public QTextBrowser {
public:
    UpdatePageBrowser(HttpTransport& transport, QWidget* parent);
    void navigate(const HttpRequest& page);

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    std::optional<QByteArray> fetch(const QUrl& url);

    HttpTransport& transport_;
    HttpRequest page_;
    QUrl base_;
};

// The information window: the update page with OK and Cancel, shown modally
// by the update component before it downloads.
class Tfrm_ShowInfoUpdate : public QDialog, public UpdateInfoWindow {
    Q_OBJECT
public:
    explicit Tfrm_ShowInfoUpdate(HttpTransport& transport, QWidget* parent = nullptr);

    QFrame* Panel1;
    UpdatePageBrowser* WebBrowser;
    QFrame* Panel_Bottom;
    QPushButton* btn_OK;
    QPushButton* btn_Cancel;

    // Keeps the two buttons side by side about the middle of the panel.
    void Panel_BottomResize();

    void setButtonCaptions(const std::string& ok, const std::string& cancel) override;
    void Navigate(const HttpRequest& page) override;
    bool showModal() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vellarion
