#pragma once

#include "core/converter/OperaConverter.h"
#include "gui/wizards/DocumentForm.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;

namespace vellarion {

// The Opera profile converter: rewrites the paths in Opera's
// "operaprefs.ini" after a restore, for another Windows, program folder,
// drive or user name. The conversions are the core's (OperaConverter); the
// window shows them, the system information and the text it wrote.
class Tfc_Opera : public DocumentForm {
    Q_OBJECT
public:
    explicit Tfc_Opera(ShellContext& context, QWidget* parent = nullptr);
    ~Tfc_Opera() override;

    Picture* Image4;
    QLabel* Label18; // "Инструкция:"
    QLabel* Label9;  // the instruction
    Picture* Image3;
    QLabel* Label3;         // "Методы преобразования:"
    QGroupBox* RadioGroup1; // "Опции": the twelve conversions, none chosen at first
    QLabel* Label10;
    QLineEdit* Edit1; // the old user name
    QLabel* Label11;
    QLineEdit* Edit2; // the old drive
    Picture* Image2;
    QLabel* Label12;           // "Информация о системе:"
    QLabel* Label2;            // "Ось Windows:"
    QLabel* Label6;            // the Windows family
    QLabel* Label4;            // "Тип Windows:"
    QLabel* Label7;            // "32 bit" or "64 bit"
    QLabel* Label5;            // "Пользователь:"
    QLabel* Label8;            // the login name
    QPlainTextEdit* RichEdit1; // the file's text once converted

    // The conversion chosen in RadioGroup1, -1 for none.
    int RadioGroup1ItemIndex() const;
    ConverterState& state() { return state_; }

    // Every activation: Finish hidden, the system information, the file
    // searched.
    void FormActivate() override;
    // A conversion was chosen: Next can run it.
    void RadioGroup1Click();
    // Next: the chosen conversion over the file.
    void Button2Click() override;

private:
    ConverterState state_;
    OperaConverter converter_;
    QButtonGroup* conversions_;
};

} // namespace vellarion
