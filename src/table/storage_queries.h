// The statements every storage engine prepares, by the same names: each engine's file holds its
// own SQL for them, in this order, so a query added for one engine is missed by no other.
#pragma once

namespace table {

enum Query {
    insertGame,
    gameByCode,
    gameById,
    pageOfGames,
    pageOfDay,
    countVisible,
    countOfDay,
    hide,
    schemaVersion,
    setSchemaVersion,
    kQueries
};

} // namespace table
