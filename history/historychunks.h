#pragma once

#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <vector>

// A sequence in fixed-size blocks: appending never moves what is stored,
// dropping from the front frees whole blocks, and the memory it holds is
// known to the block (no growth by doubling that a budget could not see).
template <typename T, int BlockSize> class HistoryChunks
{
    static_assert((BlockSize & (BlockSize - 1)) == 0, "BlockSize must be a power of two");

public:
    HistoryChunks() = default;
    HistoryChunks(HistoryChunks &&) = default;
    HistoryChunks &operator=(HistoryChunks &&) = default;
    HistoryChunks(const HistoryChunks &other) : head(other.head), count(other.count)
    {
        for (const auto &block : other.blocks) {
            blocks.emplace_back(new T[BlockSize]);
            std::copy(block.get(), block.get() + BlockSize, blocks.back().get());
        }
    }
    HistoryChunks &operator=(const HistoryChunks &other)
    {
        if (this != &other)
            *this = HistoryChunks(other);
        return *this;
    }

    qint64 size() const { return count; }
    bool isEmpty() const { return count == 0; }

    const T &operator[](qint64 index) const
    {
        const qint64 at = head + index;
        return blocks[size_t(at / BlockSize)][at & (BlockSize - 1)];
    }
    T &operator[](qint64 index)
    {
        const qint64 at = head + index;
        return blocks[size_t(at / BlockSize)][at & (BlockSize - 1)];
    }
    T &back() { return (*this)[count - 1]; }
    const T &back() const { return (*this)[count - 1]; }
    const T &front() const { return (*this)[0]; }

    // True when a new block had to be taken.
    bool append(const T &value)
    {
        const qint64 at = head + count;
        bool grew = false;
        if (size_t(at / BlockSize) == blocks.size()) {
            blocks.emplace_back(new T[BlockSize]);
            grew = true;
        }
        blocks[size_t(at / BlockSize)][at & (BlockSize - 1)] = value;
        ++count;
        return grew;
    }

    void dropFront(qint64 n)
    {
        n = qMin(n, count);
        head += n;
        count -= n;
        const size_t freed = size_t(head / BlockSize);
        if (freed > 0) {
            blocks.erase(blocks.begin(), blocks.begin() + qint64(freed));
            head -= qint64(freed) * BlockSize;
        }
    }

    // The first index whose element is not before the key (by less(element, key)).
    template <typename Key, typename Less> qint64 lowerBound(const Key &key, Less less) const
    {
        qint64 low = 0;
        qint64 high = count;
        while (low < high) {
            const qint64 mid = (low + high) / 2;
            if (less((*this)[mid], key))
                low = mid + 1;
            else
                high = mid;
        }
        return low;
    }

    qint64 bytes() const
    {
        return qint64(blocks.size()) * BlockSize * qint64(sizeof(T)) +
               qint64(blocks.capacity() * sizeof(std::unique_ptr<T[]>));
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks;
    qint64 head = 0; // index of the first element inside the first block
    qint64 count = 0;
};
