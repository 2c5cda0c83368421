#include "runtime/rt_string.h"

#include "platform/clock.h"
#include "platform/debug_output.h"
#include "prompt/prompt_window.h"
#include "runtime/random_source.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

// "An unknown string was about to be released." in Shift-JIS, as the debug channel has it.
constexpr char kUnknownStringMessage[] =
    "\x96\xa2\x92\x6d\x82\xcc\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x89\xf0\x95\xfa\x82\xb3\x82\xea"
    "\x82\xe6\x82\xa4\x82\xc6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\r\n";

std::mutex runtimeLock;
// Live strings in creation order. A release searches it front to back; the game keeps only a
// few dozen strings alive, so the linear search stays cheap.
std::vector<RtString> registry;

char* blockOf(RtString s) {
    return s - sizeof(std::int32_t);
}

void freeBlock(RtString s) {
    std::free(blockOf(s));
}

} // namespace

void runtimeInit() {
    {
        std::lock_guard lock(runtimeLock);
        for (RtString s : registry) {
            freeBlock(s);
        }
        registry.clear();
    }
    RandomSource::seed = 1;
}

RtString stringAlloc(std::int32_t length) {
    length = std::max(length, 0);
    auto* block = static_cast<char*>(std::calloc(static_cast<std::size_t>(length) + 5, 1));
    if (block == nullptr) {
        std::abort();
    }
    std::memcpy(block, &length, sizeof length);
    RtString s = block + sizeof length;
    std::lock_guard lock(runtimeLock);
    registry.push_back(s);
    return s;
}

void stringRelease(RtString s) {
    {
        std::lock_guard lock(runtimeLock);
        auto found = std::find(registry.begin(), registry.end(), s);
        if (found != registry.end()) {
            registry.erase(found);
            freeBlock(s);
            return;
        }
    }
    if (s != nullptr) {
        platform::debugOutput({kUnknownStringMessage, sizeof kUnknownStringMessage - 1});
    }
}

std::int32_t stringLength(RtString s) {
    std::int32_t length = 0;
    std::memcpy(&length, blockOf(s), sizeof length);
    return length;
}

RtString stringFromText(const char* text) {
    const auto length = static_cast<std::int32_t>(std::strlen(text));
    RtString s = stringAlloc(length);
    std::memcpy(s, text, static_cast<std::size_t>(length));
    return s;
}

RtString stringCopy(RtString s) {
    const std::int32_t length = stringLength(s);
    RtString copy = stringAlloc(length);
    std::memcpy(copy, s, static_cast<std::size_t>(length));
    return copy;
}

RtString stringConcat(RtString left, RtString right) {
    const std::int32_t leftLength = stringLength(left);
    const std::int32_t rightLength = stringLength(right);
    RtString joined = stringAlloc(leftLength + rightLength);
    std::memcpy(joined, left, static_cast<std::size_t>(leftLength));
    std::memcpy(joined + leftLength, right, static_cast<std::size_t>(rightLength));
    stringRelease(left);
    stringRelease(right);
    return joined;
}

int stringCompare(RtString left, RtString right) {
    const std::int32_t leftLength = stringLength(left);
    const std::int32_t rightLength = stringLength(right);
    const int bytes =
        std::memcmp(left, right, static_cast<std::size_t>(std::min(leftLength, rightLength)));
    int result = 2;
    if (bytes != 0) {
        result = bytes < 0 ? 1 : 3;
    } else if (leftLength != rightLength) {
        result = leftLength < rightLength ? 1 : 3;
    }
    stringRelease(left);
    stringRelease(right);
    return result;
}

RtString stringMid(RtString s, std::int32_t start, std::int32_t count) {
    const std::int64_t offset = static_cast<std::int64_t>(start) - 1;
    const std::int32_t length = stringLength(s);
    RtString result = nullptr;
    if (offset < 0 || offset >= length || count < 0) {
        result = stringAlloc(0);
    } else {
        const auto rest = static_cast<std::int32_t>(length - offset);
        if (count == 0 || count > rest) {
            count = rest;
        }
        result = stringAlloc(count);
        std::memcpy(result, s + offset, static_cast<std::size_t>(count));
    }
    stringRelease(s);
    return result;
}

RtString stringFromByte(std::uint8_t code) {
    RtString s = stringAlloc(1);
    s[0] = static_cast<char>(code);
    return s;
}

int stringFirstByte(RtString s) {
    const int first = static_cast<unsigned char>(s[0]);
    stringRelease(s);
    return first;
}

void stringAssign(RtString& variable, RtString value) {
    stringRelease(variable);
    variable = value;
}

RtString readLastKey() {
    const std::uint8_t key = promptWindow.lastKey.exchange(0);
    return key != 0 ? stringFromByte(key) : stringAlloc(0);
}

void waitForKey(std::uint32_t pollMs) {
    platform::sleepUntilChanged(promptWindow.lastKey, 0, pollMs);
}

std::int32_t stringCount() {
    std::lock_guard lock(runtimeLock);
    return static_cast<std::int32_t>(registry.size());
}

std::vector<RtString> liveStrings() {
    std::lock_guard lock(runtimeLock);
    return registry;
}
