// The context menu of a field with a history: the line edit's own actions, then one that
// empties the history (the typed text stays), so that a path a person no longer wants can go.
#pragma once

class QComboBox;

namespace app {

void offerHistoryClearing(QComboBox* box);

} // namespace app
