#include "gui/wizards/DirectoryEdit.h"

#include "gui/kit/Dialogs.h"
#include "gui/kit/Texts.h"

#include <QCompleter>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace vellarion {

DirectoryEdit::DirectoryEdit(Dialogs& dialogs, const QString& initialText, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), edit_(new QLineEdit(initialText, this)),
      button_(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edit_);
    layout->addWidget(button_);
    button_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    button_->setCursor(Qt::ArrowCursor);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setToolTip(tr("Choose a folder"));
    connect(button_, &QToolButton::clicked, this, &DirectoryEdit::browse);
    connect(edit_, &QLineEdit::textChanged, this, &DirectoryEdit::textChanged);
    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (remotes_ && !remotesAsked_ && text.startsWith(QStringLiteral("rclone:"))) {
            remotesWanted();
        }
    });
}

void DirectoryEdit::offerRemotes(RemoteNames remotes) {
    remotes_ = std::move(remotes);
    edit_->setToolTip(ui("Папка или папка хранилища rclone: rclone:ХРАНИЛИЩЕ:ПАПКА"));
}

void DirectoryEdit::remotesWanted() {
    remotesAsked_ = true;
    std::optional<std::vector<std::string>> names;
    try {
        names = remotes_();
    } catch (const std::exception& e) {
        edit_->setToolTip(shownText(e.what()));
        return;
    }
    if (!names) {
        edit_->setToolTip(ui("rclone не установлен: без него копии не уходят с этого компьютера. "
                             "Установите rclone и создайте хранилище командой rclone config."));
        return;
    }
    if (names->empty()) {
        edit_->setToolTip(
            ui("rclone не знает ни одного хранилища: создайте его командой rclone config."));
        return;
    }
    QStringList offered;
    QStringList listed;
    for (const std::string& name : *names) {
        listed << QString::fromStdString(name);
        offered << QStringLiteral("rclone:") + QString::fromStdString(name) + QLatin1Char(':');
    }
    auto* completer = new QCompleter(offered, edit_);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    edit_->setCompleter(completer);
    edit_->setToolTip(ui("Хранилища rclone: %1. Пишите rclone:ХРАНИЛИЩЕ:ПАПКА")
                          .arg(listed.join(QStringLiteral(", "))));
    completer->complete();
}

QString DirectoryEdit::text() const {
    return edit_->text();
}

void DirectoryEdit::setText(const QString& text) {
    edit_->setText(text);
}

void DirectoryEdit::setGreyText(bool grey) {
    QPalette p = edit_->palette();
    p.setColor(QPalette::Text, grey ? QColor(128, 128, 128) : palette().color(QPalette::Text));
    edit_->setPalette(p);
}

void DirectoryEdit::browse() {
    // Start where the text points when it names a folder.
    const QString start = QDir(edit_->text()).exists() ? edit_->text() : QString();
    const QString chosen = dialogs_.chooseFolder(this, QString(), start);
    if (!chosen.isEmpty()) {
        edit_->setText(QDir::toNativeSeparators(chosen));
    }
}

} // namespace vellarion
