#include "search/index/NameStore.h"

#include "core/LargeMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Zero bytes after the used part of a loaded block (see prepareBlocks).
constexpr std::size_t LoadPadding = 256;

char* allocateBlock(std::size_t bytes)
{
    char* p = static_cast<char*>(std::malloc(bytes));
    if (!p)
        throw std::bad_alloc();
    return p;
}

// Writes a name at `at`: [length byte][bytes][NUL]; returns the bytes taken.
std::size_t put(char* at, const char* bytes, int length)
{
    at[0] = char(length < int(NameStore::LongName) ? length : int(NameStore::LongName));
    if (length > 0)
        std::memcpy(at + 1, bytes, std::size_t(length));
    at[1 + length] = '\0';
    return NameStore::footprint(length);
}

// A name is cut at its first NUL and at the longest length kept.
int clip(const char* bytes, int length)
{
    if (!bytes || length <= 0)
        return 0;
    if (length > NameStore::MaxLength)
        length = NameStore::MaxLength;
    if (const void* nul = std::memchr(bytes, 0, std::size_t(length)))
        length = int(static_cast<const char*>(nul) - bytes);
    return length;
}

} // namespace

NameStore::Blocks::~Blocks()
{
    for (std::size_t i = regionBlocks; i < starts.size(); ++i)
        std::free(starts[i]);
    std::free(region);
}

void NameStore::Builder::Free::operator()(char* p) const
{
    std::free(p);
}

NameStore::Ref NameStore::Builder::add(const char* bytes, int length)
{
    length = clip(bytes, length);
    const std::size_t need = footprint(length);
    if (blocks_.empty() || blocks_.back().used + need > BlockSize) {
        if (blocks_.size() >= MaxBlocks)
            throw std::bad_alloc();
        Block b;
        b.data.reset(allocateBlock(BlockSize));
        blocks_.push_back(std::move(b));
    }
    Block& b = blocks_.back();
    const Ref ref = Ref((blocks_.size() - 1) << OffsetBits) | b.used;
    b.used += quint32(put(b.data.get() + b.used, bytes, length));
    bytes_ += need;
    return ref;
}

NameStore::NameStore()
    : blocks_(std::make_shared<Blocks>())
{
    refreshTable();
}

int NameStore::longLength(const char* text)
{
    return int(std::strlen(text));
}

char* NameStore::newBlock(std::size_t bytes)
{
    if (blocks_->starts.size() >= MaxBlocks)
        throw std::bad_alloc();
    char* p = allocateBlock(bytes);
    try {
        blocks_->starts.push_back(p);
        blocks_->used.push_back(0);
    } catch (...) {
        std::free(p);
        throw;
    }
    refreshTable();
    lastOpen_ = bytes >= BlockSize;
    return p;
}

NameStore::Ref NameStore::add(const char* bytes, int length)
{
    length = clip(bytes, length);
    const std::size_t need = footprint(length);
    std::vector<quint32>& used = blocks_->used;
    if (used.empty()) {
        // Block 0 starts with a byte no reference points at: reference 0 is no name.
        newBlock(BlockSize)[0] = '\0';
        used.back() = 1;
    }
    if (!lastOpen_ || used.back() + need > BlockSize)
        newBlock(BlockSize);
    const std::size_t block = used.size() - 1;
    const Ref ref = Ref(block << OffsetBits) | used.back();
    used.back() += quint32(put(blocks_->starts.back() + used.back(), bytes, length));
    stored_ += need;
    return ref;
}

NameStore::Ref NameStore::adopt(Builder&& builder)
{
    if (blocks_->used.empty()) {
        newBlock(64)[0] = '\0'; // reference 0 again (see add)
        blocks_->used.back() = 1;
    }
    const std::size_t base = blocks_->starts.size();
    if (base + builder.blocks_.size() > MaxBlocks)
        throw std::bad_alloc();
    blocks_->starts.reserve(base + builder.blocks_.size());
    blocks_->used.reserve(base + builder.blocks_.size());
    for (Builder::Block& b : builder.blocks_) {
        blocks_->starts.push_back(b.data.release());
        blocks_->used.push_back(b.used);
    }
    if (!builder.blocks_.empty())
        lastOpen_ = true; // a builder's blocks are whole ones
    stored_ += builder.bytes_;
    builder.blocks_.clear();
    builder.bytes_ = 0;
    refreshTable();
    // Every block after the store's last one: the last block stops taking names.
    return Ref(base << OffsetBits);
}

void NameStore::clear()
{
    blocks_ = std::make_shared<Blocks>();
    refreshTable();
    stored_ = 0;
    dead_ = 0;
    lastOpen_ = false;
}

std::size_t NameStore::blockBytes() const
{
    std::size_t total = 0;
    for (quint32 used : blocks_->used)
        total += used;
    return total;
}

NameStore::Compactor::Compactor(NameStore& store)
    : store_(store)
    , fresh_(new NameStore)
{
}

NameStore::Ref NameStore::Compactor::copy(Ref old)
{
    if (old == 0)
        return 0;
    return fresh_->add(store_.text(old), store_.length(old));
}

void NameStore::Compactor::finish()
{
    store_.blocks_ = std::move(fresh_->blocks_);
    store_.refreshTable();
    store_.stored_ = fresh_->stored_;
    store_.dead_ = 0;
    store_.lastOpen_ = fresh_->lastOpen_;
    fresh_.reset();
}

void NameStore::prepareBlocks(const std::vector<quint32>& used)
{
    auto blocks = std::make_shared<Blocks>();
    if (used.size() > MaxBlocks)
        throw std::bad_alloc();
    blocks->starts.reserve(used.size());
    blocks->used.reserve(used.size());
    // One allocation for every block (each followed by its padding): a few huge pages to fault
    // in instead of a heap block and its pages per name block.
    std::size_t total = 0;
    for (quint32 u : used)
        total += std::size_t(u > BlockSize ? quint32(BlockSize) : u) + LoadPadding;
    if (total) {
        blocks->region = static_cast<char*>(allocateLarge(total));
        if (!blocks->region)
            throw std::bad_alloc();
    }
    std::size_t stored = 0;
    char* p = blocks->region;
    for (quint32 u : used) {
        const quint32 n = u > BlockSize ? quint32(BlockSize) : u;
        std::memset(p + n, 0, LoadPadding);
        blocks->starts.push_back(p);
        blocks->used.push_back(n);
        stored += n;
        p += std::size_t(n) + LoadPadding;
    }
    blocks->regionBlocks = used.size();
    blocks_ = std::move(blocks);
    refreshTable();
    stored_ = stored;
    dead_ = 0;
    lastOpen_ = false; // loaded blocks are as large as their names: new names go to a new one
}
