#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>
#include <utility>

class QLabel;
class QMdiSubWindow;
class QPushButton;

namespace vellarion {

class Picture;
struct ShellContext;

// What every document window shares, the wizards and the converter alike:
// the caption-less child of the main window with its fixed client area, the
// background, the banner with the browser's icon and the title, Next,
// Cancel and Finish, and the handlers that behave the same everywhere
// (Finish and Cancel end the program, closing frees the window).
//
// The window lives inside the main window as a document. Each time it
// becomes the active document FormActivate runs again (not when the program
// merely gets the focus back from a message box or another program); on its
// own, outside the main window, it is activated once, when it first shows.
//
// Handlers run guarded: an error one throws ends that handler and reaches
// the standard error box where the handler is connected, never crossing
// Qt's dispatch.
class DocumentForm : public QWidget {
    Q_OBJECT
public:
    ~DocumentForm() override;

    Picture* Image1;      // background over the whole client area
    Picture* Image5;      // the banner
    Picture* Image6;      // the browser's icon, 48 x 48
    QLabel* Label1;       // the title, large navy text
    QPushButton* Button2; // "Вперед >": Next
    QPushButton* Button3; // "Отмена": Cancel
    QPushButton* Button1; // "Готово": Finish, in Next's place once shown

    // Every activation: the title set again and Finish hidden.
    virtual void FormActivate();
    // Next.
    virtual void Button2Click() = 0;
    // Closing frees the window.
    virtual void FormClose(QCloseEvent* event);
    // Finish and Cancel end the program.
    virtual void Button1Click();
    virtual void Button3Click();

protected:
    // How a window dresses the shared frame.
    struct Look {
        QColor background;
        QString backgroundPicture; // a resource drawn over the whole client area
        QString banner;            // the banner strip's resource
        QString icon;              // the icon's resource, drawn over the banner
        int titlePointSize = 12;
    };

    // Builds the background and the header. The window then places its own
    // controls, with placeButtons where they come in its tab order.
    DocumentForm(ShellContext& context, const QString& caption, const QString& title,
                 const Look& look, QWidget* parent);

    // The title FormActivate shows.
    const QString& title() const { return title_; }

    // A control of the window, named and placed where designed.
    template <class Control, class... Args>
    Control* place(const char* name, const QRect& rect, Args&&... args) {
        auto* control = new Control(std::forward<Args>(args)..., this);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(rect);
        return control;
    }
    // A bold heading of a section.
    QLabel* placeHeading(const char* name, const QString& text, const QRect& rect);
    // A section: the bar across the window at `y` and its bold heading.
    Picture* placeSection(const char* barName, const char* labelName, const QString& heading, int y,
                          QLabel*& label);
    // Next and Cancel at the bottom right (or where given), Finish hidden in
    // Next's place.
    void placeButtons();
    void placeButtons(const QRect& next, const QRect& cancel);

    // Runs a handler of the window; an error it throws ends the handler and
    // is shown in the standard error box.
    void guarded(const std::function<void()>& handler);
    // Connects a signal to a handler that runs guarded.
    template <class Sender, class Signal, class Handler>
    void connectHandler(Sender* sender, Signal signal, Handler handler) {
        connect(sender, signal, this, [this, handler] { guarded(handler); });
    }

    // Repaints at once, not waiting for the event loop that a job holds,
    // but at most about 30 times a second.
    void repaintThrottled();

    ShellContext& context() const { return context_; }

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void documentActivated(QMdiSubWindow* window);

    ShellContext& context_;
    QString title_;
    QPointer<QMdiSubWindow> frame_;
    bool shownOnce_ = false;
    bool active_ = false;
    QElapsedTimer lastRepaint_;
};

// A text of the data sets (UTF-8) as Qt takes it.
QString qText(std::string_view utf8);

} // namespace vellarion
