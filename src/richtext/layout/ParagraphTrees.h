#pragma once
// What the layout keeps per paragraph (heights, line counts, how far right, whether laid out),
// held in chunks of at most a thousand values: splitting or joining a paragraph inserts or
// removes a value in one chunk and adjusts the sums over the chunks, so an edit costs a
// chunk and a few steps up a tree, whatever the paragraph count. Only when a chunk splits
// or empties are the sums over the chunks built again, a step per chunk.
#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace zorim {

// Prefix sums over a short array (a Fenwick tree): node i sums the values (i - lowbit(i), i].
template <typename T>
struct Fenwick {
    std::vector<T> tree; // 1-based

    template <typename Get>
    void build(size_t n, Get get)
    {
        tree.assign(n + 1, T(0));
        for (size_t i = 1; i <= n; ++i) {
            tree[i] += get(i - 1);
            const size_t parent = i + (i & (~i + 1));
            if (parent <= n)
                tree[parent] += tree[i];
        }
    }
    size_t size() const { return tree.empty() ? 0 : tree.size() - 1; }
    void add(size_t i, T delta) // to value i (0-based)
    {
        for (size_t k = i + 1; k < tree.size(); k += k & (~k + 1))
            tree[k] += delta;
    }
    T before(size_t i) const // sum of values [0, i)
    {
        T sum = 0;
        for (size_t k = std::min(i, size()); k > 0; k -= k & (~k + 1))
            sum += tree[k];
        return sum;
    }
    // The most values from the start whose sum is at most y (values not negative), and in
    // *rest what of y is left past them.
    size_t countUpTo(T y, T* rest) const
    {
        const size_t n = size();
        size_t step = 1;
        while (step * 2 <= n)
            step *= 2;
        size_t pos = 0;
        for (; n > 0 && step > 0; step /= 2) {
            if (pos + step <= n && tree[pos + step] <= y) {
                pos += step;
                y -= tree[pos];
            }
        }
        *rest = y;
        return pos;
    }
};

// A sequence in chunks; Extra is what each chunk keeps about its values, made again by
// Extra::make(values) whenever the chunk's values change other than through set(), or
// brought up to date by Extra::extend(extra, values, kept, removed) when only the values from
// kept on changed (removed: some of the old ones went).
template <typename T, typename Extra>
class ChunkedValues {
public:
    static constexpr size_t kMax = 1024;  // a chunk splits past this
    static constexpr size_t kFill = 512;  // chunks made anew hold about this many
    static constexpr size_t kLeast = 128; // a smaller chunk is joined with its neighbour

    struct Chunk {
        std::vector<T> values;
        Extra extra;
    };
    // Where a splice landed: the one chunk it changed, or (reshaped) a run of new chunks
    // from first.
    struct Spliced {
        bool reshaped = false;
        size_t first = 0;
    };

    int size() const { return int(size_); }
    size_t chunkCount() const { return chunks_.size(); }
    const Chunk& chunk(size_t c) const { return chunks_[c]; }
    Chunk& chunk(size_t c) { return chunks_[c]; }
    // The chunk holding index i (0 <= i < size()) and i's place in it.
    std::pair<size_t, size_t> locate(int i) const
    {
        size_t rest = 0;
        const size_t c = counts_.countUpTo(size_t(i), &rest);
        return {c, rest};
    }
    size_t startOf(size_t c) const { return counts_.before(c); }
    const T& get(int i) const
    {
        const auto [c, o] = locate(i);
        return chunks_[c].values[o];
    }

    void assign(const std::vector<T>& values)
    {
        chunks_.clear();
        size_ = values.size();
        for (size_t from = 0; from < values.size(); from += kFill) {
            const size_t to = std::min(values.size(), from + kFill);
            Chunk chunk{std::vector<T>(values.begin() + qsizetype(from), values.begin() + qsizetype(to)), {}};
            chunk.extra = Extra::make(chunk.values);
            chunks_.push_back(std::move(chunk));
        }
        rebuildCounts();
    }

    // Replaces count values from index at with the given ones.
    Spliced splice(int at, int count, const std::vector<T>& with)
    {
        const size_t from = size_t(at);
        const size_t to = from + size_t(count);
        // The chunk holding the start (a value appended goes to the last chunk).
        const size_t c = chunks_.empty() ? 0 : from < size_ ? locate(at).first : chunks_.size() - 1;
        if (!chunks_.empty()) {
            // Within one chunk that stays neither too large nor too small: that chunk alone.
            std::vector<T>& values = chunks_[c].values;
            const size_t o = from - startOf(c);
            const size_t after = values.size() - size_t(count) + with.size();
            if (o + size_t(count) <= values.size() && after > 0 && after <= kMax
                && (after >= kLeast || chunks_.size() == 1)) {
                const bool tail = o + size_t(count) == values.size();
                values.erase(values.begin() + qsizetype(o), values.begin() + qsizetype(o + size_t(count)));
                values.insert(values.begin() + qsizetype(o), with.begin(), with.end());
                // Text arriving at the end changes a chunk's tail: what it keeps about the
                // values before stands.
                if (tail)
                    Extra::extend(chunks_[c].extra, values, o, count > 0);
                else
                    chunks_[c].extra = Extra::make(values);
                const qsizetype delta = qsizetype(with.size()) - count;
                counts_.add(c, size_t(delta)); // wraps as it should for a negative delta
                size_ = size_t(qsizetype(size_) + delta);
                return {false, c};
            }
        }
        // The chunks the change touches, with a small neighbour, gathered and cut anew.
        size_t first = c;
        size_t last = chunks_.empty() ? 0 : (count > 0 ? locate(int(to - 1)).first : c) + 1;
        const size_t start = chunks_.empty() ? 0 : startOf(first);
        std::vector<T> gathered;
        for (size_t k = first; k < last; ++k)
            gathered.insert(gathered.end(), chunks_[k].values.begin(), chunks_[k].values.end());
        const size_t lo = from - start;
        gathered.erase(gathered.begin() + qsizetype(lo), gathered.begin() + qsizetype(lo + size_t(count)));
        gathered.insert(gathered.begin() + qsizetype(lo), with.begin(), with.end());
        if (gathered.size() < kLeast && last < chunks_.size()) {
            gathered.insert(gathered.end(), chunks_[last].values.begin(), chunks_[last].values.end());
            ++last;
        }
        if (gathered.size() < kLeast && first > 0) {
            --first;
            gathered.insert(gathered.begin(), chunks_[first].values.begin(), chunks_[first].values.end());
        }
        std::vector<Chunk> made;
        const size_t pieces = (gathered.size() + kFill - 1) / kFill;
        for (size_t p = 0; p < pieces; ++p) {
            const size_t a = gathered.size() * p / pieces;
            const size_t b = gathered.size() * (p + 1) / pieces;
            Chunk chunk{std::vector<T>(gathered.begin() + qsizetype(a), gathered.begin() + qsizetype(b)), {}};
            chunk.extra = Extra::make(chunk.values);
            made.push_back(std::move(chunk));
        }
        chunks_.erase(chunks_.begin() + qsizetype(first), chunks_.begin() + qsizetype(last));
        chunks_.insert(chunks_.begin() + qsizetype(first), std::make_move_iterator(made.begin()),
                       std::make_move_iterator(made.end()));
        size_ = size_ - size_t(count) + with.size();
        rebuildCounts();
        return {true, first};
    }

private:
    void rebuildCounts()
    {
        counts_.build(chunks_.size(), [this](size_t c) { return chunks_[c].values.size(); });
    }
    std::vector<Chunk> chunks_;
    Fenwick<size_t> counts_; // values per chunk
    size_t size_ = 0;
};

// Sums over the paragraphs (heights, line counts): values by index, prefix sums and the
// index holding a sum in O(log n).
template <typename T>
class SumTree {
public:
    void assign(const std::vector<T>& values)
    {
        values_.assign(values);
        rebuildSums();
    }
    int size() const { return values_.size(); }
    T height(int i) const { return values_.get(i); }
    void set(int i, T value)
    {
        const auto [c, o] = values_.locate(i);
        auto& chunk = values_.chunk(c);
        const T delta = value - chunk.values[o];
        if (delta == 0)
            return;
        chunk.values[o] = value;
        chunk.extra.sums.add(o, delta);
        chunk.extra.sum += delta;
        sums_.add(c, delta);
    }
    T before(int i) const // sum of [0, i)
    {
        if (i <= 0)
            return 0;
        if (i >= size())
            return total();
        const auto [c, o] = values_.locate(i);
        return sums_.before(c) + values_.chunk(c).extra.sums.before(o);
    }
    T total() const { return sums_.before(sums_.size()); }
    // The index whose span [before(i), before(i + 1)) holds y, clamped to [0, size() - 1].
    int find(T y) const
    {
        if (size() == 0)
            return 0;
        T rest = 0;
        const size_t c = sums_.countUpTo(y, &rest);
        if (c >= values_.chunkCount())
            return size() - 1;
        const size_t o = values_.chunk(c).extra.sums.countUpTo(rest, &rest);
        return std::min(int(values_.startOf(c) + o), size() - 1);
    }
    // Replaces count values from index at with the given ones.
    void splice(int at, int count, const std::vector<T>& with)
    {
        if (int(with.size()) == count) {
            for (int i = 0; i < count; ++i)
                set(at + i, with[size_t(i)]);
            return;
        }
        if (count == 0 && with.empty())
            return;
        const auto spliced = values_.splice(at, count, with);
        if (spliced.reshaped) {
            rebuildSums();
            return;
        }
        const size_t c = spliced.first;
        sums_.add(c, values_.chunk(c).extra.sum - (sums_.before(c + 1) - sums_.before(c)));
    }

private:
    struct Extra {
        Fenwick<T> sums;
        T sum = 0;
        static Extra make(const std::vector<T>& values)
        {
            Extra e;
            e.sums.build(values.size(), [&](size_t i) { return values[i]; });
            for (const T& v : values)
                e.sum += v;
            return e;
        }
        static void extend(Extra& e, const std::vector<T>& values, size_t kept, bool)
        {
            // A node sums values up to its own index only: the nodes up to kept stand.
            e.sums.tree.resize(kept + 1, T(0));
            for (size_t i = kept + 1; i <= values.size(); ++i) {
                const size_t low = i & (~i + 1);
                e.sums.tree.push_back(values[i - 1] + e.sums.before(i - 1) - e.sums.before(i - low));
            }
            e.sum = e.sums.before(values.size());
        }
    };
    void rebuildSums()
    {
        sums_.build(values_.chunkCount(), [this](size_t c) { return values_.chunk(c).extra.sum; });
    }
    ChunkedValues<T, Extra> values_;
    Fenwick<T> sums_; // per chunk
};
using HeightTree = SumTree<qreal>;
using LineTree = SumTree<int>;

// The widest of the paragraphs (how far right each reaches), kept as they change: each chunk
// knows its widest, looked for again only after the paragraph that gave it narrowed or went.
class WidestTree {
public:
    void assign(size_t n)
    {
        values_.assign(std::vector<qreal>(n, 0));
        widest_ = 0;
        stale_ = false;
    }
    void set(int i, qreal value)
    {
        const auto [c, o] = values_.locate(i);
        auto& chunk = values_.chunk(c);
        const qreal old = std::exchange(chunk.values[o], value);
        if (value >= chunk.extra.widest)
            chunk.extra.widest = value;
        else if (old >= chunk.extra.widest)
            chunk.extra = Extra::make(chunk.values);
        stale_ = stale_ || (old >= widest_ && value < old);
        widest_ = std::max(widest_, value);
    }
    void splice(int at, int count, const std::vector<qreal>& with)
    {
        if (count == 0 && with.empty())
            return;
        // What goes may have been the widest: a few are looked at, many make it stale.
        if (widest_ > 0 && !stale_) {
            if (count > 64)
                stale_ = true;
            for (int i = 0; i < count && !stale_; ++i)
                stale_ = values_.get(at + i) >= widest_;
        }
        values_.splice(at, count, with);
        for (const qreal v : with)
            widest_ = std::max(widest_, v);
    }
    qreal value(int i) const { return values_.get(i); }
    qreal widest() const
    {
        if (stale_) {
            widest_ = 0;
            for (size_t c = 0; c < values_.chunkCount(); ++c)
                widest_ = std::max(widest_, values_.chunk(c).extra.widest);
            stale_ = false;
        }
        return widest_;
    }

private:
    struct Extra {
        qreal widest = 0;
        static Extra make(const std::vector<qreal>& values)
        {
            Extra e;
            for (const qreal v : values)
                e.widest = std::max(e.widest, v);
            return e;
        }
        static void extend(Extra& e, const std::vector<qreal>& values, size_t kept, bool removed)
        {
            if (removed) {
                e = make(values);
                return;
            }
            for (size_t i = kept; i < values.size(); ++i)
                e.widest = std::max(e.widest, values[i]);
        }
    };
    ChunkedValues<qreal, Extra> values_;
    mutable qreal widest_ = 0; // the widest value; while stale_, at least that
    mutable bool stale_ = false;
};

// Per paragraph: whether it is laid out at the current width.
class LaidOutMarks {
public:
    void assign(size_t n, uint8_t value) { marks_.assign(std::vector<uint8_t>(n, value)); }
    int size() const { return marks_.size(); }
    uint8_t operator[](size_t i) const { return marks_.get(int(i)); }
    void set(int i, uint8_t value)
    {
        const auto [c, o] = marks_.locate(i);
        marks_.chunk(c).values[o] = value;
    }
    void fill(int at, int count, uint8_t value)
    {
        for (int i = 0; i < count; ++i)
            set(at + i, value);
    }
    void splice(int at, int count, int newCount, uint8_t value)
    {
        marks_.splice(at, count, std::vector<uint8_t>(size_t(newCount), value));
    }
    int count() const
    {
        int n = 0;
        for (size_t c = 0; c < marks_.chunkCount(); ++c)
            n += int(std::count(marks_.chunk(c).values.begin(), marks_.chunk(c).values.end(), 1));
        return n;
    }

private:
    struct Extra {
        static Extra make(const std::vector<uint8_t>&) { return {}; }
        static void extend(Extra&, const std::vector<uint8_t>&, size_t, bool) {}
    };
    ChunkedValues<uint8_t, Extra> marks_;
};

} // namespace zorim
