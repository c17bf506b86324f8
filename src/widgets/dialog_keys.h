#pragma once

#include <QObject>
#include <QWidget>
#include <functional>

// Esc and Enter as the board's tool dialogs take them, wherever the focus is inside the dialog:
// Esc (without Shift, Ctrl or Alt) runs `escape`; Enter (likewise) presses the push button that
// has the focus, and runs `enter` when no push button has it. The keys are taken before the
// focused control sees them, so a text box or spin box cannot swallow them.
class DialogKeys : public QObject {
public:
    DialogKeys(QWidget* dialog, std::function<void()> escape, std::function<void()> enter);

    // Watches the dialog and every control in it; call once the controls exist.
    void watch();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* dialog_;
    std::function<void()> escape_;
    std::function<void()> enter_;
};
