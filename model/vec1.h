// Fixed-size vectors indexed from 1, as the model numbers its variables,
// equations and database rows.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>

namespace kv {

template <class T, int N> struct Vec1 {
    std::array<T, N> Items{};

    T& operator()(int i) {
        assert(i >= 1 && i <= N);
        return Items[static_cast<std::size_t>(i - 1)];
    }
    const T& operator()(int i) const {
        assert(i >= 1 && i <= N);
        return Items[static_cast<std::size_t>(i - 1)];
    }
    static constexpr int size() { return N; }
    void fill(const T& value) { Items.fill(value); }
    auto begin() { return Items.begin(); }
    auto end() { return Items.end(); }
    auto begin() const { return Items.begin(); }
    auto end() const { return Items.end(); }
    bool operator==(const Vec1&) const = default;
};

} // namespace kv
