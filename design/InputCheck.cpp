#include "InputCheck.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "Choices.h"
#include "NumberText.h"

namespace velumo {

namespace {

constexpr std::string_view kContourRefusal = "Halsfläche > oder = Mundfläche. Kontur nicht erlaubt!";

constexpr int kMaxFrequencyPoints = 170;
constexpr int kMaxContourPoints = 10001;
constexpr int kMinResolution = 2;

// clang-format off
constexpr std::array<std::string_view, 23> kNonzeroDriverBoxes = {
    "EditRdc", "Editfs", "EditQes", "EditQms", "EditVas", "EditPmax", "EditSd", "EditZ1k",
    "EditZ10k", "EditXmax", "EditStk", "EditUe", "EditRdc2", "Editfs2", "EditQes2", "EditQms2",
    "EditVas2", "EditPmax2", "EditSd2", "EditZ1k2", "EditZ10k2", "EditXmax2", "EditStk2",
};
constexpr std::array<std::string_view, 12> kDriver2Boxes = {
    "EditRdc2", "Editfs2", "EditQes2", "EditQms2", "EditVas2", "EditPmax2",
    "EditSd2", "EditZ1k2", "EditZ10k2", "EditXmax2", "EditStk2", "EditLSInfo2",
};
// clang-format on
constexpr std::array<std::string_view, 5> kAbsorberBoxes
    = { "EditxAK", "EditVAK", "EditfAK", "EditAAT", "EditBAK" };
constexpr std::array<std::string_view, 5> kTunnelBoxes
    = { "EditxET", "EditLET", "EditdLET", "EditAET", "EditBET" };

// Hints of the distance and path-difference boxes name their reference point.
struct PlacementHints {
    std::string_view abst, dL, dL2, dLET;
};
constexpr PlacementHints kRearHints = { "Abstand Mic -> Membran 1", "Differenz Hornmund - Membran 1",
    "Differenz Membran 2 - Membran 1", "Differenz Extratunnel - Membran 1" };
constexpr PlacementHints kFrontHints = { "Abstand Mic -> Hornmund", "Differenz Bassreflextunnel - Hornmund",
    "Differenz Membran 2 - Hornmund", "Differenz Extratunnel - Hornmund" };

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Blank, or a number at the start (after blanks and a sign), as the lenient
// reading takes it.
bool holdsNumber(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty())
        return true;
    if (text.front() == '+' || text.front() == '-')
        text.remove_prefix(1);
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return !text.empty()
        && (digit(text.front())
            || ((text.front() == '.' || text.front() == ',') && text.size() > 1 && digit(text[1])));
}

class Check {
public:
    Check(Design& design, CheckSink& sink)
        : m_d(design)
        , m_sink(sink)
    {
    }

    bool run()
    {
        checkDriverData();
        const double L = checkHorn();
        checkChambersAndPort();

        for (std::string_view name : kAbsorberBoxes) {
            normalise(name);
            refuseNegative(name);
        }
        checkSideBranch("CBAK", "CBAKSkizzeOben", kAbsorberBoxes, L, number("EditxAK") > L, "EditxAK");

        normaliseNonzero("EditVrk2");
        refuseNegative("EditVrk2");
        normalise("EditdL2");
        normalise("EditxT2");
        makeAbsolute("EditxT2");
        checkDriver2(L);

        for (std::string_view name : kTunnelBoxes) {
            normalise(name);
            // A path difference may be negative; the tunnel's place and size not.
            if (name != "EditdLET")
                refuseNegative(name);
        }
        checkSideBranch("CBET", "CBETSkizzeOben", kTunnelBoxes, L, number("EditxET") > L, "EditxET");

        refuseNegativeCrossoverCells();
        fillCrossover(m_d);
        normaliseAxisGrid();
        normaliseOptionGrid();
        return m_valid;
    }

private:
    void checkDriverData()
    {
        for (std::string_view name : kNonzeroDriverBoxes) {
            normaliseNonzero(name);
            refuseNegative(name);
        }
        const BoxColour driver2
            = driver2ModeOf(m_d) == Driver2Mode::OwnValues ? BoxColour::Window : BoxColour::ButtonFace;
        for (std::string_view name : kDriver2Boxes)
            colour(name, driver2);
    }

    // Returns the horn length L that the positions along the horn must not exceed.
    double checkHorn()
    {
        for (std::string_view name : { "EditVvk", "EditLvk", "EditBvk" }) {
            normalise(name);
            refuseNegative(name);
        }
        normalise("EditxT1");
        makeAbsolute("EditxT1");

        normaliseNonzero("EditAh");
        refuseNegative("EditAh");
        for (std::string_view name : { "Editl1", "EditBeta1", "EditBeta2" }) {
            normalise(name);
            refuseNegative(name);
        }
        normaliseNonzero("EditH");
        refuseNegative("EditH");
        normaliseNonzero("EditB");
        refuseNegative("EditB");
        normalise("EditdL");

        // A negative horn length is refused above; the positions along it are
        // compared with a real length only.
        const double L = number("Editl1");
        if (L >= 0.0 && L < number("EditxT1"))
            refuse("EditxT1");

        // Negative sizes are refused above; the throat and mouth are compared
        // only when they are real.
        if (number("EditAh") >= 0.0 && number("EditH") >= 0.0 && number("EditB") >= 0.0)
            checkFlareLaw();

        if (!hasSelection("CBKontur"))
            m_d.setIndex("CBKontur", 0);
        if (!hasSelection("CBPosi"))
            setRoomPosition(m_d, RoomPosition::HalfSpace);
        return L;
    }

    void checkChambersAndPort()
    {
        // Uses the hint left by the previous check; the horn type sets it below.
        normaliseNonzero("EditAbst");
        refuseNegative("EditAbst");

        const bool rear = hornTypeOf(m_d) == HornType::RearLoaded;
        if (!rear) {
            normaliseNonzero("EditVrk");
            refuseNegative("EditVrk");
        }
        setPlacementHints(rear ? kRearHints : kFrontHints);
        for (std::string_view name : { "EditVrk", "EditLrk", "EditBrk", "EditAbr" })
            colour(name, rear ? BoxColour::ButtonFace : BoxColour::Window);

        for (std::string_view name : { "EditLrk", "EditBrk", "Editfbr", "EditAbr", "EditBbr" }) {
            normalise(name);
            refuseNegative(name);
        }
        // A port tuned to 0 Hz is taken as tuned to 1 Hz.
        if (m_d.text("Editfbr") == "0")
            m_d.setText("Editfbr", "1");

        const bool noPort = number("EditAbr") == 0.0;
        const BoxColour port = rear || noPort ? BoxColour::ButtonFace : BoxColour::Window;
        colour("EditBbr", port);
        colour("Editfbr", port);
        colour("EditdL", !rear && noPort ? BoxColour::ButtonFace : BoxColour::Window);
    }

    double number(std::string_view name) const { return parseLenient(m_d.text(name)); }

    bool hasSelection(std::string_view name) const
    {
        int i = m_d.index(name);
        return i >= 0 && static_cast<size_t>(i) < findControl(name)->items.size();
    }

    // A text without any number ("nan", "abc") becomes "0" like every text,
    // but is refused: nobody typed it meaning 0. An empty box is 0.
    bool normalise(std::string_view name)
    {
        const bool number = holdsNumber(m_d.text(name));
        m_d.setText(name, normalisedNumberText(m_d.text(name)));
        if (!number)
            refuse(name);
        return number;
    }

    // Only warns: a zero here does not keep the start command from running.
    void normaliseNonzero(std::string_view name)
    {
        if (normalise(name) && m_d.text(name) == "0")
            tell(name);
    }

    // Sizes, counts, dampings and frequencies have no meaning below zero.
    void refuseNegative(std::string_view name)
    {
        if (number(name) < 0.0)
            refuse(name);
    }

    // A crossover part has no negative value; the cell is named by its row
    // and position ("Frequenzweiche C3").
    void refuseNegativeCrossoverCells()
    {
        for (int row = 1; row < kFwRows; ++row) {
            for (int p = 1; p < kFwCols; ++p) {
                if (parseLenient(m_d.fwCell(p, row)) >= 0.0)
                    continue;
                m_valid = false;
                m_sink.message({ std::string(), refusalText(crossoverCellName(p, row)) });
                m_sink.focus("FWGrid");
            }
        }
    }

    void makeAbsolute(std::string_view name) { m_d.setText(name, formatGeneral(std::fabs(number(name)))); }

    void tell(std::string_view name)
    {
        m_sink.message({ std::string(), refusalText(m_d.control(name).hint) });
        m_sink.focus(name);
    }

    void refuse(std::string_view name)
    {
        m_valid = false;
        tell(name);
    }

    void colour(std::string_view name, BoxColour c) { m_d.control(name).colour = c; }

    void checkFlareLaw()
    {
        if (needsWiderMouth(flareLawOf(m_d)) && number("EditAh") >= number("EditH") * number("EditB")) {
            m_valid = false;
            m_sink.message({ std::string(), std::string(kContourRefusal) });
            setFlareLaw(m_d, FlareLaw::Exponential);
        }
    }

    void setPlacementHints(const PlacementHints& h)
    {
        m_d.control("EditAbst").hint = std::string(h.abst);
        m_d.control("EditdL").hint = std::string(h.dL);
        m_d.control("EditdL2").hint = std::string(h.dL2);
        m_d.control("EditdLET").hint = std::string(h.dLET);
    }

    // Absorber chamber and extra tunnel: both sit on the horn, so a position
    // beyond its end or a horn of length 0 is refused.
    template <size_t N>
    void checkSideBranch(std::string_view onBox, std::string_view sketchBox,
        const std::array<std::string_view, N>& boxes, double L, bool beyondEnd, std::string_view positionBox)
    {
        const bool on = m_d.checked(onBox);
        m_d.control(sketchBox).enabled = on;
        if (on) {
            if (L >= 0.0 && beyondEnd)
                refuse(positionBox);
            if (L == 0.0)
                refuse("Editl1");
        }
        for (std::string_view name : boxes)
            colour(name, on ? BoxColour::Window : BoxColour::ButtonFace);
    }

    void checkDriver2(double L)
    {
        const bool used = driver2Used(driver2ModeOf(m_d));
        m_d.control("CBRK2").enabled = used;
        m_d.control("CBT2SkizzeOben").enabled = used;
        if (!used) {
            for (std::string_view name : { "EditVrk2", "EditdL2", "EditxT2" })
                colour(name, BoxColour::ButtonFace);
            return;
        }
        colour("EditxT2", BoxColour::Window);
        if (L >= 0.0 && L < number("EditxT2"))
            refuse("EditxT2");
        const bool ownChamber = m_d.checked("CBRK2");
        colour("EditVrk2", ownChamber ? BoxColour::Window : BoxColour::ButtonFace);
        colour("EditdL2", ownChamber ? BoxColour::ButtonFace : BoxColour::Window);
    }

    void normaliseAxisGrid()
    {
        for (int row = 0; row < kMinMaxRows; ++row)
            for (int col = 0; col < kMinMaxCols; ++col)
                m_d.minMaxCell(col, row) = normalisedNumberText(m_d.minMaxCell(col, row));
    }

    void normaliseOptionGrid()
    {
        std::array<int, kOptionRows> v {};
        for (int row = 0; row < kOptionRows; ++row) {
            int value = 0;
            if (!parseStrictInt(trimBlanks(m_d.optionCell(1, row)), &value))
                value = 0;
            v[static_cast<size_t>(row)] = value;
        }
        v[0] = std::clamp(v[0], kMinResolution, kMaxFrequencyPoints);
        v[1] = std::clamp(v[1], kMinResolution, kMaxContourPoints);
        for (int row = 0; row < kOptionRows; ++row)
            m_d.optionCell(1, row) = std::to_string(v[static_cast<size_t>(row)]);
    }

    Design& m_d;
    CheckSink& m_sink;
    bool m_valid = true;
};

} // namespace

std::string refusalText(std::string_view hint) { return "Eingabe " + std::string(hint) + " nicht erlaubt!"; }

std::string normalisedNumberText(std::string_view text) { return formatGeneral(parseLenient(text)); }

void fillCrossover(Design& design)
{
    CrossoverValues& x = design.crossover();
    x = CrossoverValues {};
    const double rdc = parseLenient(design.text("EditRdc"));
    for (int n = 1; n < kFwCols; ++n) {
        const auto p = static_cast<size_t>(n);
        std::string& rCell = design.fwCell(n, 1);
        std::string& cCell = design.fwCell(n, 2);
        std::string& lCell = design.fwCell(n, 3);
        x.R[p] = parseLenient(rCell);
        x.C[p] = parseLenient(cCell) * 1e-6;
        x.L[p] = parseLenient(lCell) * 0.001;

        if (x.R[p] != 0.0) {
            rCell = formatGeneral(x.R[p]);
        } else {
            rCell.clear();
            // An empty shunt position is an open branch, not a short.
            if (isShuntPosition(n) && x.C[p] == 0.0 && x.L[p] == 0.0)
                x.R[p] = rdc * 1e9;
        }
        if (x.C[p] != 0.0) {
            cCell = formatGeneral(x.C[p] * 1e6);
            x.invC[p] = 1.0 / x.C[p];
        } else {
            cCell.clear();
            x.invC[p] = 0.0;
        }
        if (x.L[p] != 0.0)
            lCell = formatGeneral(x.L[p] * 1000.0);
        else
            lCell.clear();
    }
}

bool CheckVariables(Design& design, CheckSink& sink) { return Check(design, sink).run(); }

} // namespace velumo
