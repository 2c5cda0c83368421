// The table in an SQLite file, in write-ahead-log mode: readers never wait for the writer, and a
// committed entry survives the process. One connection per thread in use, each with its
// statements prepared once.
#pragma once

#include "table/storage.h"

#include <filesystem>
#include <memory>

namespace table {

std::unique_ptr<Storage> openSqliteStorage(const std::filesystem::path& file);

} // namespace table
