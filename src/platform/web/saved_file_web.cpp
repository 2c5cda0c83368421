// The page's saved files live in the browser's local storage, one item a file, keyed by the
// file's path: the page's own file system is gone when the tab closes. An item is replaced whole
// or not at all, so nothing can be left half written.
#include "platform/saved_file.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

namespace platform {
namespace {

// A copy of the item (freed by the caller), or null when there is none or the storage is
// refused (a private window may refuse it). Anything else is a fault of the page and aborts it:
// read as "no best score", it would let the next game overwrite a higher one.
EM_JS(char*, storedItem, (const char* key), {
    let value;
    try {
        const storage = window.localStorage;
        value = storage ? storage.getItem(UTF8ToString(key)) : null;
    } catch (e) {
        if (e instanceof DOMException) {
            return 0;
        }
        throw e;
    }
    if (value == null) {
        return 0;
    }
    const size = lengthBytesUTF8(value) + 1;
    const copy = _malloc(size);
    stringToUTF8(value, copy, size);
    return copy;
});

EM_JS(int, storeItem, (const char* key, const char* value), {
    try {
        const storage = window.localStorage;
        if (!storage) {
            return 0;
        }
        storage.setItem(UTF8ToString(key), UTF8ToString(value));
        return 1;
    } catch (e) {
        if (e instanceof DOMException) {
            return 0;
        }
        throw e;
    }
});

EM_JS(void, removeItem, (const char* key), {
    try {
        window.localStorage.removeItem(UTF8ToString(key));
    } catch (e) {
    }
});

} // namespace

std::filesystem::path savedFileFolder(std::string&) {
    return "kestrilon";
}

std::optional<std::string> readSavedFile(const std::filesystem::path& path, std::size_t limit,
                                         std::string& error) {
    error.clear();
    const std::unique_ptr<char, decltype(&std::free)> item(
        storedItem(path.generic_string().c_str()), &std::free);
    if (item == nullptr) {
        return std::nullopt;
    }
    std::string contents(item.get());
    if (contents.size() > limit) {
        contents.resize(limit);
    }
    return contents;
}

bool replaceSavedFile(const std::filesystem::path& path, std::string_view contents,
                      std::string& error) {
    if (storeItem(path.generic_string().c_str(), std::string(contents).c_str()) == 0) {
        error = "the browser's local storage refused it";
        return false;
    }
    return true;
}

SavedFilesLock::SavedFilesLock(const std::filesystem::path&) {}

SavedFilesLock::~SavedFilesLock() = default;

// Nothing is written under a temporary name here.
bool removeSavedFileTemporary(const std::filesystem::path&, std::string&) {
    return true;
}

bool removeSavedFile(const std::filesystem::path& path, std::string&) {
    removeItem(path.generic_string().c_str());
    return true;
}

} // namespace platform
