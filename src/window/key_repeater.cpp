#include "window/key_repeater.h"

KeyRepeater::KeyRepeater(int delayMs, int intervalMs, std::function<void(int)> repeat,
                         QObject* parent)
    : QObject(parent), defaults_{true, delayMs, intervalMs}, repeat_(std::move(repeat)) {}

void KeyRepeater::pressed(int key, bool autoRepeat, const Setting& setting) {
    auto it = keys_.find(key);
    if (it != keys_.end()) {
        if (autoRepeat && !it->second.platformRepeats) {
            // The platform repeats this key itself: stop adding repeats of our own.
            it->second.platformRepeats = true;
            it->second.timer->stop();
        }
        return;
    }
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, key] { fire(key); });
    keys_.emplace(key, Held{timer, autoRepeat, setting.intervalMs});
    if (!autoRepeat && setting.on) timer->start(setting.delayMs);
}

void KeyRepeater::fire(int key) {
    auto it = keys_.find(key);
    if (it == keys_.end() || it->second.platformRepeats) return;
    it->second.timer->start(it->second.intervalMs);
    repeat_(key);  // may release keys: nothing of `it` is used after this
}

void KeyRepeater::released(int key) {
    auto it = keys_.find(key);
    if (it == keys_.end()) return;
    it->second.timer->deleteLater();
    it->second.timer->stop();
    keys_.erase(it);
}

void KeyRepeater::releaseAll() {
    while (!keys_.empty())
        released(keys_.begin()->first);
}

std::vector<int> KeyRepeater::heldKeys() const {
    std::vector<int> out;
    for (const auto& [key, held] : keys_)
        out.push_back(key);
    return out;
}
