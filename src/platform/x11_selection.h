#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdint>
#include <functional>

struct xcb_connection_t;

namespace x11 {

// Reads the CLIPBOARD selection of another X client on a connection of its own, with bounded
// waits. Qt's own reader waits 5 s for every answer that does not come, twice for the list of
// formats, and reads an incremental transfer for as long as the owner keeps sending. This one
// gives up as soon as the owner is gone (an owner that exits mid-transfer), after `answerMs`
// without an answer from an owner that is still there, once a transfer has taken `transferMs`
// however lively its owner (one sending a kilobyte every few seconds), and once a transfer
// passes `maxBytes`. While it waits it can run the caller's own events (`idle`).
class SelectionReader {
public:
    struct Limits {
        int answerMs = 5000;                        // the longest wait for one answer
        int transferMs = 5000;                      // the longest time one transfer takes
        std::int64_t maxBytes = 256 * 1024 * 1024;  // the longest transfer taken
        // Waits at most `ms` for the connection's socket `fd` to be readable; by default the
        // thread sleeps in poll().
        std::function<void(int fd, int ms)> idle;
    };

    enum class Result {
        Ok,
        Refused,   // the owner has no data in that format
        TooLarge,  // the transfer passed maxBytes
        Failed,    // no owner, the owner went away, or no answer or no whole transfer in time
    };

    explicit SelectionReader(Limits limits);
    SelectionReader() : SelectionReader(Limits{}) {}
    ~SelectionReader();
    SelectionReader(const SelectionReader&) = delete;
    SelectionReader& operator=(const SelectionReader&) = delete;

    // Whether the display could be reached and the selection has an owner.
    bool ready() const { return owner_ != 0; }

    // The formats the owner offers, by name.
    Result targets(QStringList& names);
    // The owner's data in one format.
    Result read(const QString& target, QByteArray& data);

private:
    struct Property;
    Result request(std::uint32_t target);
    Result readProperty(Property& out, bool remove);
    Result readIncrementally(std::uint32_t announced, QByteArray& data);
    template <typename Matches>
    void* waitFor(Matches matches);
    bool ownerStillThere();
    void renewWindow();
    std::uint32_t atom(const char* name);

    Limits limits_;
    QElapsedTimer clock_;
    qint64 transferEnd_ = 0;  // when the transfer under way is given up, on clock_
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t window_ = 0;
    std::uint32_t selection_ = 0;
    std::uint32_t property_ = 0;
    std::uint32_t incr_ = 0;
    std::uint32_t owner_ = 0;
    bool abandoned_ = false;  // a transfer was given up on in the middle
};

}  // namespace x11
