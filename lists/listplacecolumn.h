#pragma once

class QTableView;

namespace ListPlaceColumn {

// Widens the "# on list" column of view to its title and to the digits of places, the size of the list it
// shows; a column the user made wider stays as it is. What it grows by comes off the column after it as far as
// the columns would otherwise no longer fit the table.
void fit(QTableView *view, int column, int places);

// When the rows of view are sorted by column, sorts them again: the places the column shows follow the
// current favourite list, and a table sorted by them reads in order after that list changed or another
// took its place. Any other sort is left as it stands. Done at the next turn of the event loop.
void resort(QTableView *view, int column);

} // namespace ListPlaceColumn
