#pragma once

#include <QElapsedTimer>
#include <QSpinBox>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "dialogs/extension_tools/pixel_filters.h"
#include "platform/colour.h"
#include "widgets/tool_dialog_host.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class BevelPanel;
class Platform;

// A spin box whose text is taken as written: anything up to five characters may be typed, and
// text that does not read as an integer counts as the box's minimum.
class FilterSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit FilterSpinBox(QWidget* parent = nullptr);
    // The integer in `text`, kept within min … max; the minimum when there is none.
    static int valueOf(const QString& text, int min, int max);
    // The box's value as its text says now.
    int written() const;

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    int valueFromText(const QString& text) const override;
};

// The extension tools dialog "拡張ツール": five pages of pixel filters run on the board's live
// surface, over the whole client area or the fixed selection, with a progress bar. A dialog
// window on top of the board; the board is disabled while it is open.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 480;
    static constexpr int kClientHeight = 240;

    // What the dialog does to the board: its pen colour, and the frame of every run.
    class Host : public ToolDialogHost {
    public:
        virtual TColor penColour() const = 0;
        // A run begins: the committed picture is put back on the board, and the run may write
        // the working area (the whole board, or the fixed selection when `onlySelection` asks
        // and there is one) within the pixels it may reach.
        virtual filters::Target beginRun(bool onlySelection) = 0;
        // The run has written the target: it is shown and committed, and a selection frame is
        // drawn again.
        virtual void endRun(const filters::Target& target) = 0;
    };

    TForm2(std::unique_ptr<Host> host, Platform& platform);
    ~TForm2() override;

    void FormShow();
    void FormClose();
    void Button1Click();
    // Colour cells: the source group and the target group.
    void Panel9Click(BevelPanel* sender);
    void Panel39Click(BevelPanel* sender);
    void Panel15Click();
    void Panel24Click();
    void Panel17Click();
    void Panel22Click();
    // Runs.
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();

    // Colour cells of a group by index: 0 … 15 the colours, then "消", "他", "現在の選択色".
    static constexpr int kEraseCell = 16;
    static constexpr int kOtherCell = 17;
    static constexpr int kCurrentCell = 18;
    BevelPanel* cell(bool target, int index) const;
    TColor fromColour() const { return fromColour_; }
    TColor toColour() const { return toColour_; }

    // Told every progress value the bar is set to during a run, and each repaint; for tests.
    std::function<void(int value, bool repainted)> onProgress;

    QTabWidget* PageControl1 = nullptr;
    BevelPanel* Pclfrom = nullptr;
    BevelPanel* Pclto = nullptr;
    FilterSpinBox* sdse_x = nullptr;
    FilterSpinBox* sdse_y = nullptr;
    FilterSpinBox* aksevalue = nullptr;
    FilterSpinBox* ctsev = nullptr;
    QCheckBox* cccbOnlySA = nullptr;
    QCheckBox* sdcba = nullptr;
    QCheckBox* npcba = nullptr;
    QCheckBox* akcba = nullptr;
    QCheckBox* ctcba = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    using Pass = std::function<void(filters::Target, const filters::Progress&)>;

    void buildPages();
    void buildColourGroup(QWidget* page, bool target, QPoint at);
    void setSwatch(bool target, TColor colour, const QString& caption);
    // The frame every run shares: the dialog disabled, the committed picture restored, the
    // passes over the working area, the result committed, the bar back at 0, the selection
    // frame drawn again.
    void run(QCheckBox* onlySelection, const Pass& pass);
    void showProgress(int value);

    std::unique_ptr<Host> host_;
    Platform& platform_;
    TColor fromColour_;
    TColor toColour_;
    TColor dialog1Colour_ = 0;  // ColorDialog1: the colour last confirmed in it
    TColor dialog2Colour_ = 0;  // ColorDialog2
    std::array<std::array<BevelPanel*, 19>, 2> cells_{};
    QElapsedTimer sinceRepaint_;
};
