// GraphNotice: the last response-graph edit a page was handed by the main window.
#pragma once

namespace velmar {

// Kept by the Input, Output and Graphic EQ pages so the main window's routing can be observed.
struct GraphNotice {
    int index = -1;   // band or filter index as the graph reported it
    int channel = -1; // channel of the curve set the edit was made on
    int count = 0;    // notices received so far
};

} // namespace velmar
