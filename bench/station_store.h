#pragma once

// The station of station.h put into a roster store in two transactions: everyone at once (a new file
// numbers them 1..60, as the station's swaps name them), then all the swaps at once.

#include "roster_store.h"
#include "station.h"

namespace sutograf::bench {

// Precondition: the store's file is new (or empty of people).
inline Saved storeStation(RosterStore& store, const Station& station) {
    if (Saved people = store.addPeople(station.people); !people) {
        return people;
    }
    MarkChange swaps;
    swaps.addSwaps = station.swaps;
    return store.changeMarks(swaps);
}

} // namespace sutograf::bench
