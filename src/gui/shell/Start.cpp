#include "gui/shell/Start.h"

#include "core/Config.h"
#include "gui/kit/Appearance.h"
#include "gui/kit/Controls.h"
#include "gui/kit/Icons.h"
#include "gui/kit/ShellContext.h"
#include "gui/kit/Texts.h"
#include "gui/shell/Links.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace vellarion {

QPointer<TFStart> FStart;

namespace {

constexpr int kLeft = 26;
constexpr int kTextLeft = 150;
constexpr int kTextWidth = 425;
constexpr int kWidth = 599;
// Cancel, at the bottom right; the legal notice above it ends before it.
constexpr int kCancelTop = 531 - 22 - 25;
const QColor kHeaderText(0x1e, 0x39, 0x5b);

Picture* placePicture(QWidget* parent, const char* name, PictureId id, const QRect& rect) {
    return vellarion::placePicture(parent, name, pictureResource(id), rect);
}

} // namespace

TFStart::TFStart(ShellContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("FStart"));
    setWindowTitle(QStringLiteral("Welcome"));
    setFont(programFont());
    setBackground(this, formColor());
    setFixedSize(599, 531);

    Image1 = placePicture(this, "Image1", PictureId::WelcomeBackground, rect());
    Image3 = placePicture(this, "Image3", PictureId::WelcomeBanner, QRect(0, 0, kWidth, 88));

    Image4 = placePicture(this, "Image4", PictureId::HeaderBar, QRect(14, 100, kWidth - 28, 22));
    Label18 = placeLabel(this, "Label18", ui("Добро пожаловать:"), QRect(24, 100, 400, 22), true);
    setTextColour(Label18, kHeaderText);

    // Bold heading on the left, its explanation beside it.
    int y = 134;
    const auto pair = [this, &y](const char* headName, const QString& head, const char* textName,
                                 const QString& text) {
        QLabel* left =
            placeLabel(this, headName, head, QRect(kLeft, y, kTextLeft - kLeft - 6, 16), true);
        QLabel* right =
            placeLabel(this, textName, text, QRect(kTextLeft, y, kTextWidth, 32), false, true);
        right->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        left->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        y += 36;
        return std::pair{left, right};
    };
    std::tie(Label1, Label6) =
        pair("Label1", ui("Архивация:"), "Label6",
             ui("Архивация данных различных Веб браузеров. Тем, настроек, профилей и "
                "дополнений."));
    std::tie(Label2, Label7) =
        pair("Label2", ui("Восстановление:"), "Label7",
             ui("Восстановление данных различных Веб браузеров. Включая портативные "
                "версии."));
    Label11 = placeLabel(this, "Label11",
                         ui("Обратите внимание: указывайте точное место хранения для "
                            "портативных версий, во избежание перезаписи данных."),
                         QRect(kTextLeft, y, kTextWidth, 32), false, true);
    y += 40;
    std::tie(Label3, Label8) =
        pair("Label3", ui("Архивировать все:"), "Label8",
             ui("Резервное копирование всех веб браузеров профилей и их данных."));
    std::tie(Label4, Label9) = pair("Label4", ui("Восстановить все:"), "Label9",
                                    ui("Восстановление данных всех веб браузеров."));
    std::tie(Label5, Label10) =
        pair("Label5", ui("Конвертирование:"), "Label10",
             ui("Преобразует профиль опера, от XP 7/Vista 32-разрядного до 64 и "
                "наоборот."));

    // One sentence made of three labels: text, link, full stop.
    y += 6;
    Label12 = placeLabel(this, "Label12",
                         ui("Для получения дополнительной информации посетите "
                            "Vellarion"),
                         QRect(kLeft, y, 10, 16));
    Label12->adjustSize();
    Label13 = new LinkLabel(ui("страница справки"), this);
    Label13->setObjectName(QStringLiteral("Label13"));
    Label13->move(Label12->geometry().right() + 5, y);
    Label13->adjustSize();
    connect(Label13, &LinkLabel::clicked, this, &TFStart::Label13Click);
    Label14 = placeLabel(this, "Label14", QStringLiteral("."),
                         QRect(Label13->geometry().right() + 1, y, 6, Label12->height()));
    y += 34;

    Image2 = placePicture(this, "Image2", PictureId::HeaderBar, QRect(14, y, kWidth - 28, 22));
    Label15 =
        placeLabel(this, "Label15", ui("Юридическая информация:"), QRect(24, y, 400, 22), true);
    setTextColour(Label15, kHeaderText);
    y += 30;
    Label17 = placeLabel(
        this, "Label17",
        ui("Используя это программное обеспечение, вы соглашаетесь использовать его на "
           "свой страх и риск. Мы не несем ответственности за любой ущерб. Также мы не "
           "несем ответственность за данные, оборудование или финансовые потери из-за "
           "ошибки программного обеспечения."),
        QRect(kLeft, y, kWidth - 2 * kLeft, std::min(64, kCancelTop - 4 - y)), false, true);
    setTextColour(Label17, QColor(0x80, 0x80, 0x80));

    Button3 = new QPushButton(ui("Отмена"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(kWidth - 26 - 80, kCancelTop, 80, 25);
    connect(Button3, &QPushButton::clicked, this, &TFStart::Button3Click);
}

void TFStart::Button3Click() {
    context_.terminate();
}

void TFStart::Label13Click() {
    openLink(makerPage(config::kHelpPage));
}

} // namespace vellarion
