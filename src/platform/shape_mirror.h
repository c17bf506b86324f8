#pragma once

#include <QImage>
#include <QRegion>
#include <QSize>
#include <cstdint>
#include <vector>

// Collects horizontal runs of pixels row by row (rows in increasing order, runs of a row in
// increasing x) as rectangles, merging a run into the rectangle that ends on the row above when
// both have the same left edge and width.
class RunMerger {
public:
    explicit RunMerger(std::vector<QRect>& out) : out_(out) {}
    // Call before the runs of each row, including rows that have none.
    void nextRow();
    void add(int y, int left, int width);
    // Forgets the open rectangles: the next row does not continue the previous one.
    void restart();

private:
    std::vector<QRect>& out_;
    std::vector<size_t> above_, current_;
    size_t cursor_ = 0;
};

// Visible runs (pixels != key) inside `area` of `picture`, merged down the rows.
std::vector<QRect> visibleRects(const QImage& picture, QRgb key, const QRect& area);

// A copy of what a window's shape holds, one bit per pixel, so that a change of the picture is
// sent as exactly the pixels that leave or join the shape. Pixels that only changed colour, or
// that were cleared and redrawn, cost nothing; and pixels that stay shown are never cut out and
// added back, which would make the X server repaint whatever lies beneath them.
class ShapeMirror {
public:
    struct Change {
        std::vector<QRect> removed;
        std::vector<QRect> added;
        size_t size() const { return removed.size() + added.size(); }
    };

    // Every pixel hidden. The stride of the mask that rebuild returns must be at least
    // ceil(width / 8).
    void reset(QSize size);
    QSize size() const { return size_; }
    bool shown(int x, int y) const;
    // The number of horizontal runs of shown pixels, row by row: at least the number of
    // rectangles the X server keeps for the shape (it merges equal runs of adjacent rows).
    size_t runCount() const;

    // The shape for the whole window: pixels of `picture` other than `key`, plus `alwaysShown`.
    // Pixels outside the picture are hidden. Returns the same as a 1-bit mask, a row of
    // `stride` bytes per window row, bit order as given.
    std::vector<uint8_t> rebuild(const QImage& picture, QRgb key, const QRegion& alwaysShown,
                                 int stride, bool lsbFirst);

    // Takes the picture as the truth inside `area` and returns where the shape must change there.
    // Gives up and returns false once more than `limit` rectangles would be needed; the mirror is
    // then partly updated and must be rebuilt.
    bool update(const QImage& picture, QRgb key, const QRegion& area, const QRegion& alwaysShown,
                size_t limit, Change& out);

private:
    // What the shape should hold on row y between left and right (inclusive): the words of want_
    // that cover the span, bit x % 64 of word x / 64 for pixel x.
    void wantedRow(const QImage& picture, QRgb key, const std::vector<QRect>& forced, int y,
                   int left, int right);
    std::uint64_t* row(int y) { return shown_.data() + static_cast<size_t>(y) * words_; }

    QSize size_;
    size_t words_ = 0;  // per row
    std::vector<std::uint64_t> shown_;
    std::vector<std::uint64_t> want_;
};
