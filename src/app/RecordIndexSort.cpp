#include "app/RecordIndexSort.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "app/DumpRecordFormat.h"

namespace com {
namespace quorvane {
namespace products {
namespace lumeno {

using namespace dumprecord;

namespace {

// Groups this small are sorted by comparisons.
const std::size_t smallGroup = 32;

// How many paths of a group are looked at for the bytes they all share.
const std::size_t sampleSize = 8;

// How many records ahead of the one read a pass asks for the next: the
// records lie anywhere in the file.
const std::size_t prefetchDistance = 16;

// A key per byte value, and 0 for a path that ends before the byte.
const unsigned keyCount = 257;

// Once a part is in its final order, the keys of its places say which
// offsets stay: not those of a path that the next offset has as well.
const std::uint16_t stays = 0;
const std::uint16_t repeated = 1;

class PathSort {
public:
    PathSort(std::vector<std::uint64_t>& offsets, const char* begin)
        : _offsets(offsets.data()), _keys(offsets.size()), _begin(begin) {}

    // Sorts [first, last) of the offsets, whose paths share their first
    // `depth` bytes. The larger part goes round the loop, the others are
    // sorted by a call of their own: every call has at most half the
    // records of its caller, so the calls go no deeper than log2 of the
    // count.
    void sort(std::size_t first, std::size_t last, std::uint64_t depth) {
        while (last - first > 1) {
            if (last - first < smallGroup) return sortSmall(first, last, depth);
            // Paths of one group most often share a run of bytes: what a
            // few of them share is taken for what all do, and checked while
            // the keys after it are read.
            const std::uint64_t shared =
                commonPrefix(first, last, depth, std::max<std::size_t>(1, (last - first) / sampleSize));
            if (shared > 0 && readKeysAfter(first, last, depth, shared)) {
                depth += shared;
            } else if (!readKeys(first, last, depth)) {
                // Past the bytes they share, their keys differ or some end.
                depth += commonPrefix(first, last, depth);
                readKeys(first, last, depth);
            }
            std::size_t ends[keyCount];
            distribute(first, last, ends);
            // The paths that end here are equal: the later record stays.
            sortByOffset(first, ends[0]);
            for (std::size_t i = first; i < ends[0]; ++i) _keys[i] = i + 1 < ends[0] ? repeated : stays;
            std::size_t largest = 1;
            for (unsigned key = 2; key < keyCount; ++key) {
                if (ends[key] - ends[key - 1] > ends[largest] - ends[largest - 1]) largest = key;
            }
            for (unsigned key = 1; key < keyCount; ++key) {
                if (key != largest) sort(ends[key - 1], ends[key], depth + 1);
            }
            first = ends[largest - 1];
            last = ends[largest];
            ++depth;
        }
        if (last - first == 1) _keys[first] = stays;
    }

private:
    std::string_view pathAt(std::uint64_t offset) const {
        return std::string_view(_begin + offset + lengthSize, readUint32(_begin + offset));
    }

    // Asks for the record's length and its byte at `depth`.
    void prefetch(std::uint64_t offset, std::uint64_t depth) const {
        __builtin_prefetch(_begin + offset);
        __builtin_prefetch(_begin + offset + lengthSize + depth);
    }

    unsigned keyAt(std::uint64_t offset, std::uint64_t depth) const {
        const std::uint32_t length = readUint32(_begin + offset);
        return depth < length ? static_cast<unsigned char>(_begin[offset + lengthSize + depth]) + 1u : 0u;
    }

    // Reads the key of every record of the group at `depth`; false when all
    // are the same and not the end of the path.
    bool readKeys(std::size_t first, std::size_t last, std::uint64_t depth) {
        bool differ = false;
        const unsigned firstKey = keyAt(_offsets[first], depth);
        for (std::size_t i = first; i < last; ++i) {
            if (i + prefetchDistance < last) prefetch(_offsets[i + prefetchDistance], depth);
            _keys[i] = static_cast<std::uint16_t>(keyAt(_offsets[i], depth));
            differ |= _keys[i] != firstKey;
        }
        return differ || firstKey == 0;
    }

    // Reads the key of every record of the group at `depth + shared`, once
    // each path is seen to hold the first's `shared` bytes from `depth` on;
    // false, leaving the keys to be read again, when one does not. As the
    // sample's paths part after those bytes, the keys read then differ or
    // some path ends.
    bool readKeysAfter(std::size_t first, std::size_t last, std::uint64_t depth, std::uint64_t shared) {
        const char* head = _begin + _offsets[first] + lengthSize + depth;
        for (std::size_t i = first; i < last; ++i) {
            if (i + prefetchDistance < last) {
                const std::uint64_t ahead = _offsets[i + prefetchDistance];
                prefetch(ahead, depth);
                __builtin_prefetch(_begin + ahead + lengthSize + depth + shared);
            }
            const std::uint64_t offset = _offsets[i];
            if (readUint32(_begin + offset) < depth + shared ||
                std::memcmp(_begin + offset + lengthSize + depth, head, shared) != 0) {
                return false;
            }
            _keys[i] = static_cast<std::uint16_t>(keyAt(offset, depth + shared));
        }
        return true;
    }

    // How many bytes from `depth` on the paths of the group, every `step`-th
    // of them, share with the first: with a step of 1 the bytes all share.
    std::uint64_t commonPrefix(std::size_t first, std::size_t last, std::uint64_t depth,
                               std::size_t step = 1) const {
        const std::string_view head = pathAt(_offsets[first]).substr(depth);
        std::uint64_t common = head.size();
        for (std::size_t i = first + step; i < last && common > 0; i += step) {
            if (i + prefetchDistance * step < last) prefetch(_offsets[i + prefetchDistance * step], depth);
            const std::string_view path = pathAt(_offsets[i]).substr(depth, common);
            common = static_cast<std::uint64_t>(
                std::mismatch(path.begin(), path.end(), head.begin()).first - path.begin());
        }
        return common;
    }

    // Puts the group's offsets in the order of their keys; `ends[key]` is
    // the end of the part of `key`.
    void distribute(std::size_t first, std::size_t last, std::size_t* ends) {
        std::size_t next[keyCount] = {};
        for (std::size_t i = first; i < last; ++i) ++next[_keys[i]];
        std::size_t position = first;
        for (unsigned key = 0; key < keyCount; ++key) {
            const std::size_t count = next[key];
            next[key] = position;
            position += count;
            ends[key] = position;
        }
        for (unsigned key = 0; key < keyCount; ++key) {
            while (next[key] < ends[key]) {
                std::uint64_t offset = _offsets[next[key]];
                std::uint16_t moving = _keys[next[key]];
                while (moving != key) {
                    const std::size_t to = next[moving]++;
                    std::swap(offset, _offsets[to]);
                    std::swap(moving, _keys[to]);
                }
                _offsets[next[key]] = offset;
                _keys[next[key]++] = moving;
            }
        }
    }

    void sortSmall(std::size_t first, std::size_t last, std::uint64_t depth) {
        std::sort(_offsets + first, _offsets + last, [this, depth](std::uint64_t a, std::uint64_t b) {
            const int order = pathAt(a).substr(depth).compare(pathAt(b).substr(depth));
            return order < 0 || (order == 0 && a < b);
        });
        for (std::size_t i = first; i < last; ++i) {
            _keys[i] = i + 1 < last && pathAt(_offsets[i]) == pathAt(_offsets[i + 1]) ? repeated : stays;
        }
    }

    void sortByOffset(std::size_t first, std::size_t last) { std::sort(_offsets + first, _offsets + last); }

public:
    // Keeps the offsets that stay, in their order; how many.
    std::size_t dropRepeated(std::size_t count) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (_keys[i] == stays) _offsets[kept++] = _offsets[i];
        }
        return kept;
    }

private:

    std::uint64_t* _offsets;
    std::vector<std::uint16_t> _keys;
    const char* _begin;
};

}  // namespace

void sortByPath(std::vector<std::uint64_t>& offsets, const char* begin) {
    PathSort sort(offsets, begin);
    sort.sort(0, offsets.size(), 0);
    offsets.resize(sort.dropRepeated(offsets.size()));
}

}  // namespace lumeno
}  // namespace products
}  // namespace quorvane
}  // namespace com
