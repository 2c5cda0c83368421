// The table in PostgreSQL, for several servers behind one load balancer: the code is unique in
// the database itself and every rank is counted there, so each server answers alike. One
// connection per thread in use, each with its statements prepared once; the schema is made or
// upgraded under an advisory lock, so servers starting together do it once.
#pragma once

#include "table/storage.h"

#include <memory>
#include <string>

namespace table {

// `url`: a libpq connection string, "postgresql://user@host/db" or "host=... dbname=...".
std::unique_ptr<Storage> openPostgresStorage(const std::string& url);

} // namespace table
