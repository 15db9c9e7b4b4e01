#include "SkinRegion.h"

#include <QList>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace skinform {
namespace {

// Window coordinates never leave 16 bits on the window system, but a polygon
// file may name any 32-bit vertex; rows and columns outside this range can
// never be shown and are not filled.
constexpr std::int64_t kLow = -32768;
constexpr std::int64_t kHigh = 32767;

// The fill is computed here, one pixel row at a time, rather than by QRegion's
// polygon constructor: that one slows down with the square of the height (a
// 16384-row polygon takes seconds), which a skin file must not be able to do.
// A pixel is inside when its centre is, by the even-odd rule; an edge counts
// for the rows whose centres lie in [top, bottom), so shared vertices and
// horizontal edges are counted exactly once.
struct Edge {
    double x0, y0, x1, y1;
    std::int64_t firstRow, lastRow;

    double XAt(double y) const { return x0 + (y - y0) * (x1 - x0) / (y1 - y0); }
};

// A run of pixel columns [left, right) on one row.
struct Span {
    std::int64_t left, right;
    friend bool operator==(const Span&, const Span&) = default;
};

std::int64_t FirstCentreFrom(double coordinate) {
    return static_cast<std::int64_t>(std::ceil(coordinate - 0.5));
}

std::vector<Edge> EdgesOf(const Polygon& polygon) {
    std::vector<Edge> edges;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vertex& a = polygon[i];
        const Vertex& b = polygon[(i + 1) % polygon.size()];
        if (a.y == b.y)
            continue;
        Edge edge{double(a.x), double(a.y), double(b.x), double(b.y), 0, 0};
        edge.firstRow = std::max(kLow, FirstCentreFrom(std::min(a.y, b.y)));
        edge.lastRow = std::min(kHigh, FirstCentreFrom(std::max(a.y, b.y)) - 1);
        if (edge.firstRow <= edge.lastRow)
            edges.push_back(edge);
    }
    std::sort(edges.begin(), edges.end(),
              [](const Edge& a, const Edge& b) { return a.firstRow < b.firstRow; });
    return edges;
}

std::vector<Span> SpansOnRow(const std::vector<const Edge*>& active, std::int64_t row) {
    const double centre = double(row) + 0.5;
    std::vector<double> crossings;
    crossings.reserve(active.size());
    for (const Edge* edge : active)
        crossings.push_back(edge->XAt(centre));
    std::sort(crossings.begin(), crossings.end());

    std::vector<Span> spans;
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
        const std::int64_t left = std::clamp(FirstCentreFrom(crossings[i]), kLow, kHigh + 1);
        const std::int64_t right = std::clamp(FirstCentreFrom(crossings[i + 1]), kLow, kHigh + 1);
        if (left >= right)
            continue;
        if (!spans.empty() && spans.back().right >= left)
            spans.back().right = std::max(spans.back().right, right); // touching runs join
        else
            spans.push_back({left, right});
    }
    return spans;
}

// Rows with the same runs are merged into bands, which is exactly the sorted,
// banded rectangle list that QRegion keeps inside.
class BandBuilder {
public:
    void AddRow(std::int64_t row, std::vector<Span> spans) {
        if (row != nextRow_ || spans != spans_) {
            Flush();
            top_ = row;
            spans_ = std::move(spans);
        }
        nextRow_ = row + 1;
    }

    QRegion Finish() {
        Flush();
        QRegion region;
        region.setRects(rects_.constData(), static_cast<int>(rects_.size()));
        return region;
    }

private:
    void Flush() {
        for (const Span& span : spans_)
            rects_.append(QRect(QPoint(int(span.left), int(top_)),
                                QPoint(int(span.right - 1), int(nextRow_ - 1))));
        spans_.clear();
    }

    QList<QRect> rects_;
    std::vector<Span> spans_;
    std::int64_t top_ = 0;
    std::int64_t nextRow_ = 0;
};

QRegion EvenOddRegion(const Polygon& polygon) {
    const std::vector<Edge> edges = EdgesOf(polygon);
    BandBuilder bands;
    std::vector<const Edge*> active;
    std::size_t next = 0;
    std::int64_t row = edges.empty() ? 0 : edges.front().firstRow;
    while (next < edges.size() || !active.empty()) {
        if (active.empty())
            row = std::max(row, edges[next].firstRow);
        while (next < edges.size() && edges[next].firstRow == row)
            active.push_back(&edges[next++]);
        bands.AddRow(row, SpansOnRow(active, row));
        std::erase_if(active, [row](const Edge* edge) { return edge->lastRow <= row; });
        ++row;
    }
    return bands.Finish();
}

} // namespace

QRegion SkinRegion(const std::vector<Polygon>& polygons) {
    QRegion region;
    for (const Polygon& polygon : polygons)
        region = region.xored(EvenOddRegion(polygon));
    return region;
}

} // namespace skinform
