#pragma once

#include "core/schedule/Schedule.h"

#include <QWidget>
#include <filesystem>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace vellarion {

class Dialogs;

// "Расписание": the user's schedules listed, added and removed with the
// choices of `vellarion-cli schedule add`, through the same core code. An
// independent window that frees itself when closed.
class Tf_Schedule : public QWidget {
    Q_OBJECT
public:
    // `store` holds the schedules; `program` is the vellarion-cli the
    // scheduler starts.
    Tf_Schedule(Dialogs& dialogs, ScheduleStore store, std::filesystem::path program,
                QWidget* parent = nullptr);

    QListWidget* ListSchedules;
    QComboBox* ComboBrowser;
    QLineEdit* EditLocation;
    QPushButton* ButtonLocation;
    QCheckBox* CheckFull;
    QLineEdit* EditProfile;
    QLineEdit* EditItems;
    QComboBox* ComboEvery;
    QSpinBox* SpinKeep;
    QCheckBox* CheckEncrypt;
    QLineEdit* EditPasswordFile;
    QCheckBox* CheckLoggedOff;
    QPushButton* ButtonAdd;
    QPushButton* ButtonRemove;
    QPushButton* ButtonClose;

    void ButtonLocationClick();
    void ButtonAddClick();
    void ButtonRemoveClick();
    // Reads the schedules again into the list.
    void relist();

private:
    Dialogs& dialogs_;
    ScheduleStore store_;
    std::filesystem::path program_;
};

} // namespace vellarion
