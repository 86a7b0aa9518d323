#include "gui/wizards/DocumentForm.h"

#include "gui/kit/Appearance.h"
#include "gui/kit/Controls.h"
#include "gui/kit/DocumentFrame.h"
#include "gui/kit/ErrorBox.h"
#include "gui/kit/Icons.h"
#include "gui/kit/ShellContext.h"
#include "gui/kit/Texts.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

namespace vellarion {

namespace {

constexpr int kWidth = DocumentFrame::kClientWidth;
constexpr int kHeight = DocumentFrame::kClientHeight;
// A job holds the window thread; repainting at most this often shows its
// progress without costing it time.
constexpr qint64 kRepaintIntervalMs = 33;

const QColor kTitleColour(0, 0, 128);
const QColor kHeadingColour(0x1e, 0x39, 0x5b);

} // namespace

QString qText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

DocumentForm::DocumentForm(ShellContext& context, const QString& caption, const QString& title,
                           const Look& look, QWidget* parent)
    : QWidget(parent), Button2(nullptr), Button3(nullptr), Button1(nullptr), context_(context),
      title_(title) {
    ensureResources();
    setWindowTitle(caption);
    setFont(programFont());
    setBackground(this, look.background);
    setFixedSize(kWidth, kHeight);

    Image1 = placePicture(this, "Image1", look.backgroundPicture, rect());
    Image5 = placePicture(this, "Image5", look.banner, QRect(8, 8, 583, 55));
    Image6 = placePicture(this, "Image6", look.icon, QRect(16, 11, 48, 48));
    Label1 = placeLabel(this, "Label1", title, QRect(76, 8, 505, 55), false, true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont titleFont = Label1->font();
    titleFont.setPointSize(look.titlePointSize);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    setTextColour(Label1, kTitleColour);
}

DocumentForm::~DocumentForm() = default;

QLabel* DocumentForm::placeHeading(const char* name, const QString& text, const QRect& rect) {
    QLabel* label = placeLabel(this, name, text, rect, true);
    setTextColour(label, kHeadingColour);
    return label;
}

Picture* DocumentForm::placeSection(const char* barName, const char* labelName,
                                    const QString& heading, int y, QLabel*& label) {
    Picture* bar = placePicture(this, barName, pictureResource(PictureId::HeaderBar),
                                QRect(14, y, kWidth - 28, 22));
    label = placeHeading(labelName, heading, QRect(24, y, 300, 22));
    return bar;
}

void DocumentForm::placeButtons() {
    placeButtons(QRect(kWidth - 26 - 80 - 8 - 80, 484, 80, 25),
                 QRect(kWidth - 26 - 80, 484, 80, 25));
}

void DocumentForm::placeButtons(const QRect& next, const QRect& cancel) {
    Button2 = place<QPushButton>("Button2", next, ui("Вперед >"));
    Button3 = place<QPushButton>("Button3", cancel, ui("Отмена"));
    Button1 = place<QPushButton>("Button1", next, ui("Готово"));
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    Button1->hide();

    connectHandler(Button1, &QPushButton::clicked, [this] { Button1Click(); });
    connectHandler(Button2, &QPushButton::clicked, [this] { Button2Click(); });
    connectHandler(Button3, &QPushButton::clicked, [this] { Button3Click(); });
}

void DocumentForm::guarded(const std::function<void()>& handler) {
    runGuarded(context_.dialogs, this, handler);
}

void DocumentForm::FormActivate() {
    Label1->setText(title_);
    if (Button1 != nullptr) {
        Button1->hide();
    }
}

void DocumentForm::FormClose(QCloseEvent* event) {
    setAttribute(Qt::WA_DeleteOnClose);
    event->accept();
}

void DocumentForm::Button1Click() {
    context_.terminate();
}

void DocumentForm::Button3Click() {
    context_.terminate();
}

void DocumentForm::repaintThrottled() {
    if (!lastRepaint_.isValid() || lastRepaint_.elapsed() >= kRepaintIntervalMs) {
        repaint();
        lastRepaint_.restart();
    }
}

void DocumentForm::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

void DocumentForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) {
        return;
    }
    shownOnce_ = true;
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame == nullptr || frame->mdiArea() == nullptr) {
        active_ = true;
        guarded([this] { FormActivate(); });
        return;
    }
    frame_ = frame;
    connect(frame->mdiArea(), &QMdiArea::subWindowActivated, this,
            &DocumentForm::documentActivated);
    if (frame->mdiArea()->activeSubWindow() == frame) {
        documentActivated(frame);
    }
}

void DocumentForm::documentActivated(QMdiSubWindow* window) {
    if (window == nullptr) {
        // The main window lost the focus (a message box, another program):
        // no other document became active, so coming back is no activation.
        return;
    }
    if (window != frame_) {
        active_ = false;
    } else if (!active_) {
        active_ = true;
        guarded([this] { FormActivate(); });
    }
}

} // namespace vellarion
