#include "gui/shell/About.h"

#include "core/Config.h"
#include "gui/kit/Appearance.h"
#include "gui/kit/Controls.h"
#include "gui/kit/Icons.h"
#include "gui/kit/Texts.h"
#include "gui/shell/Links.h"

#include <QLabel>
#include <QPushButton>

namespace vellarion {

QPointer<Tf_About> f_About;

Tf_About::Tf_About(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
    setObjectName(QStringLiteral("f_About"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(ui("О программе Vellarion"));
    setFont(programFont());
    setBackground(this, Qt::white);
    setFixedSize(265, 330);

    Image1 = new Picture(pictureResource(PictureId::AboutLogo), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 265, 96);
    Image3 = new Picture(pictureResource(PictureId::AboutNameBand), this);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setGeometry(0, 96, 265, 32);

    Label1 = placeLabel(this, "Label1", QString::fromLatin1(config::kApplicationTitle),
                        QRect(0, 96, 265, 32), true);
    QFont title = Label1->font();
    title.setPointSize(12);
    Label1->setFont(title);
    Label1->setAlignment(Qt::AlignCenter);

    Label2 = placeLabel(this, "Label2", ui("Авторы:"), QRect(20, 140, 60, 18));
    Label2->adjustSize();
    Label2->setFixedHeight(18);
    Label13 = new LinkLabel(QStringLiteral("Corvintale Team"), this);
    Label13->setObjectName(QStringLiteral("Label13"));
    Label13->setGeometry(20 + Label2->fontMetrics().horizontalAdvance(Label2->text()) + 6, 140, 160,
                         18);
    Label13->adjustSize();
    Label13->setFixedHeight(18);
    connect(Label13, &LinkLabel::clicked, this, &Tf_About::Label13Click);

    // The notices take the lines their words need in whatever font is installed.
    int y = 166;
    const auto notice = [this, &y](const char* name, const QString& text) {
        QLabel* label = placeLabel(this, name, text, QRect(20, y, 225, 10), false, true);
        label->setFixedHeight(label->heightForWidth(225));
        y += label->height() + 8;
        return label;
    };
    Label4 = notice("Label4", ui("Все логотипы и товарные знаки являются "
                                 "собственностью их владельцев."));
    Label5 = notice("Label5", ui("Ленточный интерфейс, его цветовые темы и значки "
                                 "нарисованы авторами Vellarion и распространяются "
                                 "на тех же условиях, что и сама программа."));
    setTextColour(Label5, QColor(0x55, 0x55, 0x55));

    Image2 = new Picture(pictureResource(PictureId::AboutFooter), this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(0, 276, 265, 54);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(95, 290, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &Tf_About::Button1Click);
}

void Tf_About::Label13Click() {
    openLink(makerPage(config::kHomePage));
}

void Tf_About::Button1Click() {
    close();
}

void Tf_About::showEvent(QShowEvent* event) {
    if (!placed_) {
        centreOnScreen(this);
        placed_ = true;
    }
    QWidget::showEvent(event);
}

} // namespace vellarion
