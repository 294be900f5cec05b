// The "Plot" context menu of a table whose rows hold values: the inspector, the
// Sentences dock's field view and the AIS target details share it.
#pragma once

#include <functional>

class QAbstractItemView;

// `canPlot(row)` enables the entry for the row under the mouse; `plot(row)` runs
// when it is chosen.
void addPlotMenu(QAbstractItemView* view, std::function<bool(int)> canPlot,
                 std::function<void(int)> plot);
