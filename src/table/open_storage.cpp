#include "table/postgres/postgres_storage.h"
#include "table/sqlite/sqlite_storage.h"
#include "table/storage.h"

#include <system_error>

namespace table {

std::unique_ptr<Storage> openStorage(const std::string& folder, const std::string& url) {
    if (!url.empty()) {
        return openPostgresStorage(url);
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        throw StorageError("cannot make the folder " + folder + ": " + error.message());
    }
    return openSqliteStorage(std::filesystem::path(folder) / "table.db");
}

} // namespace table
