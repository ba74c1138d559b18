#pragma once

#include <QBrush>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <cstdint>
#include <random>

namespace ink {

// Black pen with round ends, the look of a felt-tip line.
QPen pen(qreal width, const QColor &color = Qt::black);

// Fill a shape, then trace its edge.
void outlined(QPainter &p, const QPainterPath &shape, qreal width,
              const QBrush &fill = Qt::white, const QColor &line = Qt::black);

// Draws several shapes as one blob with a single outline around the lot:
// a fat black pass first, then the fills on top hide the inner edges.
void mergedOutline(QPainter &p, const QList<QPainterPath> &shapes, qreal width,
                   const QBrush &fill = Qt::white);

// A thick bar along a centre line with a round knob at each end (a cartoon bone).
QPainterPath bone(const QPainterPath &centre, qreal thickness, qreal knobRadius,
                  bool knobAtStart = true, bool knobAtEnd = true);

} // namespace ink

// Fixed-seed random numbers that come out the same with every standard library
// (the std:: distributions are not portable, mt19937 itself is).
class Rng {
public:
    explicit Rng(std::uint32_t seed) : m_gen(seed) {}
    double uni(double lo, double hi) { return lo + (hi - lo) * (m_gen() / 4294967296.0); }
    bool chance(double p) { return uni(0, 1) < p; }

private:
    std::mt19937 m_gen;
};
