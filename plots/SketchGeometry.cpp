#include "SketchGeometry.h"

#include <algorithm>
#include <cmath>

#include "Choices.h"
#include "Design.h"
#include "Model.h"
#include "NumberText.h"

namespace velumo {

namespace {

constexpr int kLastStation = kHornNodes - 1;
// Pixel and station numbers stay far inside int even for absurd inputs.
constexpr double kIntLimit = 1.0e6;

int clampedInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(std::clamp(v, -kIntLimit, kIntLimit));
}

int floorInt(double v) { return clampedInt(std::floor(v)); }
int ceilInt(double v) { return clampedInt(std::ceil(v)); }

int station(int i) { return std::clamp(i, 0, kLastStation); }

class SketchBuilder {
public:
    SketchBuilder(const SketchInput& in, SketchGeometry& g)
        : m_in(in)
        , m_g(g)
    {
    }

    double h(double area) const { return sketchHalfWidth(area, m_in.n); }
    double wallHalf(int i) const { return h(m_in.a[static_cast<size_t>(station(i))]); }

    SketchPoint px(double x, double y) const
    {
        return { clampedInt((x + m_g.L0) * m_g.S), clampedInt(y * m_g.S) };
    }

    SketchStroke& stroke(bool white = false, int width = 1)
    {
        m_g.strokes.push_back(SketchStroke { {}, white, width });
        return m_g.strokes.back();
    }
    void to(SketchStroke& s, double x, double y) const { s.points.push_back(px(x, y)); }

    // Wall point height of station i on side s (+1 above the axis, -1 below).
    double wallY(int i, int s) const { return m_g.Y0 - s * wallHalf(i); }

    void margins();
    void hornWithWallDriver();
    void hornWithThroatDriver();
    void upperWall(SketchStroke& s) const;
    void absorberChamber();
    void extraTunnel();
    void driver2();
    void rearChamber2();
    void arrow(SketchPoint from, SketchPoint to);
    void eraseWall(int i1, int i2, int s);

    double avk = 0.0, ark = 0.0, aak = 0.0, ark2 = 0.0;
    bool rk2Drawn = false;

private:
    const SketchInput& m_in;
    SketchGeometry& m_g;
};

void SketchBuilder::margins()
{
    const SketchInput& in = m_in;
    double& L0 = m_g.L0;
    double& R0 = m_g.R0;
    double& Y0 = m_g.Y0;
    auto element = [&](double w, double x) {
        L0 = std::max(L0, w - x);
        R0 = std::max(R0, w + x - in.l);
    };
    const double aSide = std::cbrt(std::max(in.vak, 0.0) / in.n);
    const double aRk2 = std::sqrt(ark2 / in.n);

    // The absorber and tunnel terms count even when switched off: their
    // substitute sizes are tiny, so they hardly move the margins.
    element(h(in.aat), in.xAK);
    element(h(aak), in.xAK);
    element(h(in.aet), in.xET);
    if (in.driver2)
        element(h(in.sd2), in.xT2);
    if (rk2Drawn)
        element(h(ark2), in.xT2);

    Y0 = std::max(Y0, h(in.ah));
    Y0 = std::max(Y0, wallHalf(in.iAK) + in.lat + aSide);
    Y0 = std::max(Y0, wallHalf(in.iET) + in.let);
    if (rk2Drawn)
        Y0 = std::max(Y0, wallHalf(in.iT2) + aRk2);
    Y0 = std::max(Y0, h(in.am));

    const double depth = in.lbr + in.lrk + in.lvk;
    if (in.xT1 != 0.0) {
        element(h(avk), in.xT1);
        element(h(in.sd), in.xT1);
        element(h(ark), in.xT1);
        element(h(in.abr), in.xT1);
        Y0 = std::max(Y0, wallHalf(in.iT1) + depth);
    } else {
        if (in.rearLoaded)
            L0 = std::max(L0, std::sqrt(std::max(in.sd, 0.0) / (64.0 * in.n)) + depth);
        else
            L0 = std::max(L0, depth);
        Y0 = std::max({ Y0, h(in.abr), h(ark), h(avk) });
    }
}

void SketchBuilder::upperWall(SketchStroke& s) const
{
    for (int i = 0; i <= kLastStation; ++i)
        to(s, i * m_in.dx, wallY(i, 1));
    if (m_in.mouthClosed)
        to(s, m_in.l, m_g.Y0 + h(m_in.am));
}

void SketchBuilder::hornWithWallDriver()
{
    const SketchInput& in = m_in;
    const double Y0 = m_g.Y0;
    const double dx = in.dx;

    SketchStroke& throat = stroke();
    to(throat, 0.0, Y0 + h(in.ah));
    to(throat, 0.0, Y0 - h(in.ah));
    upperWall(throat);
    SketchStroke& lower = stroke();
    to(lower, 0.0, Y0 + h(in.ah));
    for (int i = 0; i <= kLastStation; ++i)
        to(lower, i * dx, wallY(i, -1));

    // Where the front chamber opens into the lower wall, the wall is erased.
    const int i1 = floorInt((in.xT1 - h(avk)) / dx + 0.5);
    const int i2 = std::min(kLastStation, floorInt((in.xT1 + h(avk)) / dx + 0.5));
    SketchStroke& opening = stroke(true);
    to(opening, (i1 - 0.5) * dx, wallY(i1, -1));
    for (int i = std::max(i1, 0); i <= i2; ++i)
        to(opening, i * dx, wallY(i, -1));
    to(opening, (i2 + 0.5) * dx, wallY(i2, -1));

    const double yf = Y0 + wallHalf(in.iT1) + in.lvk;
    SketchStroke& left = stroke();
    if (i1 < 0)
        to(left, 0.0, wallY(0, -1));
    else
        to(left, (i1 - 0.5) * dx, wallY(i1, -1));
    to(left, in.xT1 - h(avk), wallY(i1, -1));
    to(left, in.xT1 - h(avk), yf);
    SketchStroke& right = stroke();
    to(right, in.xT1 + h(avk), yf);
    to(right, in.xT1 + h(avk), wallY(i2, -1));
    to(right, (i2 + 0.5) * dx, wallY(i2, -1));
    if (i2 == kLastStation)
        to(right, in.l, wallY(kLastStation, -1));

    // Baffle, rear chamber and the port leaving its floor.
    const double xl = in.xT1 - h(ark);
    const double xr = in.xT1 + h(ark);
    const double floorY = yf + in.lrk;
    SketchStroke& baffle = stroke();
    to(baffle, xl, yf);
    to(baffle, xr, yf);
    to(baffle, xr, floorY);
    to(baffle, in.xT1 + h(in.abr), floorY);
    to(baffle, in.xT1 + h(in.abr), floorY + in.lbr);
    SketchStroke& portLeft = stroke();
    to(portLeft, in.xT1 - h(in.abr), floorY);
    to(portLeft, in.xT1 - h(in.abr), floorY + in.lbr);
    SketchStroke& rest = stroke();
    to(rest, in.xT1 - h(in.abr), floorY);
    to(rest, xl, floorY);
    to(rest, xl, yf);

    SketchStroke& membrane = stroke(false, 5);
    to(membrane, in.xT1 - h(in.sd), yf);
    to(membrane, in.xT1 + h(in.sd), yf);

    const SketchPoint centre = px(in.xT1, yf);
    const int dy = in.rearLoaded ? 8 : -8;
    arrow(centre, { centre.x, centre.y + dy });
}

void SketchBuilder::hornWithThroatDriver()
{
    const SketchInput& in = m_in;
    const double Y0 = m_g.Y0;
    const double xPort = -(in.lvk + in.lrk + in.lbr);
    const double xRear = -(in.lvk + in.lrk);
    const double xBaffle = -in.lvk;

    SketchStroke& upper = stroke();
    to(upper, xPort, Y0 - h(in.abr));
    to(upper, xRear, Y0 - h(in.abr));
    to(upper, xRear, Y0 - h(ark));
    to(upper, xBaffle, Y0 - h(ark));
    SketchStroke& baffle = stroke();
    to(baffle, xBaffle, Y0 - h(ark));
    to(baffle, xBaffle, Y0 + h(ark));

    SketchStroke& membrane = stroke(false, 5);
    SketchPoint top = px(xBaffle, Y0 - h(in.sd));
    SketchPoint bottom = px(xBaffle, Y0 + h(in.sd));
    membrane.points = { { top.x, top.y + 2 }, { bottom.x, bottom.y - 2 } };

    const SketchPoint centre = px(xBaffle, Y0);
    arrow(centre, { centre.x + (in.rearLoaded ? -8 : 8), centre.y });

    SketchStroke& upperHorn = stroke();
    to(upperHorn, xBaffle, Y0 - h(ark));
    to(upperHorn, xBaffle, Y0 - h(avk));
    to(upperHorn, 0.0, Y0 - h(avk));
    to(upperHorn, 0.0, Y0 - h(in.ah));
    upperWall(upperHorn);

    SketchStroke& lower = stroke();
    to(lower, xPort, Y0 + h(in.abr));
    to(lower, xRear, Y0 + h(in.abr));
    to(lower, xRear, Y0 + h(ark));
    to(lower, xBaffle, Y0 + h(ark));
    SketchStroke& lowerHorn = stroke();
    to(lowerHorn, xBaffle, Y0 + h(ark));
    to(lowerHorn, xBaffle, Y0 + h(avk));
    to(lowerHorn, 0.0, Y0 + h(avk));
    to(lowerHorn, 0.0, Y0 + h(in.ah));
    for (int i = 0; i <= kLastStation; ++i)
        to(lowerHorn, i * in.dx, wallY(i, -1));
}

void SketchBuilder::eraseWall(int i1, int i2, int s)
{
    // Stations beyond the horn ends only ever come from tiny or huge inputs;
    // a bounded range keeps such a stroke short.
    i1 = std::max(i1, -1000);
    i2 = std::min(i2, 1000);
    SketchStroke& erase = stroke(true);
    for (int i = i1; i <= i2; ++i)
        to(erase, i * m_in.dx, wallY(i, s));
}

void SketchBuilder::absorberChamber()
{
    const SketchInput& in = m_in;
    const int s = in.akTop ? 1 : -1;
    const double dx = in.dx;
    const int i1 = floorInt((in.xAK - h(in.aat)) / dx);
    const int i2 = ceilInt((in.xAK + h(in.aat)) / dx);
    eraseWall(i1, i2, s);

    const double aSide = std::cbrt(std::max(in.vak, 0.0) / in.n);
    const double yt = m_g.Y0 - s * (wallHalf(in.iAK) + in.lat);
    const double yc = m_g.Y0 - s * (wallHalf(in.iAK) + in.lat + aSide);
    SketchStroke& o = stroke();
    to(o, station(i1) * dx, wallY(i1, s));
    to(o, in.xAK - h(in.aat), wallY(i1, s));
    to(o, in.xAK - h(in.aat), yt);
    to(o, in.xAK - aSide / 2, yt);
    to(o, in.xAK - aSide / 2, yc);
    to(o, in.xAK + aSide / 2, yc);
    to(o, in.xAK + aSide / 2, yt);
    to(o, in.xAK + h(in.aat), yt);
    to(o, in.xAK + h(in.aat), wallY(i2, s));
    to(o, station(i2) * dx, wallY(i2, s));
}

void SketchBuilder::extraTunnel()
{
    const SketchInput& in = m_in;
    const int s = in.etTop ? 1 : -1;
    const double dx = in.dx;
    const int i1 = floorInt((in.xET - h(in.aet)) / dx);
    const int i2 = ceilInt((in.xET + h(in.aet)) / dx);
    eraseWall(i1, i2, s);

    // The tunnel end stays open.
    const double depth = m_g.Y0 - s * (wallHalf(in.iET) + in.let);
    SketchStroke& nearWall = stroke();
    to(nearWall, station(i1) * dx, wallY(i1, s));
    to(nearWall, in.xET - h(in.aet), wallY(i1, s));
    to(nearWall, in.xET - h(in.aet), depth);
    SketchStroke& farWall = stroke();
    to(farWall, in.xET + h(in.aet), depth);
    to(farWall, in.xET + h(in.aet), wallY(i2, s));
    to(farWall, station(i2) * dx, wallY(i2, s));
}

void SketchBuilder::driver2()
{
    const SketchInput& in = m_in;
    const int s = in.t2Top ? 1 : -1;
    const double dx = in.dx;
    const int iT2 = in.iT2;
    const double t
        = iT2 > 49 ? (wallHalf(iT2) - wallHalf(iT2 - 1)) / dx : (wallHalf(iT2 + 1) - wallHalf(iT2)) / dx;
    const double theta = std::atan(t);
    const double half = h(in.sd2);
    const int j1 = std::max(-1000, floorInt((in.xT2 - std::cos(theta) * half) * 100.0 / in.l + 0.5));
    const int j2 = std::min(1000, floorInt((in.xT2 + std::cos(theta) * half) * 100.0 / in.l + 0.5));
    eraseWall(j1, j2, s);

    const double F = std::sqrt(std::max(in.sd2, 0.0) / in.n);
    const double lift = std::sin(theta) * s * F;
    auto onHorn = [](int j) { return j >= 0 && j <= 99; };
    SketchStroke& membrane = stroke(false, 5);
    SketchPoint start;
    if (onHorn(j1)) {
        to(membrane, j1 * dx, wallY(j1, s));
        to(membrane, j2 * dx, wallY(j1, s) - lift);
        start = px(in.xT2, wallY(j1, s) - lift / 2);
    } else if (onHorn(j2)) {
        to(membrane, j2 * dx, wallY(j2, s));
        to(membrane, j1 * dx, wallY(j2, s) + lift);
        start = px(in.xT2, wallY(j2, s) + lift / 2);
    } else {
        const double yw = wallY(iT2, s);
        const double span = half * s;
        to(membrane, in.xT2 - span * std::cos(theta), yw - span * std::sin(theta));
        to(membrane, in.xT2 + span * std::cos(theta), yw + span * std::sin(theta));
        start = px(in.xT2, yw);
    }

    // The arrow shows which membrane side faces the horn.
    const int d = (in.rearLoaded != in.reversed) ? 1 : -1;
    const SketchPoint end { start.x + static_cast<int>(std::lround(8.0 * -d * std::sin(theta))),
        start.y + static_cast<int>(std::lround(8.0 * -s * d * std::cos(theta))) };
    arrow(start, end);
}

void SketchBuilder::rearChamber2()
{
    const SketchInput& in = m_in;
    const int s = in.t2Top ? 1 : -1;
    const double dx = in.dx;
    const double half = h(ark2);
    const double aRk2 = std::sqrt(ark2 / in.n);
    const int k1 = floorInt(in.iT2 - half / dx + 0.5);
    const int k2 = floorInt(half / dx + in.iT2 + 0.5);
    const double xc = in.iT2 * dx;

    SketchStroke& o = stroke();
    const int startStation = k1 < 0 ? 0 : station(k1);
    to(o, startStation * dx, wallY(startStation, s));
    to(o, xc - half, wallY(startStation, s));
    const double depth = m_g.Y0 - s * (wallHalf(in.iT2) + aRk2);
    to(o, xc - half, depth);
    to(o, xc + half, depth);
    if (k2 > kLastStation) {
        to(o, xc + half, wallY(kLastStation, s));
        to(o, in.l, wallY(kLastStation, s));
    } else {
        to(o, xc + half, wallY(k2, s));
        to(o, k2 * dx, wallY(k2, s));
    }
}

void SketchBuilder::arrow(SketchPoint from, SketchPoint tip)
{
    SketchStroke& shaft = stroke(false, 3);
    shaft.points = { from, tip };

    const double a = from.x, b = from.y, c = tip.x, e = tip.y;
    const double phi = c == a ? 1.571 : std::atan(std::fabs(e - b) / std::fabs(c - a));
    const double gx = c < a ? -8.0 : 8.0;
    const double gy = e < b ? -8.0 : 8.0;
    for (double turn : { -0.45, 0.45 }) {
        SketchStroke& head = stroke(false, 3);
        head.points = { tip,
            { tip.x - ceilInt(std::cos(phi + turn) * gx - 0.5),
                tip.y - ceilInt(std::sin(phi + turn) * gy - 0.5) } };
    }
}

} // namespace

double sketchHalfWidth(double a, int n)
{
    if (!(a > 0.0) || n <= 0)
        return 0.0;
    return std::sqrt(a / (4.0 * n));
}

SketchInput sketchInputFrom(
    const Model& model, const std::array<double, kHornNodes>& contourA, const Design& design)
{
    SketchInput in;
    const HornModel& horn = model.horn;
    const EnclosureModel& encl = model.encl;
    in.n = model.n;
    in.a = contourA;
    in.l = horn.l1;
    in.dx = horn.dx;
    in.ah = horn.ah;
    in.am = horn.am;
    in.mouthClosed = design.checked("CBMundGeschl");
    in.rearLoaded = design.index("CBTyp") == 1;

    in.sd = model.d1.sd;
    in.xT1 = horn.xT1;
    in.iT1 = horn.n1;
    in.vvk = encl.vvk;
    in.lvk = encl.lvk;
    in.lvkText = parseLenient(design.text("EditLvk"));
    in.vrk = encl.vrk;
    in.lrk = encl.lrk;
    in.abr = encl.abr;
    in.lbr = encl.lbr;

    in.akShown = design.checked("CBAK");
    in.akTop = design.checked("CBAKSkizzeOben");
    in.xAK = encl.xAK;
    in.iAK = horn.nAK;
    in.aat = encl.aat;
    in.lat = encl.lat;
    in.vak = encl.vak;

    in.etShown = design.checked("CBET");
    in.etTop = design.checked("CBETSkizzeOben");
    in.xET = encl.xET;
    in.iET = horn.nET;
    in.aet = encl.aet;
    in.let = encl.let;

    in.driver2 = driver2Used(driver2ModeOf(design));
    in.reversed = design.checked("CBumdrehen");
    in.t2Top = design.checked("CBT2SkizzeOben");
    in.rk2 = design.checked("CBRK2");
    in.sd2 = model.d2.sd;
    in.xT2 = horn.xT2;
    in.iT2 = horn.n2;
    in.vrk2 = encl.vrk2;
    return in;
}

SketchGeometry computeSketch(const SketchInput& input, int width, int height)
{
    SketchGeometry g;
    SketchInput in = input;
    in.n = in.n > 0 ? in.n : 1;
    in.iT1 = station(in.iT1);
    in.iAK = station(in.iAK);
    in.iET = station(in.iET);
    in.iT2 = std::clamp(in.iT2, 1, kLastStation - 1);

    SketchBuilder b(in, g);
    b.avk = in.lvk != 0.0 ? in.vvk / in.lvk : in.sd;
    if (in.lvk != 0.0 && in.lvkText == 0.0)
        g.messages.push_back({ "Hinweis", "Vorkammerlänge ist 0!" });
    b.ark = in.lrk != 0.0 ? in.vrk / in.lrk : b.avk;
    if (in.lrk == 0.0 && !in.rearLoaded)
        g.messages.push_back({ "Hinweis", "Rückkammerlänge ist 0!" });
    const double rootN = std::sqrt(static_cast<double>(in.n));
    b.aak = std::pow(rootN * std::max(in.vak, 0.0), 2.0 / 3.0);
    b.rk2Drawn = in.rk2 && in.driver2;
    if (b.rk2Drawn)
        b.ark2 = std::max(in.sd2, std::pow(rootN * std::max(in.vrk2, 0.0), 2.0 / 3.0));

    b.margins();
    const double extent = g.L0 + in.l + g.R0;
    const int halfHeight = (height - 1) / 2;
    if (width < 2 || halfHeight < 1 || !(in.l > 0.0) || !(in.dx > 0.0) || !(extent > 0.0)
        || !std::isfinite(extent) || !(g.Y0 > 0.0) || !std::isfinite(g.Y0))
        return g;
    g.S = std::min((width - 1) / extent, halfHeight / g.Y0);
    if (extent > g.Y0)
        g.Y0 = halfHeight / g.S;

    if (in.xT1 != 0.0)
        b.hornWithWallDriver();
    else
        b.hornWithThroatDriver();
    if (in.akShown)
        b.absorberChamber();
    if (in.etShown)
        b.extraTunnel();
    if (in.driver2)
        b.driver2();
    if (b.rk2Drawn)
        b.rearChamber2();
    return g;
}

} // namespace velumo
