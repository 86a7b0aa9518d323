#include "gui/browsers/bFull_Firefox.h"

#include "core/browsers/DataSet.h"
#include "core/wizards/Messages.h"

#include <QProgressBar>
#include <algorithm>

namespace vellarion {

Tffb_Firefox::Tffb_Firefox(ShellContext& context, QWidget* parent)
    : Tffb_Firefox(context, firefoxDataSet(), Direction::Backup, parent) {}

Tffb_Firefox::Tffb_Firefox(ShellContext& context, const BrowserDataSet& data, Direction direction,
                           QWidget* parent)
    : Tffb_IE(context, data, direction, parent) {
    // Under the bar, as wide.
    lblFilename = place<PathLabel>(
        "lblFilename",
        QRect(ProgressBar1->x(), ProgressBar1->geometry().bottom() + 8, ProgressBar1->width(), 16));
}

void Tffb_Firefox::DoCompressFile(const QString& Filename) {
    lblFilename->setText(Filename);
    repaintThrottled();
}

void Tffb_Firefox::DoDecompressFile(const QString& Filename) {
    lblFilename->setText(Filename);
    repaintThrottled();
}

void Tffb_Firefox::DoProgress(qint32 Position, qint32 Total) {
    // The codec counts the bytes of one file at a time; files of no bytes
    // are not stored, so a total of 0 never reaches a running bar.
    if (Total > 0) {
        ProgressBar1->setMaximum(Total);
        ProgressBar1->setValue(std::clamp(Position, 0, Total));
    }
    repaintThrottled();
}

void Tffb_Firefox::jobStarted() {
    lblFilename->clear();
    Tffb_IE::jobStarted();
}

void Tffb_Firefox::jobFinished() {
    Tffb_IE::jobFinished();
    lblFilename->setText(QString::fromUtf8(kFinished.data(), kFinished.size()));
}

} // namespace vellarion
