#include "gui/converter/c_Opera.h"

#include "gui/kit/Appearance.h"
#include "gui/kit/Controls.h"
#include "gui/kit/Dialogs.h"
#include "gui/kit/Icons.h"
#include "gui/kit/ShellContext.h"
#include "gui/kit/Texts.h"
#include "gui/wizards/WizardPictures.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vellarion {

namespace {

constexpr int kRadioPitch = 24;

} // namespace

Tfc_Opera::Tfc_Opera(ShellContext& context, QWidget* parent)
    : DocumentForm(context, ui("Преобразование профиля Opera"), ui("Мастер конвертации Opera 10 "),
                   {.background = formColor(),
                    .backgroundPicture = pictureResource(PictureId::WelcomeBackground),
                    .banner = browserBanner("opera"),
                    .icon = browserIcon("opera"),
                    .titlePointSize = 12},
                   parent),
      converter_(context.services, state_) {
    Image4 = placeSection("Image4", "Label18", ui("Инструкция:"), 76, Label18);
    Label9 =
        placeLabel(this, "Label9",
                   ui("Используйте следующие функции после восстановления параметров (Opera 10 "
                      "!). Программа будет искать ваш файл профиля и замену данных согласно "
                      "вашему запросу. Закройте Opera, прежде чем нажать \"Вперед\"."),
                   QRect(39, 100, 540, 40), false, true);
    Image3 = placeSection("Image3", "Label3", ui("Методы преобразования:"), 141, Label3);

    RadioGroup1 = place<QGroupBox>("RadioGroup1", QRect(39, 169, 212, 310), ui("Опции"));
    conversions_ = new QButtonGroup(this);
    int index = 0;
    for (std::string_view caption : conversionCaptions()) {
        auto* item = new QRadioButton(shownText(caption), RadioGroup1);
        item->setGeometry(8, 20 + kRadioPitch * index, 200, 20);
        conversions_->addButton(item, index++);
    }
    connectHandler(conversions_, &QButtonGroup::idClicked, [this] { RadioGroup1Click(); });

    Label10 = placeLabel(this, "Label10", ui("Введите старое имя пользователя (если изменен):"),
                         QRect(264, 169, 320, 16));
    Edit1 = place<QLineEdit>("Edit1", QRect(264, 188, 121, 21), QStringLiteral("Olduser"));
    Label11 = placeLabel(this, "Label11",
                         ui("Введите старую букву диска (Если изменен), Пример: "
                            "\"D:\\\":"),
                         QRect(264, 220, 320, 32), false, true);
    Edit2 = place<QLineEdit>("Edit2", QRect(264, 254, 121, 21), QStringLiteral("D:\\"));

    Image2 = placePicture(this, "Image2", pictureResource(PictureId::HeaderBar),
                          QRect(256, 288, 329, 22));
    Label12 = placeHeading("Label12", ui("Информация о системе:"), QRect(264, 288, 300, 22));
    const auto row = [this](const char* name, const char* valueName, const QString& text, int y,
                            QLabel*& value) {
        value = placeLabel(this, valueName, QString(), QRect(365, y, 210, 16));
        return placeLabel(this, name, text, QRect(264, y, 100, 16));
    };
    Label2 = row("Label2", "Label6", ui("Ось Windows:"), 318, Label6);
    Label4 = row("Label4", "Label7", ui("Тип Windows:"), 337, Label7);
    Label5 = row("Label5", "Label8", ui("Пользователь:"), 356, Label8);

    RichEdit1 = place<QPlainTextEdit>("RichEdit1", QRect(264, 384, 321, 95));
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);

    placeButtons(QRect(395, 494, 98, 25), QRect(508, 494, 75, 25));
    Button2->setEnabled(false);
}

Tfc_Opera::~Tfc_Opera() = default;

int Tfc_Opera::RadioGroup1ItemIndex() const {
    return conversions_->checkedId();
}

void Tfc_Opera::FormActivate() {
    DocumentForm::FormActivate();
    const SystemInformation info = converter_.systemInformation();
    Label7->setText(qText(info.bitness));
    // Another version keeps what the label showed.
    if (!info.family.empty()) {
        Label6->setText(qText(info.family));
    }
    Label8->setText(qText(info.user));
    if (!converter_.locate()) {
        context().dialogs.showMessage(this, shownText(kPrefsNotFound));
    }
}

void Tfc_Opera::RadioGroup1Click() {
    Button2->setEnabled(true);
}

void Tfc_Opera::Button2Click() {
    const ConversionReport report = converter_.convert(
        RadioGroup1ItemIndex(), Edit1->text().toStdString(), Edit2->text().toStdString());
    if (report.outcome == ConversionReport::Outcome::Refused) {
        context().dialogs.showMessage(this, shownText(report.refusal));
        return;
    }
    RichEdit1->setPlainText(qText(report.text));
    Button1->show();
    Button1->raise();
}

} // namespace vellarion
