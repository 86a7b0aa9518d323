#include "gui/wizards/SelectiveWizardForm.h"

#include "core/remote/RemoteFolder.h"
#include "core/wizards/Messages.h"
#include "core/wizards/PlainSecrets.h"
#include "gui/kit/Appearance.h"
#include "gui/kit/Controls.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/Icons.h"
#include "gui/kit/ShellContext.h"
#include "gui/kit/Texts.h"
#include "gui/wizards/DirectoryEdit.h"
#include "gui/wizards/EncryptionFields.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <algorithm>

namespace vellarion {

namespace {

constexpr int kWidth = 599;
constexpr int kListItemHeight = 20;

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

void fillList(QListWidget* list, const ChoiceList& choices) {
    const QSignalBlocker quiet(list);
    list->clear();
    // A profile by the name its user gave it, where the browser keeps one.
    for (size_t i = 0; i < choices.entries.size(); ++i) {
        list->addItem(QString::fromStdString(choices.shown(i)));
    }
    list->setCurrentRow(choices.selected);
    list->setEnabled(choices.enabled);
}

} // namespace

SelectiveWizardForm::SelectiveWizardForm(ShellContext& context, const BrowserDataSet& data,
                                         Direction direction, QWidget* parent)
    : WizardForm(context, data, data.selective.texts, direction,
                 {.background = formColor(),
                  .backgroundPicture = pictureResource(PictureId::WelcomeBackground),
                  .titlePointSize = 12},
                 parent),
      Label4(nullptr), JvDirectoryEdit1(nullptr), ListBox2(nullptr), NewProfileBox(nullptr),
      NewProfileEdit(nullptr), job_(context.services, data, state(), *this) {
    const SelectiveWizardData& sel = data.selective;
    const bool restore = direction == Direction::Restore;

    // The controls below the item boxes stand where the window was drawn for
    // a table of six rows, and lower down for a longer table, so that no
    // box ever covers "Выбрать все" or the sections after it.
    Image4 =
        placeSection("Image4", "Label18",
                     restore ? ui("Восстанавливает:") : ui("Архивирует следующее:"), 74, Label18);
    const int gridBottom = buildItemBoxes();
    const int buttonsTop = std::max(252, gridBottom + 8);
    const int locationTop = buttonsTop + 34;
    const int listsTop = std::max(366, locationTop + 65);
    const int left = sel.grid.columns.empty() ? 39 : sel.grid.columns.front();
    Button4 = place<QPushButton>("Button4", QRect(left, buttonsTop, 96, 23), ui("Выбрать все"));
    Button6 = place<QPushButton>("Button6", QRect(left + 102, buttonsTop, 96, 23), ui("Снять все"));

    Image2 = placeSection("Image2", "Label2", shownText(kBackupLocationPlaceholder), locationTop,
                          Label2);
    placeLocationEdit(QRect(39, locationTop + 32, 480, 21));

    Image3 = placeSection("Image3", "Label3",
                          restore ? shownText(sel.restoreArchiveHeading) : ui("Профиль:"), listsTop,
                          Label3);
    if (restore && sel.fixedArchiveName.empty()) {
        Label4 = placeHeading("Label4", ui("Восстановление следующих профилей:"),
                              QRect(190, listsTop, 300, 22));
        // The archive list's heading ends where the profile list's begins.
        Label3->resize(Label4->x() - Label3->x() - 4, Label3->height());
    }
    buildLists(listsTop);
    if (!sel.customProfileName.empty()) {
        JvDirectoryEdit1 =
            place<DirectoryEdit>("JvDirectoryEdit1", QRect(39, listsTop + 83, 480, 21),
                                 context.dialogs, qText(kCustomProfilePlaceholder));
        JvDirectoryEdit1->setGreyText(true);
        connectHandler(JvDirectoryEdit1, &DirectoryEdit::textChanged,
                       [this] { JvDirectoryEdit1Change(); });
    }

    if (!restore) {
        // Beside the profile list; the note beside "Выбрать все" and "Снять все".
        placeEncryption(QRect(300, listsTop + 29, 280, 41),
                        QRect(left + 208, buttonsTop - 4, kWidth - left - 208 - 14, 31));
        for (QCheckBox* box : boxes_) {
            connect(box, &QCheckBox::toggled, this, [this] { showPlainNote(); });
        }
        showPlainNote();
    }

    placeButtons();
    connectHandler(Button4, &QPushButton::clicked, [this] { Button4Click(); });
    connectHandler(Button6, &QPushButton::clicked, [this] { Button6Click(); });
    if (ListBox2 != nullptr) {
        connectHandler(JvDirectoryEdit2, &DirectoryEdit::textChanged,
                       [this] { JvDirectoryEdit2Change(); });
        connectHandler(JvDirectoryEdit2->lineEdit(), &QLineEdit::editingFinished, [this] {
            if (isRemoteLocation(JvDirectoryEdit2->text().toStdString())) {
                relistArchives();
            }
        });
    }
}

SelectiveWizardForm::~SelectiveWizardForm() = default;

int SelectiveWizardForm::buildItemBoxes() {
    const ItemGrid& grid = data().selective.grid;
    const int columns = static_cast<int>(grid.columns.size());
    int bottom = grid.top;
    for (const SelectiveItem& item : data().selective.items) {
        auto* box = new QCheckBox(shownText(item.caption), this);
        box->setObjectName(qText(item.checkBox));
        // A box reaches to the next column (or the window's edge), never over it.
        const int column = std::clamp(item.place.column, 1, std::max(columns, 1)) - 1;
        const int left = columns > 0 ? grid.columns[static_cast<size_t>(column)] : 0;
        const int right =
            column + 1 < columns ? grid.columns[static_cast<size_t>(column) + 1] : kWidth;
        box->setGeometry(left, grid.top + grid.pitch * (item.place.row - 1), right - left - 4, 17);
        box->setChecked(item.tickedAtStart);
        box->setEnabled(item.enabled);
        boxes_.push_back(box);
        bottom = std::max(bottom, box->geometry().bottom() + 1);
    }
    return bottom;
}

void SelectiveWizardForm::buildLists(int sectionTop) {
    // Both lists draw their entries in ListBox1DrawItem, at the fixed height.
    const auto placeList = [this](const char* name, const QRect& rect) {
        auto* list = place<QListWidget>(name, rect);
        list->setUniformItemSizes(true);
        list->setItemDelegate(new RadioEntryDelegate(*this, *list));
        return list;
    };
    const bool archiveList =
        direction() == Direction::Restore && data().selective.fixedArchiveName.empty();
    if (archiveList) {
        ListBox2 = placeList("ListBox2", QRect(39, sectionTop + 27, 138, 46));
        connect(ListBox2, &QListWidget::currentRowChanged, this,
                [this](int row) { job_.archives.selected = row; });
        connectHandler(ListBox2, &QListWidget::clicked, [this] { ListBox1Click(); });
    }
    ListBox1 = placeList("ListBox1", archiveList ? QRect(183, sectionTop + 27, 250, 46)
                                                 : QRect(39, sectionTop + 31, 250, 46));
    if (!data().selective.listsProfiles) {
        // A browser without profiles: one entry that cannot be chosen.
        ListBox1->setItemDelegate(new QStyledItemDelegate(ListBox1));
        ListBox1->addItem(ui("По умолчанию"));
        ListBox1->setEnabled(false);
        return;
    }
    connect(ListBox1, &QListWidget::currentRowChanged, this,
            [this](int row) { job_.profiles.selected = row; });
    connectHandler(ListBox1, &QListWidget::clicked, [this] { ListBox1Click(); });
    const SelectiveWizardData& sel = data().selective;
    if (direction() == Direction::Restore && sel.hooks.newProfileFolder &&
        sel.hooks.registerProfile) {
        const int left = ListBox1->geometry().right() + 8;
        const int top = ListBox1->y();
        NewProfileBox = place<QCheckBox>("NewProfileBox", QRect(left, top, kWidth - 14 - left, 19),
                                         ui("Новый профиль:"));
        NewProfileEdit =
            place<QLineEdit>("NewProfileEdit", QRect(left + 2, top + 23, kWidth - 20 - left, 21));
        NewProfileEdit->setText(ui("Восстановленный"));
        NewProfileEdit->setEnabled(false);
        connectHandler(NewProfileBox, &QCheckBox::clicked, [this] { NewProfileBoxClick(); });
    }
}

void SelectiveWizardForm::showLists() {
    if (data().selective.listsProfiles) {
        fillList(ListBox1, job_.profiles);
    }
    if (ListBox2 != nullptr) {
        fillList(ListBox2, job_.archives);
    }
    if (NewProfileBox != nullptr) {
        NewProfileBoxClick();
    }
}

void SelectiveWizardForm::NewProfileBoxClick() {
    const bool fresh = NewProfileBox->isChecked();
    NewProfileEdit->setEnabled(fresh);
    ListBox1->setEnabled(!fresh && job_.profiles.enabled);
    if (JvDirectoryEdit1 != nullptr) {
        JvDirectoryEdit1->setEnabled(!fresh);
    }
    if (fresh && isVisible()) {
        NewProfileEdit->setFocus();
        NewProfileEdit->selectAll();
    }
}

QCheckBox* SelectiveWizardForm::checkBox(std::string_view name) const {
    const QString wanted = qText(name);
    for (QCheckBox* box : boxes_) {
        if (box->objectName() == wanted) {
            return box;
        }
    }
    return nullptr;
}

void SelectiveWizardForm::FormActivate() {
    WizardForm::FormActivate();
    const bool found = job_.activate();
    // No profile found: a new one is where a restore can go.
    if (NewProfileBox != nullptr && job_.profiles.entries.empty()) {
        NewProfileBox->setChecked(true);
    }
    if (found || NewProfileBox != nullptr) {
        showLists();
    }
    if (found) {
        Button2->setFocus();
    }
}

void SelectiveWizardForm::showPlainNote() {
    encryption()->setHoldsSecrets(
        backupHoldsSecrets(data().selective, [this](std::string_view name) {
            const QCheckBox* box = checkBox(name);
            return box != nullptr && box->isChecked();
        }));
}

void SelectiveWizardForm::Button2Click() {
    if (direction() == Direction::Backup && !encryptionReady()) {
        return;
    }
    SelectiveChoices choices;
    choices.backupLocation = JvDirectoryEdit2->text().toStdString();
    choices.customLocation = JvDirectoryEdit1 != nullptr ? JvDirectoryEdit1->text().toStdString()
                                                         : std::string(kCustomProfilePlaceholder);
    choices.ticked = [this](std::string_view name) {
        const QCheckBox* box = checkBox(name);
        return box != nullptr && box->isChecked();
    };
    choices.deleteArchive = direction() == Direction::Restore && deletesArchiveAfterRestore();
    choices.registerProfile = direction() == Direction::Restore && registersProfile();
    if (NewProfileBox != nullptr && NewProfileBox->isChecked()) {
        choices.newProfile = NewProfileEdit->text().trimmed().toStdString();
        if (choices.newProfile.empty()) {
            context().dialogs.showError(this, ui("Введите имя нового профиля."));
            NewProfileEdit->setFocus();
            return;
        }
    }

    const std::string typed = choices.backupLocation;
    if (direction() == Direction::Backup &&
        !plainToRemoteAllowed(typed, backupHoldsSecrets(data().selective, choices.ticked))) {
        return;
    }
    // However the job ends, the lists show what it left in them, and the
    // archive list what the disk (or the remote) holds now: a restore may
    // have deleted its archive.
    try {
        runJob([&] {
            // A remote's private folder goes however the job ends.
            const std::unique_ptr<SelectiveWizardForm, void (*)(SelectiveWizardForm*)> closing(
                this, [](SelectiveWizardForm* form) { form->closeRemote(); });
            choices.backupLocation = jobLocation(typed);
            if (direction() == Direction::Backup) {
                if (job_.backup(choices) == JobOutcome::Done) {
                    sendToRemote({job_.archivePath()});
                }
                return;
            }
            // The archive chosen in the list, or the browser's own (without
            // either the job says so).
            if (remote() != nullptr &&
                (!data().selective.fixedArchiveName.empty() || job_.archives.selection())) {
                state().backups = choices.backupLocation;
                const std::optional<std::string> archive = job_.archiveToRestore();
                if (!archive) {
                    return; // the user was told
                }
                fetchFromRemote({*archive});
            }
            if (job_.restore(choices) == JobOutcome::Done && remote() != nullptr &&
                choices.deleteArchive) {
                remote()->removeArchive(state().atspaudziam);
            }
        });
    } catch (...) {
        relistArchives();
        throw;
    }
    relistArchives();
}

void SelectiveWizardForm::relistArchives() {
    const std::string typed = JvDirectoryEdit2->text().toStdString();
    if (ListBox2 != nullptr && backupLocationGiven(typed)) {
        // The archive chosen before stays chosen while it is still there.
        const std::optional<std::string> chosen = job_.archives.selection();
        listArchivesOf(typed);
        const std::vector<std::string>& entries = job_.archives.entries;
        if (chosen) {
            if (const auto it = std::find(entries.begin(), entries.end(), *chosen);
                it != entries.end()) {
                job_.archives.selected = static_cast<int>(it - entries.begin());
            }
        }
    }
    showLists();
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
    if (ListBox2 == nullptr) {
        return;
    }
    // A remote is listed once its name is typed whole (editing finished),
    // not at every key.
    const std::string typed = JvDirectoryEdit2->text().toStdString();
    if (isRemoteLocation(typed)) {
        job_.listArchives(std::string());
    } else {
        job_.listArchives(typed);
    }
    showLists();
}

void SelectiveWizardForm::listArchivesOf(const std::string& typed) {
    if (!isRemoteLocation(typed)) {
        job_.listArchives(typed);
        return;
    }
    // The remote's archives by name; one that cannot be listed lists none
    // (Next then says why).
    try {
        job_.listArchives(jobLocation(typed));
    } catch (const Error&) {
        job_.listArchives(std::string());
    }
    closeRemote();
}

void SelectiveWizardForm::untick(std::string_view name) {
    if (QCheckBox* box = checkBox(name)) {
        box->setChecked(false);
    }
}

void SelectiveWizardForm::packingStarts() {
    Label1->clear();
}

} // namespace vellarion
