#pragma once

#include "gui/browsers/bFull_IE.h"

namespace vellarion {

// "Safe Backup" of Firefox, and the base of every member but Internet
// Explorer: it shows the file being packed or unpacked in `lblFilename` and
// the bytes done of it in `ProgressBar1`.
class Tffb_Firefox : public Tffb_IE {
    Q_OBJECT
public:
    explicit Tffb_Firefox(ShellContext& context, QWidget* parent = nullptr);

    // The file being packed or unpacked, then "Finished".
    PathLabel* lblFilename;

    void DoCompressFile(const QString& Filename) override;
    void DoDecompressFile(const QString& Filename) override;
    void DoProgress(qint32 Position, qint32 Total) override;

protected:
    Tffb_Firefox(ShellContext& context, const BrowserDataSet& data, Direction direction,
                 QWidget* parent);

    void jobStarted() override;
    void jobFinished() override;
};

} // namespace vellarion
