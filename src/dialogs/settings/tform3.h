#pragma once

#include <QDialog>
#include <QHash>
#include <functional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The settings dialog "環境設定": the frame period, the three confirmations, the two stamp
// options and the fill option of the board. It copies the board's values in whenever it is
// shown and hands them back only on OK; while it is open the board takes no input.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    // The values the dialog edits, by their key in "config.ini": the frame period in
    // milliseconds, and 0 or 1 for each switch.
    using Values = QHash<QString, int>;
    // How the dialog reaches the board: its window, its values to read and to set, and the frame
    // period's range and the value the field is designed with (its caption's).
    struct Board {
        QWidget* window = nullptr;
        std::function<Values()> read;
        std::function<void(const Values&)> apply;
        int minPeriod = 0;
        int maxPeriod = 0;
        int designPeriod = 0;
        // Puts the dialog's frame in the middle of the board's screen.
        std::function<void(QWidget&)> centre;
    };

    static constexpr int kClientWidth = 480;
    static constexpr int kClientHeight = 240;

    explicit TForm3(Board board);

    void LoadFromBoard();
    void ApplyToBoard();
    void bbokClick();
    void bbcancelClick();
    void ReturnToBoard();
    void seIntervalChange();

    // The label's text for the field's text: the rate for a whole number of milliseconds
    // (the field's minimum for anything else), one decimal, halves to the even tenth.
    static QString frameRateText(const QString& fieldText, int minPeriod);

    QSpinBox* seInterval = nullptr;
    QLabel* lbFramerate = nullptr;
    QCheckBox* cb_eraseall = nullptr;
    QCheckBox* cb_exitmenu = nullptr;
    QCheckBox* cb_exitbox = nullptr;
    QCheckBox* cb_flatonce = nullptr;
    QCheckBox* cb_stumptp = nullptr;
    QCheckBox* cb_stumpcon = nullptr;
    QPushButton* bbok = nullptr;
    QPushButton* bbcancel = nullptr;
    QLabel* Image1 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    // Esc closes as the close box does.
    void reject() override;

private:
    struct Switch {
        QCheckBox* TForm3::*box;
        const char* name;
        const char* key;
        size_t group;
        QPoint at;
        const char* caption;
    };
    static const Switch kSwitches[];
    static const QString kPeriodKey;

    QCheckBox* box(const Switch& s) const;
    void FormShow();
    void FormClose();

    Board board_;
};
