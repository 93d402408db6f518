// NameStore: the names of one volume index, as bytes in large blocks.
//
// A record of the index refers to its name by a 32-bit reference (Ref): the block number in the
// high 12 bits and the offset in the block in the low 20, so a store holds at most 4096 blocks of
// 1 MiB (4 GiB of names). Reference 0 is no name. A name is stored as
//     [length byte][the name's bytes][NUL]
// with the length byte 255 for names of 255 bytes or more (their length is then counted up to
// the NUL; file names never hold a NUL). text() is a NUL-terminated string, length() its length
// without a strlen for every name a search looks at.
//
// Names are appended and never moved while the store lives; a name the index no longer uses is
// released (its bytes counted as dead), and compacting copies the names still in use into new
// blocks: the index then gives its records their new references. Nothing is hash-consed: a name
// costs its bytes plus two, where a table of equal names would cost more than the duplicates it
// saves in most trees, and filling the store needs no lock shared between threads.
//
// Blocks are shared: pointers into them (search results keep the names they report) stay valid
// while anybody holds keepAlive(); compacting releases the old blocks to their last holder.
//
// Filling in parallel: each thread appends into its own Builder (blocks of its own, references
// local to it); adopt() then takes the builder's blocks without copying, and the thread's local
// references become store references by adding the returned offset (adopt's result).
//
// Not thread-safe: the owner guards it (NTFSDriveDB's read-write lock); builders belong to one
// thread each.
#pragma once

#include <QtGlobal>

#include <cstddef>
#include <memory>
#include <vector>

class NameStore
{
public:
    using Ref = quint32;
    enum : quint32 {
        OffsetBits = 20,
        BlockSize = 1u << OffsetBits,
        OffsetMask = BlockSize - 1,
        MaxBlocks = 4096,
        LongName = 255, // the length byte of a name of 255 bytes or more
    };
    // The longest name taken whole; a longer one is cut there.
    static constexpr int MaxLength = 4096;

    // Blocks; freed when the last holder (the store, results) lets go.
    struct Blocks
    {
        std::vector<char*> starts;
        std::vector<quint32> used; // bytes taken in each block
        // Loaded blocks lie in one allocation: the first `regionBlocks` starts point into it.
        char* region = nullptr;
        std::size_t regionBlocks = 0;
        ~Blocks();
    };

    // Appends names into blocks of its own; see the header comment.
    class Builder
    {
    public:
        Builder() = default;
        Builder(Builder&&) = default;
        Builder& operator=(Builder&&) = default;
        // A reference local to this builder (block numbers from 0).
        Ref add(const char* bytes, int length);
        std::size_t bytes() const { return bytes_; }
        std::size_t blockCount() const { return blocks_.size(); }

    private:
        friend class NameStore;
        // Blocks come from malloc (the store frees them with free), so the builder does too.
        struct Free
        {
            void operator()(char* p) const;
        };
        struct Block
        {
            std::unique_ptr<char, Free> data;
            quint32 used = 0;
        };
        std::vector<Block> blocks_;
        std::size_t bytes_ = 0;
    };

    NameStore();
    NameStore(const NameStore&) = delete;
    NameStore& operator=(const NameStore&) = delete;

    Ref add(const char* bytes, int length);

    const char* text(Ref ref) const { return table_[ref >> OffsetBits] + (ref & OffsetMask) + 1; }
    int length(Ref ref) const
    {
        const char* at = table_[ref >> OffsetBits] + (ref & OffsetMask);
        const int n = static_cast<unsigned char>(*at);
        return n < int(LongName) ? n : longLength(at + 1);
    }
    // Bytes a name takes in its block.
    static std::size_t footprint(int length) { return std::size_t(length) + 2; }

    // The name of `ref` is no longer used (0 is ignored).
    void release(Ref ref)
    {
        if (ref)
            dead_ += footprint(length(ref));
    }

    // Takes the builder's blocks; a builder reference r becomes r + the result.
    Ref adopt(Builder&& builder);

    // Forgets every name (blocks go to their last holder).
    void clear();

    // Bytes of names stored (dead ones included), of dead names, and of memory taken by blocks.
    std::size_t storedBytes() const { return stored_; }
    std::size_t deadBytes() const { return dead_; }
    std::size_t blockBytes() const;
    std::size_t blockCount() const { return blocks_->starts.size(); }

    // Whether compacting would give enough back to be worth a pass over the names: the dead
    // names take more than the live ones and more than a few blocks.
    bool wantsCompaction() const { return dead_ > 4 * std::size_t(BlockSize) && dead_ * 2 > stored_; }

    // Compacting: copy(ref) for every name in use, in the order a search reads them, then
    // finish(); the old blocks stay readable until then, and afterwards for their holders.
    class Compactor
    {
    public:
        explicit Compactor(NameStore& store);
        Ref copy(Ref old);
        void finish();

    private:
        NameStore& store_;
        std::unique_ptr<NameStore> fresh_;
    };

    std::shared_ptr<const void> keepAlive() const { return blocks_; }

    // Loading: replaces everything held by blocks of used[i] bytes each (at most BlockSize), to
    // be filled by the caller at blockStart(i). Each block is followed by zero bytes, so a name
    // read from a damaged file never leads a reader past its block: a length byte reaches at
    // most 254 bytes further, and a long name ends at the zeros at the latest.
    void prepareBlocks(const std::vector<quint32>& used);
    char* blockStart(std::size_t index) { return blocks_->starts[index]; }
    quint32 blockUsed(std::size_t index) const { return blocks_->used[index]; }
    // Whether `ref` lies inside the used bytes of a block (references read from a file).
    bool isValid(Ref ref) const
    {
        const std::size_t block = ref >> OffsetBits;
        return ref != 0 && block < blocks_->used.size() && (ref & OffsetMask) < blocks_->used[block];
    }

private:
    static int longLength(const char* text);
    char* newBlock(std::size_t bytes);
    void refreshTable() { table_ = blocks_->starts.data(); }

    std::shared_ptr<Blocks> blocks_;
    char* const* table_ = nullptr;
    std::size_t stored_ = 0;
    std::size_t dead_ = 0;
    bool lastOpen_ = false; // the last block takes new names
};
