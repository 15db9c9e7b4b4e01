#include "SkinRegion.h"

#include <QPolygon>

#include <cmath>
#include <cstdint>

namespace skinform {
namespace {

// Window coordinates never leave 16 bits on the window system, but a polygon
// file may name any 32-bit vertex. Filling such a polygon unclipped would
// build one rectangle per scan line over billions of lines, so every polygon
// is clipped to this box first. Clipping keeps the even-odd fill exact inside
// the box, and nothing outside it can ever be shown.
constexpr std::int64_t kLow = -32768;
constexpr std::int64_t kHigh = 32767;

struct Point {
    std::int64_t x;
    std::int64_t y;
};

enum class Edge { Left, Right, Top, Bottom };

bool Inside(const Point& p, Edge edge) {
    switch (edge) {
    case Edge::Left:
        return p.x >= kLow;
    case Edge::Right:
        return p.x <= kHigh;
    case Edge::Top:
        return p.y >= kLow;
    case Edge::Bottom:
        return p.y <= kHigh;
    }
    return true;
}

// Where the segment a-b crosses the box edge; a and b lie on either side.
Point Crossing(const Point& a, const Point& b, Edge edge) {
    const bool vertical = edge == Edge::Left || edge == Edge::Right;
    const std::int64_t line = (edge == Edge::Left || edge == Edge::Top) ? kLow : kHigh;
    const double t =
        vertical ? double(line - a.x) / double(b.x - a.x) : double(line - a.y) / double(b.y - a.y);
    if (vertical)
        return {line, a.y + std::llround(t * double(b.y - a.y))};
    return {a.x + std::llround(t * double(b.x - a.x)), line};
}

// One Sutherland-Hodgman pass against one edge of the box.
std::vector<Point> ClipAgainst(const std::vector<Point>& input, Edge edge) {
    std::vector<Point> output;
    for (std::size_t i = 0; i < input.size(); ++i) {
        const Point& current = input[i];
        const Point& previous = input[(i + input.size() - 1) % input.size()];
        const bool currentIn = Inside(current, edge);
        if (currentIn != Inside(previous, edge))
            output.push_back(Crossing(previous, current, edge));
        if (currentIn)
            output.push_back(current);
    }
    return output;
}

QPolygon ClippedPolygon(const Polygon& polygon) {
    std::vector<Point> points;
    points.reserve(polygon.size());
    for (const Vertex& v : polygon)
        points.push_back({v.x, v.y});
    for (Edge edge : {Edge::Left, Edge::Right, Edge::Top, Edge::Bottom})
        points = ClipAgainst(points, edge);

    QPolygon clipped;
    clipped.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& p : points)
        clipped << QPoint(static_cast<int>(p.x), static_cast<int>(p.y));
    return clipped;
}

} // namespace

QRegion SkinRegion(const std::vector<Polygon>& polygons) {
    QRegion region;
    for (const Polygon& polygon : polygons)
        region = region.xored(QRegion(ClippedPolygon(polygon), Qt::OddEvenFill));
    return region;
}

} // namespace skinform
