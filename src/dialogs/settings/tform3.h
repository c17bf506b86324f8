#pragma once

#include <QDialog>
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
    // The seven values, in the order they are copied in and out.
    struct Values {
        int period = 25;  // frame period in milliseconds
        bool eraseAll = true;
        bool exitMenu = false;
        bool exitBox = false;
        bool stampTransparent = true;
        bool stampContinuous = false;
        bool fillAtOnce = false;
    };
    // How the dialog reaches the board: its window, and its values to read and to set.
    struct Board {
        QWidget* window = nullptr;
        std::function<Values()> read;
        std::function<void(const Values&)> apply;
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
    static QString frameRateText(const QString& fieldText);

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
    void FormShow();
    void FormClose();

    Board board_;
};
