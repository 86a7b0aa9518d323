#include "gui/wizards/EncryptionFields.h"

#include "core/wizards/PlainSecrets.h"
#include "gui/kit/Controls.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/Texts.h"
#include "gui/wizards/DocumentForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace vellarion {

namespace {

QLineEdit* passwordEdit(QWidget& form, const char* name, const QString& placeholder,
                        const QRect& rect) {
    auto* edit = new QLineEdit(&form);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(rect);
    edit->setEchoMode(QLineEdit::Password);
    edit->setPlaceholderText(placeholder);
    // Kept out of the platform's input helpers and clipboard.
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    return edit;
}

} // namespace

EncryptionFields::EncryptionFields(QWidget& form, const QRect& area, const QRect& note)
    : QObject(&form) {
    const int half = (area.width() - 6) / 2;
    CheckBoxEncrypt = new QCheckBox(ui("Зашифровать паролем"), &form);
    CheckBoxEncrypt->setObjectName(QStringLiteral("CheckBoxEncrypt"));
    CheckBoxEncrypt->setGeometry(area.left(), area.top(), area.width(), 17);
    EditPassword = passwordEdit(form, "EditPassword", ui("Пароль"),
                                QRect(area.left(), area.top() + 20, half, 21));
    EditRepeat = passwordEdit(form, "EditRepeat", ui("Повтор пароля"),
                              QRect(area.left() + half + 6, area.top() + 20, half, 21));
    LabelPlain = placeLabel(&form, "LabelPlain", shownText(kSecretsReadable), note, false, true);
    LabelPlain->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(LabelPlain, QColor(0x80, 0x30, 0x00));
    connect(CheckBoxEncrypt, &QCheckBox::toggled, this, [this] { update(); });
    update();
}

void EncryptionFields::update() {
    const bool on = CheckBoxEncrypt->isChecked();
    EditPassword->setEnabled(on);
    EditRepeat->setEnabled(on);
    LabelPlain->setVisible(!on && holdsSecrets_);
}

void EncryptionFields::setHoldsSecrets(bool holds) {
    holdsSecrets_ = holds;
    update();
}

bool EncryptionFields::check(Dialogs& dialogs, QWidget* parent) const {
    if (!CheckBoxEncrypt->isChecked()) {
        return true;
    }
    if (EditPassword->text().isEmpty()) {
        dialogs.showMessage(parent, ui("Введите пароль для шифрования архива."));
        EditPassword->setFocus();
        return false;
    }
    if (EditPassword->text() != EditRepeat->text()) {
        dialogs.showMessage(parent, ui("Пароль и его повтор не совпадают."));
        EditRepeat->setFocus();
        return false;
    }
    return true;
}

std::optional<Secret> EncryptionFields::password() const {
    if (!CheckBoxEncrypt->isChecked()) {
        return std::nullopt;
    }
    QByteArray utf8 = EditPassword->text().toUtf8();
    Secret secret(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    wipeMemory(utf8.data(), static_cast<std::size_t>(utf8.size()));
    return secret;
}

} // namespace vellarion
