#pragma once

#include "core/crypto/Secret.h"

#include <QObject>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRect;
class QWidget;

namespace vellarion {

class Dialogs;

// A backup window's "Зашифровать паролем": the box, the password and its
// repetition (shown as dots, usable only while the box is ticked), and the
// note that a plain archive holds passwords and cookies readable.
class EncryptionFields : public QObject {
    Q_OBJECT
public:
    // Placed on `form` in `area`: the box on the first line, the two edits
    // side by side below it; the note in `note`.
    EncryptionFields(QWidget& form, const QRect& area, const QRect& note);

    QCheckBox* CheckBoxEncrypt;
    QLineEdit* EditPassword;
    QLineEdit* EditRepeat;
    QLabel* LabelPlain; // the note, shown only when it applies

    // Next: an encrypting backup needs a password typed twice alike; false
    // (and the user told) otherwise.
    bool check(Dialogs& dialogs, QWidget* parent) const;
    // The password to encrypt with; none while the box is clear.
    std::optional<Secret> password() const;
    // Whether the backup would hold passwords or cookies: the note shows
    // while it does and the box is clear.
    void setHoldsSecrets(bool holds);

private:
    void update();

    bool holdsSecrets_ = false;
};

} // namespace vellarion
