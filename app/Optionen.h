#pragma once
// The options dialog "Optionen": one switch, read from and written to the
// settings file; only "OK" writes.

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace velumo {

class Settings;

class TOptionenForm : public QDialog {
    Q_OBJECT
public:
    explicit TOptionenForm(QWidget* parent = nullptr);

    // Loads the switch from `settings`, shows the dialog through `exec` and
    // writes the switch back when the dialog was confirmed.
    template <typename Exec> void run(const Settings& settings, Exec&& exec)
    {
        loadFrom(settings);
        if (exec(*this) == QDialog::Accepted)
            storeTo(settings);
    }

    void loadFrom(const Settings& settings);
    void storeTo(const Settings& settings) const;

    QCheckBox* colourSwitch() const { return m_switch; }

private:
    QCheckBox* m_switch;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace velumo
