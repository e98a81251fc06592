#pragma once
// The seven graph windows on their own, drawn from the colour slots and the
// design by the program's own drawing code: the report's graph pictures need
// no window of the program.

#include "Design.h"
#include "GraphSet.h"

namespace velumo {

class ResultSlots;

class GraphsView {
public:
    // Draws every graph; a resize draws them again at the new size.
    GraphsView(const Design& design, const ResultSlots& results);
    GraphsView(const GraphsView&) = delete;
    GraphsView& operator=(const GraphsView&) = delete;

    GraphWindow& window(WindowId graph) { return m_graphs.window(graph); }

private:
    Design m_design; // a copy: the automatic limits are written into it
    const ResultSlots& m_results;
    GraphSet m_graphs;
};

} // namespace velumo
