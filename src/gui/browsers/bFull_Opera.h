#pragma once

#include "gui/browsers/bFull_Firefox.h"

class QLineEdit;

namespace vellarion {

// "Safe Backup" of Opera: the data root into "fbackup_opera.dat" and the
// local mail store into "fbackup_opera2.dat". When the data is not found
// in the installation folder "Opera" the window asks for the folder's name.
class Tffb_Opera : public Tffb_Firefox {
    Q_OBJECT
public:
    explicit Tffb_Opera(ShellContext& context, QWidget* parent = nullptr);

    QLabel* Label2;   // how to name the installation folder; hidden at first
    QLineEdit* Edit1; // the installation folder name; hidden and empty at first

    // Activation, and the prompt once the data is not found.
    void FormActivate() override;
    // Next, with the typed installation folder name.
    void Button2Click() override;

protected:
    Tffb_Opera(ShellContext& context, Direction direction, QWidget* parent);

private:
    // The prompt and its field stay once shown.
    void showPromptWithoutDataRoot();
};

} // namespace vellarion
