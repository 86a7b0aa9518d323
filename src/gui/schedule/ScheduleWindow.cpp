#include "gui/schedule/ScheduleWindow.h"

#include "core/browsers/DataSet.h"
#include "core/services/PathMapper.h"
#include "gui/kit/Appearance.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/ErrorBox.h"
#include "gui/kit/Icons.h"
#include "gui/kit/Texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vellarion {

namespace {

QString qText(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string text(const QString& edit) {
    return edit.trimmed().toStdString();
}

} // namespace

Tf_Schedule::Tf_Schedule(Dialogs& dialogs, ScheduleStore store, std::filesystem::path program,
                         QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      dialogs_(dialogs), store_(std::move(store)), program_(std::move(program)) {
    setObjectName(QStringLiteral("f_Schedule"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(ui("Расписание"));
    setWindowIcon(programIcon(IconId::Schedule));
    setFont(programFont());

    ListSchedules = new QListWidget(this);
    ListSchedules->setObjectName(QStringLiteral("ListSchedules"));

    ComboBrowser = new QComboBox(this);
    ComboBrowser->setObjectName(QStringLiteral("ComboBrowser"));
    for (const BrowserDataSet* data : allDataSets()) {
        const QString name = qText(std::string(data->cliName()));
        if (ComboBrowser->findData(name) < 0) {
            ComboBrowser->addItem(qText(std::string(data->name)), name);
        }
    }
    EditLocation = new QLineEdit(this);
    EditLocation->setObjectName(QStringLiteral("EditLocation"));
    ButtonLocation = new QPushButton(QStringLiteral("..."), this);
    ButtonLocation->setObjectName(QStringLiteral("ButtonLocation"));
    CheckFull = new QCheckBox(ui("Архивировать все"), this);
    CheckFull->setObjectName(QStringLiteral("CheckFull"));
    EditProfile = new QLineEdit(this);
    EditProfile->setObjectName(QStringLiteral("EditProfile"));
    EditProfile->setPlaceholderText(ui("первый"));
    EditItems = new QLineEdit(this);
    EditItems->setObjectName(QStringLiteral("EditItems"));
    EditItems->setPlaceholderText(QStringLiteral("bookmarks,history"));
    ComboEvery = new QComboBox(this);
    ComboEvery->setObjectName(QStringLiteral("ComboEvery"));
    ComboEvery->addItem(ui("Каждый час"), QStringLiteral("hourly"));
    ComboEvery->addItem(ui("Каждый день"), QStringLiteral("daily"));
    ComboEvery->addItem(ui("Каждую неделю"), QStringLiteral("weekly"));
    ComboEvery->setCurrentIndex(1);
    SpinKeep = new QSpinBox(this);
    SpinKeep->setObjectName(QStringLiteral("SpinKeep"));
    SpinKeep->setRange(0, 1000);
    SpinKeep->setSpecialValueText(ui("одна копия, заменяется"));
    SpinKeep->setValue(3);
    CheckEncrypt = new QCheckBox(ui("Зашифровать паролем из файла"), this);
    CheckEncrypt->setObjectName(QStringLiteral("CheckEncrypt"));
    EditPasswordFile = new QLineEdit(this);
    EditPasswordFile->setObjectName(QStringLiteral("EditPasswordFile"));
    EditPasswordFile->setEnabled(false);
    connect(CheckEncrypt, &QCheckBox::toggled, EditPasswordFile, &QLineEdit::setEnabled);
    CheckLoggedOff = new QCheckBox(ui("Выполнять, даже если вход не выполнен"), this);
    CheckLoggedOff->setObjectName(QStringLiteral("CheckLoggedOff"));
#ifndef _WIN32
    CheckLoggedOff->hide(); // a systemd user timer runs while its manager does
#endif
    // A full backup takes the whole data folder: no profile, no items.
    connect(CheckFull, &QCheckBox::toggled, this, [this](bool full) {
        EditProfile->setEnabled(!full);
        EditItems->setEnabled(!full);
    });

    ButtonAdd = new QPushButton(ui("Добавить"), this);
    ButtonAdd->setObjectName(QStringLiteral("ButtonAdd"));
    ButtonRemove = new QPushButton(ui("Удалить"), this);
    ButtonRemove->setObjectName(QStringLiteral("ButtonRemove"));
    ButtonClose = new QPushButton(ui("Закрыть"), this);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));

    auto* location = new QHBoxLayout;
    location->addWidget(EditLocation);
    location->addWidget(ButtonLocation);
    auto* form = new QFormLayout;
    form->addRow(ui("Браузер:"), ComboBrowser);
    form->addRow(ui("Расположение резервной копии:"), location);
    form->addRow(QString(), CheckFull);
    form->addRow(ui("Профиль:"), EditProfile);
    form->addRow(ui("Элементы:"), EditItems);
    form->addRow(ui("Как часто:"), ComboEvery);
    form->addRow(ui("Хранить версий:"), SpinKeep);
    form->addRow(CheckEncrypt, EditPasswordFile);
    form->addRow(QString(), CheckLoggedOff);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonAdd);
    buttons->addWidget(ButtonRemove);
    buttons->addStretch();
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(ui("Расписания:"), this));
    layout->addWidget(ListSchedules);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(560, 480);

    const auto guarded = [this](void (Tf_Schedule::*handler)()) {
        return [this, handler] {
            runGuarded(dialogs_, this, [this, handler] { (this->*handler)(); });
        };
    };
    connect(ButtonLocation, &QPushButton::clicked, this,
            guarded(&Tf_Schedule::ButtonLocationClick));
    connect(ButtonAdd, &QPushButton::clicked, this, guarded(&Tf_Schedule::ButtonAddClick));
    connect(ButtonRemove, &QPushButton::clicked, this, guarded(&Tf_Schedule::ButtonRemoveClick));
    connect(ButtonClose, &QPushButton::clicked, this, &QWidget::close);
    runGuarded(dialogs_, this, [this] { relist(); });
}

void Tf_Schedule::relist() {
    ListSchedules->clear();
    const long long now = scheduleClock();
    for (const Schedule& s : store_.load()) {
        // Below each, its last run, the result and its last complete archive.
        const ScheduleState state = loadScheduleState(store_, s.id);
        auto* item = new QListWidgetItem(
            qText(scheduleSummary(s)).replace(QLatin1Char('\t'), QStringLiteral("   ")) +
                QLatin1Char('\n') +
                qText(scheduleStateSummary(state, scheduleOverdue(s, state, now))),
            ListSchedules);
        item->setData(Qt::UserRole, qText(s.id));
    }
}

void Tf_Schedule::ButtonLocationClick() {
    const QString folder =
        dialogs_.chooseFolder(this, ui("Расположение резервной копии"), EditLocation->text());
    if (!folder.isEmpty()) {
        EditLocation->setText(folder);
    }
}

void Tf_Schedule::ButtonAddClick() {
    Schedule s;
    s.browser = ComboBrowser->currentData().toString().toStdString();
    s.location = text(EditLocation->text());
    if (s.location.empty()) {
        dialogs_.showMessage(this, QStringLiteral("Please Select Backup Location"));
        return;
    }
    s.full = CheckFull->isChecked();
    if (!s.full) {
        s.profile = text(EditProfile->text());
        s.items = text(EditItems->text());
    }
    s.every = ComboEvery->currentData().toString().toStdString();
    s.keep = SpinKeep->value();
    s.encrypt = CheckEncrypt->isChecked();
    if (s.encrypt) {
        s.passwordFile = text(EditPasswordFile->text());
    }
    s.whetherLoggedOn = CheckLoggedOff->isChecked();
    const auto [added, installed] = addSchedule(store_, s, program_);
    relist();
    for (int i = 0; i < ListSchedules->count(); ++i) {
        if (ListSchedules->item(i)->data(Qt::UserRole).toString() == qText(added.id)) {
            ListSchedules->setCurrentRow(i);
        }
    }
    if (!installed.note.empty()) {
        dialogs_.message(this, qText(installed.note), Dialogs::Icon::Information,
                         Dialogs::Buttons::Ok);
    }
}

void Tf_Schedule::ButtonRemoveClick() {
    QListWidgetItem* item = ListSchedules->currentItem();
    if (item == nullptr) {
        return;
    }
    const QString id = item->data(Qt::UserRole).toString();
    if (!dialogs_.askYesNo(this, ui("Удалить расписание %1?").arg(id))) {
        return;
    }
    removeSchedule(store_, id.toStdString());
    relist();
}

} // namespace vellarion
