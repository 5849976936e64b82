// A set of up to 32 enumeration values kept as a bit mask (bit number = the value's ordinal),
// as the node state, node options and control options use them.
#pragma once

#include <cstdint>
#include <initializer_list>

template <class E>
class TSmallSet {
public:
    constexpr TSmallSet() = default;
    constexpr TSmallSet(std::initializer_list<E> items) {
        for (E e : items) bits_ |= Mask(e);
    }
    static constexpr TSmallSet FromBits(uint32_t bits) {
        TSmallSet s;
        s.bits_ = bits;
        return s;
    }

    constexpr uint32_t Bits() const { return bits_; }
    constexpr bool Has(E e) const { return (bits_ & Mask(e)) != 0; }
    constexpr bool HasAny(TSmallSet other) const { return (bits_ & other.bits_) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }

    constexpr TSmallSet operator+(E e) const { return FromBits(bits_ | Mask(e)); }
    constexpr TSmallSet operator-(E e) const { return FromBits(bits_ & ~Mask(e)); }
    constexpr TSmallSet operator+(TSmallSet o) const { return FromBits(bits_ | o.bits_); }
    constexpr TSmallSet operator-(TSmallSet o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr TSmallSet operator*(TSmallSet o) const { return FromBits(bits_ & o.bits_); }
    TSmallSet& operator+=(E e) { bits_ |= Mask(e); return *this; }
    TSmallSet& operator-=(E e) { bits_ &= ~Mask(e); return *this; }
    constexpr bool operator==(const TSmallSet&) const = default;

private:
    static constexpr uint32_t Mask(E e) { return uint32_t(1) << static_cast<unsigned>(e); }
    uint32_t bits_ = 0;
};
