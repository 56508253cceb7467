// Storage for the many small objects of a workbook that all have the same size (cells,
// compiled formulas; slots are aligned for pointers and doubles): slabs of 256 KiB carved
// into slots, instead of one allocation per object. A slot costs no allocation header,
// objects made one after the other lie side by side, and freeing one is a push on its
// slab's list of free slots. A slab whose objects are all gone is given back (one kept
// aside for the next allocations), so that closing a large workbook returns its memory.
#pragma once

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>
#include <thread>

#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_SLAB_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_SLAB_ASAN 1
#endif
#endif
#ifdef VELMORA_SLAB_ASAN
#include <sanitizer/asan_interface.h>
#include <sanitizer/lsan_interface.h>
#endif

namespace sheet {

class SlabPool
{
public:
    static constexpr std::size_t kSlabBytes = 256 * 1024;
    static constexpr std::size_t kRegionBytes = 2 * 1024 * 1024;
    static constexpr std::size_t kSlabsPerRegion = kRegionBytes / kSlabBytes;

    explicit SlabPool(std::size_t slotSize)
        : m_slotSize((std::max(slotSize, sizeof(void *)) + alignof(void *) - 1) / alignof(void *) * alignof(void *)),
          m_slotsPerSlab(std::uint32_t((kSlabBytes - sizeof(Slab)) / m_slotSize))
    { }
    SlabPool(const SlabPool &) = delete;
    SlabPool &operator=(const SlabPool &) = delete;
    ~SlabPool()
    {
        // Objects still alive at exit (static ones) keep their slabs.
        if (m_spare)
            dropSlab(m_spare);
    }

    void *allocate()
    {
        Guard guard(m_lock);
        Slab *slab = m_open;
        if (!slab) {
            slab = m_spare ? m_spare : newSlab();
            m_spare = nullptr;
            link(slab);
        }
        void *slot;
        if (slab->freeSlots) {
            slot = slab->freeSlots;
            setPoisoned(slot, m_slotSize, false);
            slab->freeSlots = *static_cast<void **>(slot);
        } else {
            slot = reinterpret_cast<char *>(slab) + sizeof(Slab) + std::size_t(slab->carved++) * m_slotSize;
            setPoisoned(slot, m_slotSize, false);
        }
        if (++slab->live == m_slotsPerSlab)
            unlink(slab); // full: no longer offered
        ++m_live;
        return slot;
    }

    void release(void *slot)
    {
        if (!slot)
            return;
        Guard guard(m_lock);
        Slab *slab = slabOf(slot);
        assert(slab->pool == this);
        *static_cast<void **>(slot) = slab->freeSlots;
        slab->freeSlots = slot;
        setPoisoned(slot, m_slotSize, true);
        if (slab->live-- == m_slotsPerSlab)
            link(slab); // was full: has room again
        --m_live;
        if (slab->live == 0) {
            unlink(slab);
            if (m_spare) {
                dropSlab(slab);
                --m_slabs;
            } else {
                m_spare = reset(slab);
            }
        }
    }

    // Objects alive, and slabs holding them (for tests and measurements).
    std::size_t liveCount() const
    {
        Guard guard(m_lock);
        return m_live;
    }
    std::size_t slabCount() const
    {
        Guard guard(m_lock);
        return m_slabs;
    }
    std::size_t slotsPerSlab() const { return m_slotsPerSlab; }

private:
    struct alignas(std::max_align_t) Slab
    {
        SlabPool *pool;
        Slab *prev;
        Slab *next;
        void *freeSlots; // slots given back, linked through their first word
        std::uint32_t carved; // slots handed out from the untouched end so far
        std::uint32_t live;
    };
    // A spin lock: the pool is used by one thread at a time in practice, and taking an
    // uncontended one costs one atomic exchange.
    class Guard
    {
    public:
        explicit Guard(std::atomic<bool> &lock) : m_lock(lock)
        {
            while (m_lock.exchange(true, std::memory_order_acquire))
                std::this_thread::yield();
        }
        ~Guard() { m_lock.store(false, std::memory_order_release); }

    private:
        std::atomic<bool> &m_lock;
    };

    static Slab *slabOf(void *slot)
    {
        return reinterpret_cast<Slab *>(reinterpret_cast<std::uintptr_t>(slot) & ~std::uintptr_t(kSlabBytes - 1));
    }
    // Slabs are mapped from the system, aligned to their size so that a slot finds its
    // slab by its address. A pool that has grown past a few slabs maps them eight at a time,
    // as one region of 2 MiB the kernel may back with a huge page: a large workbook then
    // costs one page fault per 2 MiB instead of one per 4 KiB (the small ones keep small
    // mappings, and a slab given back is unmapped alone either way).
    Slab *newSlab()
    {
        if (m_regionLeft == 0) {
            const bool grown = m_slabs >= kSlabsPerRegion;
            const std::size_t bytes = grown ? kRegionBytes : kSlabBytes;
            m_region = mapAligned(bytes);
            m_regionLeft = bytes / kSlabBytes;
#ifdef MADV_HUGEPAGE
            if (grown)
                ::madvise(reinterpret_cast<void *>(m_region), bytes, MADV_HUGEPAGE); // only a hint
#endif
        }
        const std::uintptr_t aligned = m_region;
        m_region += kSlabBytes;
        --m_regionLeft;
        ++m_slabs;
#ifdef VELMORA_SLAB_ASAN
        // The leak checker looks for pointers in the heap, not in memory mapped apart: what
        // only objects of a slab point to (a cell's text, its lookups) would seem leaked.
        __lsan_register_root_region(reinterpret_cast<void *>(aligned), kSlabBytes);
#endif
        return reset(reinterpret_cast<Slab *>(aligned));
    }
    // `bytes` mapped at an address aligned to `bytes`: twice the size is mapped, and what
    // lies outside the aligned block given back. (Aligned blocks from the heap would leave
    // a gap before each.)
    static std::uintptr_t mapAligned(std::size_t bytes)
    {
        void *raw = ::mmap(nullptr, 2 * bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED)
            throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(raw);
        const std::uintptr_t aligned = (start + bytes - 1) & ~std::uintptr_t(bytes - 1);
        if (aligned > start)
            unmap(raw, aligned - start);
        if (const std::uintptr_t after = start + 2 * bytes - (aligned + bytes))
            unmap(reinterpret_cast<void *>(aligned + bytes), after);
        return aligned;
    }
    static void dropSlab(Slab *slab)
    {
#ifdef VELMORA_SLAB_ASAN
        __lsan_unregister_root_region(slab, kSlabBytes);
#endif
        unmap(slab, kSlabBytes);
    }
    static void unmap(void *at, std::size_t bytes)
    {
        setPoisoned(at, bytes, false); // whatever is mapped there next starts clean
        ::munmap(at, bytes);
    }
    Slab *reset(Slab *slab)
    {
        *slab = Slab{this, nullptr, nullptr, nullptr, 0, 0};
        setPoisoned(slab + 1, kSlabBytes - sizeof(Slab), true);
        return slab;
    }
    // Under the address sanitizer, slots not handed out are out of bounds, so that a use of
    // an object after it was freed is caught as it would be with one allocation each.
    static void setPoisoned(void *at, std::size_t bytes, bool poisoned)
    {
#ifdef VELMORA_SLAB_ASAN
        if (poisoned)
            __asan_poison_memory_region(at, bytes);
        else
            __asan_unpoison_memory_region(at, bytes);
#else
        (void)at, (void)bytes, (void)poisoned;
#endif
    }
    // The slabs with room form a list headed by m_open.
    void link(Slab *slab)
    {
        slab->prev = nullptr;
        slab->next = m_open;
        if (m_open)
            m_open->prev = slab;
        m_open = slab;
    }
    void unlink(Slab *slab)
    {
        if (slab->prev)
            slab->prev->next = slab->next;
        else if (m_open == slab)
            m_open = slab->next;
        if (slab->next)
            slab->next->prev = slab->prev;
        slab->prev = slab->next = nullptr;
    }
    const std::size_t m_slotSize;
    const std::uint32_t m_slotsPerSlab;
    mutable std::atomic<bool> m_lock{false};
    Slab *m_open = nullptr;
    Slab *m_spare = nullptr;
    std::size_t m_live = 0;
    std::size_t m_slabs = 0;
    std::uintptr_t m_region = 0; // the next slab of the region last mapped
    std::size_t m_regionLeft = 0; // slabs of it not handed out yet
};

// A base giving T (8-byte aligned) its own pool: every `new T` takes a slot of it. The pool
// is never destroyed, so that objects of statics that outlive main still go back to it.
template<typename T>
struct SlabAllocated
{
    static SlabPool &slabPool()
    {
        static SlabPool &pool = *new SlabPool(sizeof(T));
        return pool;
    }
    static void *operator new(std::size_t size)
    {
        static_assert(alignof(T) <= alignof(void *));
        assert(size == sizeof(T));
        (void)size;
        return slabPool().allocate();
    }
    static void operator delete(void *object) { slabPool().release(object); }
};

} // namespace sheet
