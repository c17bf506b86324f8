#pragma once

#include <QHash>
#include <QImage>
#include <QRegion>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <random>

#include "picture/board_model.h"
#include "picture/edit_commands.h"
#include "picture/file_commands.h"
#include "picture/picture_recovery.h"
#include "platform/platform.h"
#include "platform/pointer_presence.h"
#include "platform/window_shape.h"
#include "window/board_presenter.h"
#include "window/key_repeater.h"
#include "window/keyboard_hold.h"

class QAbstractButton;
class QAction;
class QMenu;
class BevelPanel;
class TForm3;
struct BoardSettings;
class TForm2;
class TForm4;

// The board window: a top-level window whose key-coloured pixels are invisible and let the mouse
// through. It owns the picture (BoardModel) and turns window events into calls on it; its
// presenter (BoardPresenter) paints it and keeps the window's shape in step with the picture. Its
// handlers are split over files by concern: input and tick, toolbar and menu, tools and palette,
// window modes, commands, dialogs, settings.
class TForm1 : public QWidget, private BoardHooks {
    Q_OBJECT
public:
    static constexpr int kDesignClientWidth = 892;
    static constexpr int kDesignClientHeight = 453;
    static constexpr int kToolbarHeight = 33;
    static constexpr double kAlphaBlendValue = 127.0 / 255.0;
    // The client size that shows the whole toolbar.
    static QSize toolbarSize();

    TForm1(Platform& platform, const QStringList& args, QWidget* parent = nullptr);
    ~TForm1() override;

    BoardModel& model() { return model_; }
    // The recovery writer, when the state folder is known (null otherwise).
    PictureRecovery* recovery() { return recovery_.get(); }
    // The board is about to end other than through its normal exit: its picture is written to
    // the recovery file now and left there for the next start.
    void keepPictureForRecovery() {
        if (recovery_) recovery_->writeNow();
    }
    WindowShape& shape() { return presenter_.shape(); }
    QTimer& timer() { return Timer1; }
    Platform& platform() { return platform_; }

    // Controls by name, for the command surface and its tests.
    QAbstractButton* button(const QString& name) const { return buttons_.value(name); }
    QAction* menuItem(const QString& name) const { return items_.value(name); }
    BevelPanel* panel(const QString& name) const { return panels_.value(name); }
    QMenu* popupMenu() const { return PopupMenu1; }

    // Window events.
    void FormCreate();
    void FormResize();
    void FormActivate();
    void FormKeyDown(int key);
    void FormKeyUp(int key);
    // `at`: where on the screen the button went down.
    void FormMouseDown(Qt::MouseButton button, QPoint at);
    void FormMouseUp(Qt::MouseButton button);
    // A right press: the pop-up menu at the press.
    void openPopupMenu(QPoint at);
    void Timer1Timer();
    // Starts the frame timer again if an idle board stopped it. Every input to the board, every
    // command and every change from outside wakes it; the tick stops it when nothing is under
    // way.
    void wake();
    bool sleeping() const { return !Timer1.isActive(); }
    void stb() { model_.stb(); }
    void lfb() { model_.lfb(); }

    // Files and program.
    void SpeedButton15Click();
    void SpeedButton16Click();
    void SpeedButton17Click();
    void SpeedButton18Click();
    void SpeedButton22Click();
    void Exit1Click();
    // The close handler: writes the settings, then asks if so configured. False cancels the close.
    bool FormClose();
    // Editing.
    void SpeedButton23Click();
    void SpeedButton32Click();
    void SpeedButton24Click();
    void SpeedButton25Click();
    void SpeedButton34Click();
    void SpeedButton33Click();
    void SpeedButton29Click();
    void SpeedButton30Click();
    // Tools.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton7Click();
    void SpeedButton21Click();
    void SpeedButton28Click();
    void SpeedButton36Click();
    // The stamp tool; the sender decides whether the preview starts at once.
    void SpeedButton31Click(QObject* sender);
    void SpeedButton31ButtonClick();
    void T2Click();
    // Dialogs.
    void SpeedButton35Click();
    void SpeedButton26Click();
    void SpeedButton27Click();
    // Pen widths.
    void SpeedButton8Click();
    void SpeedButton10Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void SpeedButton13Click();
    void SpeedButton14Click();
    void SpeedButton9Click();
    // Palette.
    void ReleasePaletteButtons();
    void Panel2Click(int swatch);
    void Panel15Click();
    void Panel17Click();
    void C1Click();
    void E3Click();
    // Window modes.
    void Panel20Click();
    void Panel21Click();
    void Panel22Click();
    void SpeedButton19Click();
    void SpeedButton20Click();
    void B1Click();

    // Settings: "config.ini" in the start-up folder, read at start and written at each close
    // and duplicate. SaveSettings shows the error box and returns false when the file cannot be
    // written.
    void LoadSettings(const QString& path);
    bool SaveSettings(const QString& path);
    BoardSettings currentSettings() const;
    void applySettings(const BoardSettings& values);
    // The options, the frame period and the stamp's transparency of these settings; the window
    // stays as it is.
    void applyOptions(const BoardSettings& values);
    // Sets the frame period as given; the timer runs at it within the settings' range.
    void setFramePeriod(int ms);
    TForm3* settingsDialog() const { return Form3.get(); }

    bool stayOnTop() const;
    bool translucent() const;
    bool frameShown() const;
    bool toolbarShown() const;
    // The controls' area: always part of the window's shape, whatever the surface holds.
    QRegion alwaysShown() const { return presenter_.alwaysShown(); }

    // The extension tools and text stamp dialogs, made at their first use and kept for the
    // life of the board, so that what they hold carries over from one opening to the next.
    TForm2& form2();
    TForm4& form4();
    // A tool dialog has closed: the board takes input again and comes to the front.
    void toolDialogClosed();
    // Puts a tool dialog's frame in the middle of the screen the board is on, now and once a
    // window manager has framed it.
    void centreDialog(QWidget& dialog) const;
    // The dialog open over the board, if any.
    QWidget* openDialog() const;
    // Brings the open dialog, if any, back from minimised and to the front with the keyboard;
    // false when none is open.
    bool bringBackDialog();

    // Commands from outside the window (the remote service): no dialog and no box; the ones
    // that can fail return the message, empty on success.
    void setPenColourTo(TColor colour);
    void setPenWidthTo(int width) { setPenWidthFrom(width); }
    QString openPictureFrom(const QString& path) { return files_.loadPictureFrom(path); }
    QString savePictureTo(const QString& path) { return files_.savePictureTo(path); }
    // What the screen shows under the client area, the board as it is seen included.
    QString snapshotTo(const QString& path);
    // Closes the board as the menu's exit does; `ask` false skips both exit questions.
    void closeFromOutside(bool ask);

    // Sends what changed on the surface to the screen and to the window's shape.
    void present() { presenter_.present(); }
    // The cursor in client coordinates, unclamped.
    QPoint cursorInClient();
    // Under XWayland: while something follows the pointer the whole client area takes it.
    void keepInputWide();
    // Whether a press at this client point reached the board only through the widened shape.
    bool pressOnWidenedSeeThrough(QPoint at) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // BoardHooks
    void setSelectionCommandsEnabled(bool on) override;
    void paletteChanged() override;
    void toolChanged(int tool) override;
    void moveWindow(int left, int top) override;
    unsigned randomBelow(unsigned bound) override;

    void buildToolbar();
    void buildToolbarPanels();
    void buildToolbarControls();
    void buildSwatches();
    void takePresses(BevelPanel* panel, bool drags);
    void buildPopupMenu();
    void layoutToolbar();
    void runCommand(void (TForm1::*handler)());
    void showChosen(const char* buttonName, const char* itemName);
    void setPenWidthFrom(int width);
    void setToggle(const char* panel, const char* item, bool on);
    void setWindowFlag(Qt::WindowType flag, bool on);
    void createSettingsDialog();

    // The cursor on the screen, and whether it is where the pointer really is.
    QPoint readCursor(bool& real);
    // The cursor of the key press being handled, in client coordinates, and whether it is real.
    QPoint keyCursor(bool& real);
    void releaseHeldKeys();
    // The keyboard while a held key draws (tform1_keyboard.cpp).
    bool takesKeys() const;
    bool grabKeyboard(bool take);
    void keepKeyboard();
    void yieldKeyboard();
    void otherWindowShowing(QObject* watched);
    void openToolDialog(QWidget& dialog);
    void openExtensionTools();
    void openTextStamp();
    void startRecovery();
    QImage committedPicture() const;
    // Screens added, removed or resized: the stores follow the desktop and the window is
    // brought onto the screens.
    void watchScreens();
    void screensChanged();
    void screenScaleChanged();
    // The client area in device pixels: the picture's size and its unit.
    QSize deviceSize() const;
    QPoint clientFromGlobal(QPoint global) const;
    QSize smallestClient(bool toolbar) const;

    Platform& platform_;
    QStringList args_;
    BoardModel model_;
    BoardPresenter presenter_;
    KeyRepeater repeater_;
    QTimer Timer1;
    // The picture dialogs remember their last file name for every command that runs them.
    PictureDialogState OpenDialog1;
    PictureDialogState SaveDialog1;
    EditCommands edit_;
    FileCommands files_;
    std::unique_ptr<TForm3> Form3;

    BevelPanel* Panel1 = nullptr;
    BevelPanel* Pn_tatamu = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QHash<QString, QAbstractButton*> buttons_;
    QHash<QString, QAction*> items_;
    QHash<QString, BevelPanel*> panels_;

    std::mt19937 random_;
    // The outer geometry the settings stored, as stored, and where the board showed it instead.
    struct Placed {
        int left = 0, top = 0, width = 0, height = 0;
        QRect shown;
    } placed_;
    // Where the pointer was when the key press being handled happened, if the platform said.
    std::optional<QPoint> keyPressPointer_;
    PointerPresence pointer_;  // XWayland's pointer positions freeze while it is away
    // Declared after the platform it grabs through.
    KeyboardHold hold_{[this](bool take) { return grabKeyboard(take); }};
    std::unique_ptr<PictureRecovery> recovery_;
    bool closeUnasked_ = false;  // a close from outside that was told not to ask

    // Declared last: they refer to the board while they live.
    std::unique_ptr<TForm2> Form2;
    std::unique_ptr<TForm4> Form4;
};
