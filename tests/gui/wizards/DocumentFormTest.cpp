// The document window every wizard and the converter stand on, here without
// a job: its frame, its buttons and where a handler's error goes.
#include "gui/wizards/DocumentForm.h"

#include "FakeDialogs.h"
#include "core/services/ServicesFactory.h"
#include "gui/kit/Controls.h"
#include "gui/kit/ProgressSink.h"
#include "gui/kit/ShellContext.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>
#include <stdexcept>

namespace vellarion {
namespace {

class NoProgress : public ProgressSink {
public:
    void showProgress() override {}
    void stepBy(int) override {}
    void setPosition(int) override {}
    int position() const override { return 0; }
    void hideProgress() override {}
};

// A window of a converter's kind: Next does its work inside the window.
class Converter : public DocumentForm {
public:
    explicit Converter(ShellContext& context)
        : DocumentForm(context, QStringLiteral("Преобразование"), QStringLiteral("Мастер "),
                       {.background = Qt::lightGray,
                        .backgroundPicture = QString(),
                        .banner = QString(),
                        .icon = QString(),
                        .titlePointSize = 12},
                       nullptr) {
        placeButtons(QRect(395, 494, 98, 25), QRect(508, 494, 75, 25));
    }
    int activations = 0;
    bool fail = false;
    void FormActivate() override {
        DocumentForm::FormActivate();
        ++activations;
    }
    void Button2Click() override {
        if (fail) {
            throw std::runtime_error("Stream read error");
        }
        Button1->show();
    }
};

TEST(DocumentForm, StandsWithoutAJobAndShowsAHandlersErrorInTheStandardBox) {
    test::FakeDialogs dialogs;
    NoProgress progress;
    const auto services = makeSystemServices();
    int terminated = 0;
    ShellContext context(dialogs, progress, *services, QString(), [&] { ++terminated; });

    Converter window(context);
    EXPECT_EQ(window.size(), QSize(599, 531));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Преобразование"));
    EXPECT_EQ(window.Button2->geometry(), QRect(395, 494, 98, 25));
    EXPECT_EQ(window.Button1->geometry(), window.Button2->geometry());
    EXPECT_TRUE(window.Button1->isHidden());
    window.show();
    EXPECT_EQ(window.activations, 1) << "on its own it is activated once, when it shows";
    EXPECT_EQ(window.Label1->text(), QStringLiteral("Мастер "));

    window.fail = true;
    window.Button2->click();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown().front().text, QStringLiteral("Stream read error."));
    EXPECT_EQ(dialogs.shown().front().icon, Dialogs::Icon::Error);
    EXPECT_EQ(dialogs.shown().front().title, QStringLiteral("Vellarion"));
    EXPECT_TRUE(window.Button1->isHidden());

    window.fail = false;
    window.Button2->click();
    EXPECT_FALSE(window.Button1->isHidden());
    window.Button1->click();
    window.Button3->click();
    EXPECT_EQ(terminated, 2);
}

} // namespace
} // namespace vellarion
