#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

// X11 never auto-repeats modifier keys, but the drawing keys rely on repeated key-downs while
// Shift or Ctrl is held. This generates them at the display's repeat delay and interval, and
// steps aside for a key that the platform repeats by itself.
class KeyRepeater : public QObject {
    Q_OBJECT
public:
    KeyRepeater(int delayMs, int intervalMs, std::function<void(int)> repeat,
                QObject* parent = nullptr);

    // A key-down from the platform; `autoRepeat` marks the platform's own repeats.
    void pressed(int key, bool autoRepeat);
    void released(int key);
    // Forgets every held key (for example when the window loses the keyboard).
    void releaseAll();

    bool held(int key) const { return keys_.count(key) != 0; }
    std::vector<int> heldKeys() const;

private:
    struct Held {
        QTimer* timer;
        bool platformRepeats;
    };
    void fire(int key);

    int delayMs_;
    int intervalMs_;
    std::function<void(int)> repeat_;
    std::map<int, Held> keys_;
};
