#pragma once

#include "gui/ribbon/RibbonScheme.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <vector>

class QAction;
class QStackedWidget;

namespace vellarion {

class KeyTipController;
class RibbonApplicationButton;
class RibbonButton;
class RibbonPage;
class ScreenTip;
class ScreenTipsManager;

// A command ribbon in the manner of the Office 2010 ribbon: a title strip with
// the quick-access bar and the caption, a row of tabs led by the application
// button, and below it the page of the current tab with its groups of large
// buttons. Key tips appear when Alt is tapped; screen tips when the mouse
// rests on a button. The ribbon knows nothing of the commands it shows: it
// triggers the QActions it is given.
class Ribbon : public QWidget {
    Q_OBJECT
public:
    explicit Ribbon(QWidget* parent = nullptr);
    ~Ribbon() override;

    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }

    // Appends a tab with its key tip and the page it shows.
    RibbonPage* addTab(const QString& tabCaption, const QString& keyTip,
                       const QString& pageCaption);
    int count() const { return static_cast<int>(tabs_.size()); }
    RibbonPage* page(int index) const;
    QString tabCaption(int index) const;
    QString tabKeyTip(int index) const;
    // Where a tab is drawn, in ribbon coordinates.
    QRect tabRect(int index) const;
    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);
    RibbonPage* currentPage() const { return page(current_); }

    // The quick-access bar: icon-only buttons above the tabs.
    RibbonButton* addQuickAccessAction(QAction* action);
    const QList<RibbonButton*>& quickAccessButtons() const { return quickAccess_; }

    RibbonApplicationButton* applicationButton() const { return applicationButton_; }

    // Headers and descriptions of the screen tips, per action.
    ScreenTipsManager* screenTips() const { return screenTips_; }
    // The screen tip window (hidden when no tip shows).
    ScreenTip* screenTip() const { return screenTip_; }
    void showScreenTip(QWidget* anchor, const QString& header, const QString& description);
    void hideScreenTip();

    void setScheme(RibbonScheme scheme);
    RibbonScheme scheme() const { return scheme_; }
    const RibbonColors& colors() const { return schemeColors(scheme_); }

    // Key tips: shown on the tabs (and quick-access bar and application
    // button) after a tap of Alt, then on the buttons of the chosen tab.
    void showKeyTips();
    void hideKeyTips();
    bool keyTipsVisible() const;
    QStringList visibleKeyTips() const;

    // The height of the title strip plus the tab row: where pages begin.
    int pageTop() const;

signals:
    void currentChanged(int index);
    void schemeChanged(vellarion::RibbonScheme scheme);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class RibbonTabBar;

    void updateHeights();

    struct Tab {
        QString caption;
        QString keyTip;
        RibbonPage* page;
    };

    QString caption_;
    std::vector<Tab> tabs_;
    int current_ = -1;
    RibbonScheme scheme_ = RibbonScheme::Luna;
    QList<RibbonButton*> quickAccess_;

    class RibbonTitleBar* titleBar_;
    class RibbonTabBar* tabBar_;
    QStackedWidget* pages_;
    RibbonApplicationButton* applicationButton_;
    ScreenTipsManager* screenTips_;
    ScreenTip* screenTip_;
    KeyTipController* keyTips_;
};

} // namespace vellarion
