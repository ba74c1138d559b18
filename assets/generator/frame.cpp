#include "ink.h"
#include "pictures.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr qreal W = 550, H = 304;

struct Sample {
    qreal s;     // position along the edge
    qreal depth; // how far the black reaches in
};

// Depth of a torn edge: a slow wander mostly between 11 and 19 px, small
// jags on every step, now and then a bite (down to 6) or a flap (up to 33),
// and thick black towards both corners.
std::vector<Sample> tornEdge(Rng &rng, qreal length)
{
    // slow wander: random knots, cosine blended
    std::vector<qreal> knotPos{0}, knotVal{rng.uni(12, 18)};
    while (knotPos.back() < length) {
        knotPos.push_back(knotPos.back() + rng.uni(18, 42));
        knotVal.push_back(rng.uni(11, 19));
    }
    auto wander = [&](qreal s) {
        size_t i = 0;
        while (knotPos[i + 1] < s)
            ++i;
        const qreal t = (s - knotPos[i]) / (knotPos[i + 1] - knotPos[i]);
        const qreal k = (1 - std::cos(t * M_PI)) / 2;
        return knotVal[i] * (1 - k) + knotVal[i + 1] * k;
    };

    std::vector<Sample> out;
    qreal featStart = -1, featLen = 0, featTarget = 0;
    for (qreal s = 0;; s += rng.uni(1.2, 4.2)) {
        s = std::min(s, length);
        qreal d = wander(s) + rng.uni(-1.7, 1.7);

        if (s > featStart + featLen && rng.chance(0.035)) {
            featStart = s;
            featLen = rng.uni(4, 13);
            featTarget = rng.chance(0.5) ? rng.uni(6, 9) : rng.uni(23, 33);
        }
        if (s >= featStart && s <= featStart + featLen) {
            const qreal t = (s - featStart) / featLen;
            const qreal a = std::pow(1 - std::abs(2 * t - 1), 0.6);
            d += (featTarget - d) * a;
        }

        const qreal c = std::min(s, length - s);
        if (c < 40)
            d = std::max(d, 33 - c * 19 / 40 + rng.uni(-1, 1));

        out.push_back({s, std::clamp(d, 6.0, 33.0)});
        if (s >= length)
            break;
    }
    return out;
}

// One black band: the outer edge plus the torn line, mapped onto a side.
template<typename Map>
QPolygonF band(const std::vector<Sample> &edge, qreal length, Map map)
{
    QPolygonF poly;
    poly << map(0, 0);
    for (const Sample &e : edge)
        poly << map(e.s, e.depth);
    poly << map(length, 0);
    return poly;
}

// Loose black crumbs just inside the tear, as a ripped sheet leaves them.
template<typename Map>
void crumbs(QPainter &p, Rng &rng, const std::vector<Sample> &edge, qreal length, Map map)
{
    for (const Sample &e : edge) {
        if (e.s < 45 || e.s > length - 45 || !rng.chance(0.04))
            continue;
        const qreal d = e.depth + rng.uni(1.5, 4);
        if (d > 36)
            continue;
        QPolygonF speck;
        const QPointF c = map(e.s, d);
        const int n = 3 + int(rng.uni(0, 3));
        const qreal r = rng.uni(0.6, 1.6);
        for (int i = 0; i < n; ++i) {
            const qreal a = 2 * M_PI * i / n + rng.uni(-0.4, 0.4);
            speck << c + QPointF(std::cos(a), std::sin(a)) * r * rng.uni(0.6, 1.3);
        }
        p.drawPolygon(speck);
    }
}

} // namespace

void drawFrame(QPainter &p)
{
    Rng rng(20240611);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);

    auto top = [](qreal s, qreal d) { return QPointF(s, d); };
    auto bottom = [](qreal s, qreal d) { return QPointF(s, H - d); };
    auto left = [](qreal s, qreal d) { return QPointF(d, s); };
    auto right = [](qreal s, qreal d) { return QPointF(W - d, s); };

    const auto eTop = tornEdge(rng, W);
    const auto eRight = tornEdge(rng, H);
    const auto eBottom = tornEdge(rng, W);
    const auto eLeft = tornEdge(rng, H);

    p.drawPolygon(band(eTop, W, top));
    p.drawPolygon(band(eRight, H, right));
    p.drawPolygon(band(eBottom, W, bottom));
    p.drawPolygon(band(eLeft, H, left));

    crumbs(p, rng, eTop, W, top);
    crumbs(p, rng, eRight, H, right);
    crumbs(p, rng, eBottom, W, bottom);
    crumbs(p, rng, eLeft, H, left);
}
