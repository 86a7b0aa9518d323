#include "WizardWindowFixture.h"

#include <QCoreApplication>

namespace vellarion::test {

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
