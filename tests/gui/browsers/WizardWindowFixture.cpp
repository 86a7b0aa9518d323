#include "WizardWindowFixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <vector>

namespace vellarion::test {

QString native(const std::filesystem::path& path) {
    return QString::fromStdString(pathToUtf8(path));
}

QStringList entries(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i) {
        names << list->item(i)->text();
    }
    return names;
}

void expectNoControlCoversAnother(const QWidget& window) {
    SCOPED_TRACE(window.windowTitle().toStdString());
    std::vector<QWidget*> controls;
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isHidden() && child->objectName() != QStringLiteral("Image1")) {
            controls.push_back(child);
        }
    }
    const QStringList header{QStringLiteral("Image5"), QStringLiteral("Image6"),
                             QStringLiteral("Label1")};
    const auto isBar = [](const QWidget* w) {
        return w->inherits("vellarion::Picture") &&
               !w->objectName().startsWith(QStringLiteral("Image5")) &&
               !w->objectName().startsWith(QStringLiteral("Image6"));
    };
    const auto allowed = [&](const QWidget* a, const QWidget* b) {
        if (header.contains(a->objectName()) && header.contains(b->objectName())) {
            return true;
        }
        const auto headingOn = [&](const QWidget* bar, const QWidget* label) {
            return isBar(bar) && qobject_cast<const QLabel*>(label) != nullptr &&
                   bar->geometry().contains(label->geometry());
        };
        return headingOn(a, b) || headingOn(b, a);
    };
    for (const QWidget* control : controls) {
        EXPECT_TRUE(window.rect().contains(control->geometry()))
            << control->objectName().toStdString();
        if (const auto* label = qobject_cast<const QLabel*>(control);
            label != nullptr && !label->wordWrap()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
        if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
            EXPECT_GE(box->width(), box->sizeHint().width()) << box->text().toStdString();
        }
        for (const QWidget* other : controls) {
            if (control != other && !allowed(control, other)) {
                EXPECT_FALSE(control->geometry().intersects(other->geometry()))
                    << control->objectName().toStdString() << " covers "
                    << other->objectName().toStdString();
            }
        }
    }
}

WizardWindowTest::WizardWindowTest(SamplePrefixOptions options)
    : fx(std::move(options)),
      sampleContext(dialogs, progress, fx.services(), settingsPath(), [this] { ++terminated; }),
      backups(dir / "backups") {
    std::filesystem::create_directories(backups);
}

WizardWindowTest::~WizardWindowTest() {
    form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void WizardWindowTest::activateDocument(QWidget& window) {
    form->documents()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window.parentWidget()));
}

std::filesystem::path WizardWindowTest::firefoxRoot() const {
    return fx.onDriveC("users/demo/AppData/Roaming/Mozilla/Firefox");
}

std::filesystem::path WizardWindowTest::firefoxProfile(std::string_view name) const {
    return firefoxRoot() / "Profiles" / std::string(name);
}

} // namespace vellarion::test
