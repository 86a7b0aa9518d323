#include "wizards/FullWizardForm.h"

#include "app/Appearance.h"
#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/Icons.h"
#include "app/ShellContext.h"
#include "browsers/DataSet.h"
#include "wizards/DirectoryEdit.h"
#include "wizards/Messages.h"
#include "wizards/WizardPictures.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

namespace vellarion {

namespace {

constexpr int kWidth = 599;
constexpr int kHeight = 531;
// Where the fields of the two sections start and how wide they are.
constexpr int kFieldLeft = 39;
constexpr int kFieldWidth = 521;
// A job holds the window thread; repainting at most this often shows its
// progress without costing it time.
constexpr qint64 kRepaintIntervalMs = 33;

const QColor kTitleColour(0, 0, 128);
const QColor kHeadingColour(0x1e, 0x39, 0x5b);

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

void PathLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, static_cast<int>(alignment()),
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
}

// How the job reaches the window: its events become the documented
// handlers, its messages go through the Dialogs seam.
class FullWizardForm::Reporter : public JobReporter {
public:
    explicit Reporter(FullWizardForm& form) : form_(form) {}

    void showMessage(const std::string& message) override {
        form_.context_.dialogs.showMessage(&form_, QString::fromStdString(message));
    }
    void fileStarted(const std::string& path) override {
        const QString file = QString::fromStdString(path);
        if (form_.direction_ == Direction::Backup) {
            form_.DoCompressFile(file);
        } else {
            form_.DoDecompressFile(file);
        }
    }
    void fileProgress(std::int32_t position, std::int32_t total) override {
        form_.DoProgress(position, total);
    }
    void busy(bool on) override {
        if (on) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        } else {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    void jobStarted() override { form_.jobStarted(); }
    void jobFinished() override { form_.jobFinished(); }

private:
    FullWizardForm& form_;
};

FullWizardForm::FullWizardForm(ShellContext& context, const BrowserDataSet& data,
                               Direction direction, QWidget* parent)
    : QWidget(parent), context_(context), data_(data), direction_(direction),
      reporter_(std::make_unique<Reporter>(*this)),
      job_(context.services, data, state_, *reporter_) {
    const bool backup = direction == Direction::Backup;
    setWindowTitle(text(backup ? data.full.texts.backupCaption : data.full.texts.restoreCaption));
    setFont(programFont());
    setBackground(this, Qt::white);
    setFixedSize(kWidth, kHeight);

    Image1 = place<Picture>(this, "Image1", rect(), fullWizardBackground());
    Image5 = place<Picture>(this, "Image5", QRect(8, 8, 583, 55), browserBanner(data.id));
    Image6 = place<Picture>(this, "Image6", QRect(16, 11, 48, 48), browserIcon(data.id));
    Label1 = placeLabel(this, "Label1",
                        text(backup ? data.full.texts.backupTitle : data.full.texts.restoreTitle),
                        QRect(76, 8, 505, 55));
    QFont titleFont = Label1->font();
    titleFont.setPointSize(13);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    setTextColour(Label1, kTitleColour);

    Image4 = place<Picture>(this, "Image4", QRect(14, 78, 571, 22),
                            pictureResource(PictureId::HeaderBar));
    Label18 = placeLabel(this, "Label18", QStringLiteral("Расположение резервной копии:"),
                         QRect(24, 78, 400, 22), true);
    setTextColour(Label18, kHeadingColour);
    JvDirectoryEdit2 =
        place<DirectoryEdit>(this, "JvDirectoryEdit2", QRect(kFieldLeft, 114, kFieldWidth, 21),
                             context.dialogs, text(kBackupLocationPlaceholder));

    Image3 = place<Picture>(this, "Image3", QRect(14, 268, 571, 22),
                            pictureResource(PictureId::HeaderBar));
    Label3 =
        placeLabel(this, "Label3", QStringLiteral("Ход работы:"), QRect(24, 268, 400, 22), true);
    setTextColour(Label3, kHeadingColour);
    ProgressBar1 =
        place<QProgressBar>(this, "ProgressBar1", QRect(kFieldLeft, 302, kFieldWidth, 17));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    const QRect nextPlace(kWidth - 26 - 80 - 8 - 80, 484, 80, 25);
    Button2 = place<QPushButton>(this, "Button2", nextPlace, QStringLiteral("Вперед >"));
    Button3 = place<QPushButton>(this, "Button3", QRect(kWidth - 26 - 80, 484, 80, 25),
                                 QStringLiteral("Отмена"));
    Button1 = place<QPushButton>(this, "Button1", nextPlace, QStringLiteral("Готово"));
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    Button1->hide();
    Button2->setDefault(true);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

FullWizardForm::~FullWizardForm() = default;

void FullWizardForm::FormActivate() {
    const WizardTexts& texts = data_.full.texts;
    Label1->setText(text(direction_ == Direction::Backup ? texts.backupTitle : texts.restoreTitle));
    Button1->hide();
    job_.activate();
}

void FullWizardForm::FormClose(QCloseEvent* event) {
    setAttribute(Qt::WA_DeleteOnClose);
    event->accept();
}

void FullWizardForm::Button1Click() {
    context_.terminate();
}

void FullWizardForm::Button3Click() {
    context_.terminate();
}

void FullWizardForm::Button2Click() {
    const std::string location = JvDirectoryEdit2->text().toStdString();
    if (direction_ == Direction::Backup) {
        job_.backup(location);
    } else {
        job_.restore(location);
    }
}

void FullWizardForm::DoCompressFile(const QString&) {
    repaintThrottled();
}

void FullWizardForm::DoDecompressFile(const QString&) {
    repaintThrottled();
}

void FullWizardForm::DoProgress(qint32, qint32) {}

void FullWizardForm::jobStarted() {
    ProgressBar1->setValue(0);
}

void FullWizardForm::jobFinished() {
    ProgressBar1->setValue(0);
    Button1->show();
}

void FullWizardForm::repaintThrottled(bool force) {
    if (force || !lastRepaint_.isValid() || lastRepaint_.elapsed() >= kRepaintIntervalMs) {
        repaint();
        lastRepaint_.restart();
    }
}

void FullWizardForm::closeEvent(QCloseEvent* event) {
    FormClose(event);
}

void FullWizardForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) {
        return;
    }
    shownOnce_ = true;
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame == nullptr || frame->mdiArea() == nullptr) {
        // On its own (not a document of the main window), the window is
        // activated once, when it first shows.
        active_ = true;
        FormActivate();
        return;
    }
    frame_ = frame;
    connect(frame->mdiArea(), &QMdiArea::subWindowActivated, this,
            &FullWizardForm::documentActivated);
    if (frame->mdiArea()->activeSubWindow() == frame) {
        documentActivated(frame);
    }
}

void FullWizardForm::documentActivated(QMdiSubWindow* window) {
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
