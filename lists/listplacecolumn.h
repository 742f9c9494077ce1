#pragma once

class QTableView;

namespace ListPlaceColumn {

// Widens the "# on list" column of view to its title and to the digits of places, the size of the list it
// shows; a column the user made wider stays as it is. What it grows by comes off the column after it as far as
// the columns would otherwise no longer fit the table.
void fit(QTableView *view, int column, int places);

} // namespace ListPlaceColumn
