#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

// X11 never auto-repeats modifier keys, but the drawing keys rely on repeated key-downs while
// Shift or Ctrl is held. This generates them at the display's repeat delay and interval, and
// steps aside for a key that the platform repeats by itself.
// When the user has turned key repeat off, a held key gets no repeats.
class KeyRepeater : public QObject {
    Q_OBJECT
public:
    // The user's repeat setting for one key.
    struct Setting {
        bool on = true;
        int delayMs = 660;
        int intervalMs = 40;
    };

    KeyRepeater(int delayMs, int intervalMs, std::function<void(int)> repeat,
                QObject* parent = nullptr);

    // A key-down from the platform; `autoRepeat` marks the platform's own repeats. The setting
    // counts for a key that is not yet held; the two-argument form uses the constructor's delay
    // and interval.
    void pressed(int key, bool autoRepeat, const Setting& setting);
    void pressed(int key, bool autoRepeat) { pressed(key, autoRepeat, defaults_); }
    void released(int key);
    // Forgets every held key (for example when the window loses the keyboard).
    void releaseAll();

    bool held(int key) const { return keys_.count(key) != 0; }
    std::vector<int> heldKeys() const;

private:
    struct Held {
        QTimer* timer;
        bool platformRepeats;
        int intervalMs;
    };
    void fire(int key);

    Setting defaults_;
    std::function<void(int)> repeat_;
    std::map<int, Held> keys_;
};
