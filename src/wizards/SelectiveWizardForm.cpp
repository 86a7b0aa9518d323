#include "wizards/SelectiveWizardForm.h"

#include "app/Appearance.h"
#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/Icons.h"
#include "app/ProgressSink.h"
#include "app/ShellContext.h"
#include "wizards/DirectoryEdit.h"
#include "wizards/Messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>

namespace vellarion {

namespace {

constexpr int kWidth = 599;
constexpr int kHeight = 531;
constexpr int kListItemHeight = 20;
// A job repaints the window at most this often.
constexpr qint64 kRepaintIntervalMs = 33;

const QColor kNavy(0, 0, 128);
const QColor kHeaderText(0x1e, 0x39, 0x5b);

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A section: its bar and its bold heading.
Picture* placeSection(QWidget* parent, const char* barName, const char* labelName,
                      const QString& heading, int y, QLabel*& label) {
    Picture* bar = placePicture(parent, barName, pictureResource(PictureId::HeaderBar),
                                QRect(14, y, kWidth - 28, 22));
    label = placeLabel(parent, labelName, heading, QRect(24, y, 300, 22), true);
    setTextColour(label, kHeaderText);
    return bar;
}

QPushButton* placeButton(QWidget* parent, const char* name, const QString& text,
                         const QRect& rect) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(rect);
    return button;
}

// Hands the drawing of a list's entries to the window's ListBox1DrawItem,
// at the fixed entry height.
class RadioEntryDelegate : public QStyledItemDelegate {
public:
    RadioEntryDelegate(SelectiveWizardForm& form, QListWidget& list)
        : QStyledItemDelegate(&list), form_(form), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        form_.ListBox1DrawItem(&list_, index.row(), option.rect, option.state, *painter);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kListItemHeight};
    }

private:
    SelectiveWizardForm& form_;
    QListWidget& list_;
};

QListWidget* placeList(SelectiveWizardForm& form, const char* name, const QRect& rect) {
    auto* list = new QListWidget(&form);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(rect);
    list->setUniformItemSizes(true);
    list->setItemDelegate(new RadioEntryDelegate(form, *list));
    return list;
}

void fillList(QListWidget* list, const ChoiceList& choices) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::string& entry : choices.entries) {
        list->addItem(QString::fromStdString(entry));
    }
    list->setCurrentRow(choices.selected);
    list->setEnabled(choices.enabled);
}

} // namespace

SelectiveWizardForm::SelectiveWizardForm(ShellContext& context, const BrowserDataSet& data,
                                         Mode mode, const Look& look, QWidget* parent)
    : QWidget(parent), Label4(nullptr), JvDirectoryEdit1(nullptr), ListBox2(nullptr),
      context_(context), data_(data), mode_(mode), job_(context.services, data, state, *this) {
    ensureResources();
    const SelectiveWizardData& sel = data.selective;
    const bool restore = mode == Mode::Restore;
    setWindowTitle(caption());
    setFont(programFont());
    setBackground(this, formColor());
    setFixedSize(kWidth, kHeight);

    Image1 = placePicture(this, "Image1", pictureResource(PictureId::WelcomeBackground), rect());
    Image5 = placePicture(this, "Image5", look.banner, QRect(8, 8, 583, 55));
    Image6 = placePicture(this, "Image6", look.icon, QRect(18, 11, 48, 48));
    Label1 = placeLabel(this, "Label1", title(), QRect(78, 10, 505, 50), false, true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont big = Label1->font();
    big.setPointSize(12);
    big.setBold(true);
    Label1->setFont(big);
    setTextColour(Label1, kNavy);

    Image4 = placeSection(this, "Image4", "Label18",
                          restore ? QStringLiteral("Восстанавливает:")
                                  : QStringLiteral("Архивирует следующее:"),
                          74, Label18);
    buildItemBoxes();
    const int left = sel.grid.columns.empty() ? 39 : sel.grid.columns.front();
    Button4 = placeButton(this, "Button4", QStringLiteral("Выбрать все"), QRect(left, 252, 96, 23));
    Button6 =
        placeButton(this, "Button6", QStringLiteral("Снять все"), QRect(left + 102, 252, 96, 23));

    Image2 =
        placeSection(this, "Image2", "Label2", fromUtf8(kBackupLocationPlaceholder), 286, Label2);
    JvDirectoryEdit2 =
        new DirectoryEdit(context.dialogs, fromUtf8(kBackupLocationPlaceholder), this);
    JvDirectoryEdit2->setObjectName(QStringLiteral("JvDirectoryEdit2"));
    JvDirectoryEdit2->setGeometry(39, 318, 480, 21);

    Image3 = placeSection(
        this, "Image3", "Label3",
        restore ? fromUtf8(sel.restoreArchiveHeading) : QStringLiteral("Профиль:"), 366, Label3);
    if (restore) {
        Label4 = placeLabel(this, "Label4", QStringLiteral("Восстановление следующих профилей:"),
                            QRect(190, 366, 300, 22), true);
        setTextColour(Label4, kHeaderText);
    }
    buildLists();
    if (!sel.customProfileName.empty()) {
        JvDirectoryEdit1 =
            new DirectoryEdit(context.dialogs, fromUtf8(kCustomProfilePlaceholder), this);
        JvDirectoryEdit1->setObjectName(QStringLiteral("JvDirectoryEdit1"));
        JvDirectoryEdit1->setGeometry(39, 449, 480, 21);
        JvDirectoryEdit1->setGreyText(true);
        connect(JvDirectoryEdit1, &DirectoryEdit::textChanged, this,
                &SelectiveWizardForm::JvDirectoryEdit1Change);
    }

    Button2 = placeButton(this, "Button2", QStringLiteral("Вперед >"), QRect(405, 484, 80, 25));
    Button3 = placeButton(this, "Button3", QStringLiteral("Отмена"), QRect(493, 484, 80, 25));
    Button1 = placeButton(this, "Button1", QStringLiteral("Готово"), Button2->geometry());
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    Button1->hide();

    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, &SelectiveWizardForm::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &SelectiveWizardForm::Button1Click);
    if (restore) {
        connect(JvDirectoryEdit2, &DirectoryEdit::textChanged, this,
                [this] { JvDirectoryEdit2Change(); });
    }
}

SelectiveWizardForm::~SelectiveWizardForm() = default;

QString SelectiveWizardForm::caption() const {
    const WizardTexts& texts = data_.selective.texts;
    return fromUtf8(mode_ == Mode::Backup ? texts.backupCaption : texts.restoreCaption);
}

QString SelectiveWizardForm::title() const {
    const WizardTexts& texts = data_.selective.texts;
    return fromUtf8(mode_ == Mode::Backup ? texts.backupTitle : texts.restoreTitle);
}

void SelectiveWizardForm::buildItemBoxes() {
    const ItemGrid& grid = data_.selective.grid;
    const int columns = static_cast<int>(grid.columns.size());
    for (const SelectiveItem& item : data_.selective.items) {
        auto* box = new QCheckBox(fromUtf8(item.caption), this);
        box->setObjectName(fromUtf8(item.checkBox));
        // A box reaches to the next column (or the window's edge), never over it.
        const int column = std::clamp(item.place.column, 1, std::max(columns, 1)) - 1;
        const int left = columns > 0 ? grid.columns[static_cast<size_t>(column)] : 0;
        const int right =
            column + 1 < columns ? grid.columns[static_cast<size_t>(column) + 1] : kWidth;
        box->setGeometry(left, grid.top + grid.pitch * (item.place.row - 1), right - left - 4, 17);
        box->setChecked(item.tickedAtStart);
        box->setEnabled(item.enabled);
        boxes_.push_back(box);
    }
}

void SelectiveWizardForm::buildLists() {
    const bool restore = mode_ == Mode::Restore;
    if (restore) {
        ListBox2 = placeList(*this, "ListBox2", QRect(39, 393, 138, 46));
        connect(ListBox2, &QListWidget::currentRowChanged, this,
                [this](int row) { job_.archives.selected = row; });
        connect(ListBox2, &QListWidget::clicked, this, [this] { ListBox1Click(); });
    }
    ListBox1 =
        placeList(*this, "ListBox1", restore ? QRect(183, 393, 250, 46) : QRect(39, 397, 250, 46));
    if (!data_.selective.listsProfiles) {
        // A browser without profiles: one entry that cannot be chosen.
        ListBox1->setItemDelegate(new QStyledItemDelegate(ListBox1));
        ListBox1->addItem(QStringLiteral("По умолчанию"));
        ListBox1->setEnabled(false);
        return;
    }
    connect(ListBox1, &QListWidget::currentRowChanged, this,
            [this](int row) { job_.profiles.selected = row; });
    connect(ListBox1, &QListWidget::clicked, this, [this] { ListBox1Click(); });
}

void SelectiveWizardForm::showLists() {
    if (data_.selective.listsProfiles) {
        fillList(ListBox1, job_.profiles);
    }
    if (ListBox2 != nullptr) {
        fillList(ListBox2, job_.archives);
    }
}

QCheckBox* SelectiveWizardForm::checkBox(std::string_view name) const {
    const QString wanted = fromUtf8(name);
    for (QCheckBox* box : boxes_) {
        if (box->objectName() == wanted) {
            return box;
        }
    }
    return nullptr;
}

bool SelectiveWizardForm::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ParentChange:
        watchActivation();
        break;
    case QEvent::WindowActivate:
        // A window of its own (not inside the main window) is active when
        // its top-level window is.
        if (isWindow()) {
            FormActivate();
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void SelectiveWizardForm::watchActivation() {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame == nullptr || watchingFrame_) {
        return;
    }
    watchingFrame_ = true;
    // Inside the main window the window is active when its frame becomes the
    // active document; the main window coming back to the front is no new
    // activation.
    connect(frame, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates before, Qt::WindowStates now) {
                if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive)) {
                    FormActivate();
                }
            });
}

void SelectiveWizardForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void SelectiveWizardForm::FormClose() {
    deleteLater();
}

void SelectiveWizardForm::FormActivate() {
    Label1->setText(title());
    Button1->hide();
    if (job_.activate()) {
        showLists();
        Button2->setFocus();
    }
}

void SelectiveWizardForm::Button2Click() {
    SelectiveChoices choices;
    choices.backupLocation = JvDirectoryEdit2->text().toStdString();
    choices.customLocation = JvDirectoryEdit1 != nullptr ? JvDirectoryEdit1->text().toStdString()
                                                         : std::string(kCustomProfilePlaceholder);
    choices.ticked = [this](std::string_view name) {
        const QCheckBox* box = checkBox(name);
        return box != nullptr && box->isChecked();
    };
    choices.deleteArchive = mode_ == Mode::Restore && deletesArchiveAfterRestore();

    // However the job ends, the lists show what it left in them.
    struct ShowListsAtEnd {
        SelectiveWizardForm& form;
        ~ShowListsAtEnd() { form.showLists(); }
    } showListsAtEnd{*this};
    if (mode_ == Mode::Backup) {
        job_.backup(choices);
    } else {
        job_.restore(choices);
    }
}

void SelectiveWizardForm::Button4Click() {
    for (std::string_view name : job_.selectAllBoxes()) {
        if (QCheckBox* box = checkBox(name)) {
            box->setChecked(true);
        }
    }
}

void SelectiveWizardForm::Button6Click() {
    for (std::string_view name : job_.selectAllBoxes()) {
        if (QCheckBox* box = checkBox(name)) {
            box->setChecked(false);
        }
    }
}

void SelectiveWizardForm::ListBox1Click() {
    Button2->setFocus();
}

void SelectiveWizardForm::ListBox1DrawItem(QListWidget* Control, int Index, const QRect& Rect,
                                           QStyle::State State, QPainter& Canvas) {
    Canvas.save();
    Canvas.fillRect(Rect, Qt::white);
    QStyleOptionButton radio;
    radio.initFrom(Control);
    radio.rect = QRect(Rect.left() + 1, Rect.top(), 12, Rect.height());
    radio.state = QStyle::State_Enabled |
                  (State.testFlag(QStyle::State_Selected) ? QStyle::State_On : QStyle::State_Off);
    radio.palette.setColor(QPalette::Base, Qt::white);
    Control->style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &radio, &Canvas, Control);
    Canvas.setPen(Qt::black);
    Canvas.setFont(Control->font());
    const QListWidgetItem* item = Control->item(Index);
    Canvas.drawText(QRect(15, Rect.top() + 3, Rect.right() - 15, Rect.height() - 3),
                    Qt::AlignLeft | Qt::AlignTop, item != nullptr ? item->text() : QString());
    Canvas.restore();
}

void SelectiveWizardForm::JvDirectoryEdit1Change() {
    job_.customProfileChanged();
    showLists();
}

void SelectiveWizardForm::JvDirectoryEdit2Change() {
    if (mode_ != Mode::Restore) {
        return;
    }
    job_.listArchives(JvDirectoryEdit2->text().toStdString());
    showLists();
}

void SelectiveWizardForm::DoCompressFile(const QString&) {
    repaintThrottled();
}

void SelectiveWizardForm::DoDecompressFile(const QString&) {
    repaintThrottled();
}

void SelectiveWizardForm::repaintThrottled() {
    if (!lastRepaint_.isValid() || lastRepaint_.elapsed() >= kRepaintIntervalMs) {
        // The job holds the window thread: paint now, not when it ends.
        repaint();
        lastRepaint_.restart();
    }
}

void SelectiveWizardForm::Button1Click() {
    context_.terminate();
}

void SelectiveWizardForm::Button3Click() {
    context_.terminate();
}

void SelectiveWizardForm::showMessage(const std::string& text) {
    context_.dialogs.showMessage(this, QString::fromStdString(text));
}

void SelectiveWizardForm::progressShow() {
    context_.progress.showProgress();
}

void SelectiveWizardForm::progressStep(int amount) {
    context_.progress.stepBy(amount);
}

void SelectiveWizardForm::progressSet(int position) {
    context_.progress.setPosition(position);
}

void SelectiveWizardForm::progressHide() {
    context_.progress.hideProgress();
}

void SelectiveWizardForm::busy(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void SelectiveWizardForm::untick(std::string_view name) {
    if (QCheckBox* box = checkBox(name)) {
        box->setChecked(false);
    }
}

void SelectiveWizardForm::fileStarted(const std::string& path) {
    const QString file = QString::fromStdString(path);
    if (mode_ == Mode::Backup) {
        DoCompressFile(file);
    } else {
        DoDecompressFile(file);
    }
}

void SelectiveWizardForm::jobFinished() {
    Button1->show();
    Button1->raise();
}

void SelectiveWizardForm::packingStarts() {
    Label1->clear();
}

} // namespace vellarion
