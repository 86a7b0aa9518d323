#include "gui/wizards/WizardForm.h"

#include "core/browsers/DataSet.h"
#include "core/wizards/Messages.h"
#include "gui/kit/Appearance.h"
#include "gui/kit/Controls.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/Icons.h"
#include "gui/kit/ProgressSink.h"
#include "gui/kit/ShellContext.h"
#include "gui/wizards/DirectoryEdit.h"
#include "gui/wizards/WizardPictures.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

namespace vellarion {

namespace {

constexpr int kWidth = 599;
constexpr int kHeight = 531;
// A job holds the window thread; repainting at most this often shows its
// progress without costing it time.
constexpr qint64 kRepaintIntervalMs = 33;

const QColor kTitleColour(0, 0, 128);
const QColor kHeadingColour(0x1e, 0x39, 0x5b);

} // namespace

QString qText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

WizardForm::WizardForm(ShellContext& context, const BrowserDataSet& data, const WizardTexts& texts,
                       Direction direction, const Look& look, QWidget* parent)
    : QWidget(parent), JvDirectoryEdit2(nullptr), Button2(nullptr), Button3(nullptr),
      Button1(nullptr), context_(context), data_(data), texts_(texts), direction_(direction) {
    ensureResources();
    setWindowTitle(
        qText(direction == Direction::Backup ? texts.backupCaption : texts.restoreCaption));
    setFont(programFont());
    setBackground(this, look.background);
    setFixedSize(kWidth, kHeight);

    Image1 = placePicture(this, "Image1", look.backgroundPicture, rect());
    Image5 = placePicture(this, "Image5", browserBanner(data.id), QRect(8, 8, 583, 55));
    Image6 = placePicture(this, "Image6", browserIcon(data.id), QRect(16, 11, 48, 48));
    Label1 = placeLabel(this, "Label1", title(), QRect(76, 8, 505, 55), false, true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont titleFont = Label1->font();
    titleFont.setPointSize(look.titlePointSize);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    setTextColour(Label1, kTitleColour);
}

WizardForm::~WizardForm() = default;

QString WizardForm::title() const {
    return qText(direction_ == Direction::Backup ? texts_.backupTitle : texts_.restoreTitle);
}

QLabel* WizardForm::placeHeading(const char* name, const QString& text, const QRect& rect) {
    QLabel* label = placeLabel(this, name, text, rect, true);
    setTextColour(label, kHeadingColour);
    return label;
}

Picture* WizardForm::placeSection(const char* barName, const char* labelName,
                                  const QString& heading, int y, QLabel*& label) {
    Picture* bar = placePicture(this, barName, pictureResource(PictureId::HeaderBar),
                                QRect(14, y, kWidth - 28, 22));
    label = placeHeading(labelName, heading, QRect(24, y, 300, 22));
    return bar;
}

void WizardForm::placeLocationEdit(const QRect& rect) {
    JvDirectoryEdit2 = place<DirectoryEdit>("JvDirectoryEdit2", rect, context_.dialogs,
                                            qText(kBackupLocationPlaceholder));
}

void WizardForm::placeButtons() {
    const QRect nextPlace(kWidth - 26 - 80 - 8 - 80, 484, 80, 25);
    Button2 = place<QPushButton>("Button2", nextPlace, QStringLiteral("Вперед >"));
    Button3 = place<QPushButton>("Button3", QRect(kWidth - 26 - 80, 484, 80, 25),
                                 QStringLiteral("Отмена"));
    Button1 = place<QPushButton>("Button1", nextPlace, QStringLiteral("Готово"));
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    Button1->hide();

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

void WizardForm::FormActivate() {
    Label1->setText(title());
    Button1->hide();
}

void WizardForm::FormClose(QCloseEvent* event) {
    setAttribute(Qt::WA_DeleteOnClose);
    event->accept();
}

void WizardForm::Button1Click() {
    context_.terminate();
}

void WizardForm::Button3Click() {
    context_.terminate();
}

void WizardForm::DoCompressFile(const QString&) {
    repaintThrottled();
}

void WizardForm::DoDecompressFile(const QString&) {
    repaintThrottled();
}

void WizardForm::DoProgress(qint32, qint32) {}

void WizardForm::repaintThrottled() {
    if (!lastRepaint_.isValid() || lastRepaint_.elapsed() >= kRepaintIntervalMs) {
        repaint();
        lastRepaint_.restart();
    }
}

void WizardForm::showMessage(const std::string& text) {
    context_.dialogs.showMessage(this, QString::fromStdString(text));
}

void WizardForm::progressShow() {
    context_.progress.showProgress();
}

void WizardForm::progressStep(int amount) {
    context_.progress.stepBy(amount);
}

void WizardForm::progressSet(int position) {
    context_.progress.setPosition(position);
}

void WizardForm::progressHide() {
    context_.progress.hideProgress();
}

void WizardForm::fileStarted(const std::string& path) {
    const QString file = QString::fromStdString(path);
    if (direction_ == Direction::Backup) {
        DoCompressFile(file);
    } else {
        DoDecompressFile(file);
    }
}

void WizardForm::fileProgress(std::int32_t position, std::int32_t total) {
    DoProgress(position, total);
}

void WizardForm::busy(bool on) {
    if (on) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
}

void WizardForm::jobFinished() {
    Button1->show();
    Button1->raise();
}

void WizardForm::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

void WizardForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) {
        return;
    }
    shownOnce_ = true;
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame == nullptr || frame->mdiArea() == nullptr) {
        active_ = true;
        FormActivate();
        return;
    }
    frame_ = frame;
    connect(frame->mdiArea(), &QMdiArea::subWindowActivated, this, &WizardForm::documentActivated);
    if (frame->mdiArea()->activeSubWindow() == frame) {
        documentActivated(frame);
    }
}

void WizardForm::documentActivated(QMdiSubWindow* window) {
    if (window == nullptr) {
        // The main window lost the focus (a message box, another program):
        // no other document became active, so coming back is no activation.
        return;
    }
    if (window != frame_) {
        active_ = false;
    } else if (!active_) {
        active_ = true;
        FormActivate();
    }
}

} // namespace vellarion
