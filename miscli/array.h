#pragma once
// 1-based, column-major arrays: element (i, j) of an Array2 with leading
// dimension n1 lies at (i - 1) + n1 * (j - 1), as the dive table and the
// grids are laid out. Storage is allocated once, when the owner is made.
#include <algorithm>
#include <cassert>
#include <cstddef>
#include <span>
#include <vector>

namespace miscli {

template <class T>
class Array1 {
public:
    Array1() = default;
    explicit Array1(int n, T fill = T{}) : data_(static_cast<std::size_t>(n), fill) {}
    T& operator()(int i) { assert(i >= 1 && i <= size()); return data_[i - 1]; }
    const T& operator()(int i) const { assert(i >= 1 && i <= size()); return data_[i - 1]; }
    int size() const { return static_cast<int>(data_.size()); }
    std::span<T> span() { return data_; }
    std::span<const T> span() const { return data_; }
    void fill(T v) { std::fill(data_.begin(), data_.end(), v); }
    // n elements: those kept keep their values, new ones get `fill`.
    void resize(int n, T fill) { data_.resize(static_cast<std::size_t>(n), fill); }

private:
    std::vector<T> data_;
};

template <class T>
class Array2 {
public:
    Array2() = default;
    Array2(int n1, int n2, T fill = T{})
        : n1_(n1), n2_(n2), data_(static_cast<std::size_t>(n1) * n2, fill) {}
    T& operator()(int i, int j) { return data_[index(i, j)]; }
    const T& operator()(int i, int j) const { return data_[index(i, j)]; }
    int dim1() const { return n1_; }
    int dim2() const { return n2_; }
    // Column j (1-based) as a 0-based span of dim1() elements.
    std::span<T> column(int j) { return {data_.data() + index(1, j), static_cast<std::size_t>(n1_)}; }
    std::span<const T> column(int j) const { return {data_.data() + index(1, j), static_cast<std::size_t>(n1_)}; }
    void fill(T v) { std::fill(data_.begin(), data_.end(), v); }

private:
    std::size_t index(int i, int j) const {
        assert(i >= 1 && i <= n1_ && j >= 1 && j <= n2_);
        return static_cast<std::size_t>(i - 1) + static_cast<std::size_t>(n1_) * (j - 1);
    }
    int n1_ = 0, n2_ = 0;
    std::vector<T> data_;
};

template <class T>
class Array3 {
public:
    Array3() = default;
    Array3(int n1, int n2, int n3, T fill = T{})
        : n1_(n1), n2_(n2), n3_(n3), data_(static_cast<std::size_t>(n1) * n2 * n3, fill) {}
    T& operator()(int i, int j, int k) { return data_[index(i, j, k)]; }
    const T& operator()(int i, int j, int k) const { return data_[index(i, j, k)]; }
    int dim1() const { return n1_; }
    int dim2() const { return n2_; }
    int dim3() const { return n3_; }
    // Column (., j, k) as a 0-based span of dim1() elements.
    std::span<T> column(int j, int k) { return {data_.data() + index(1, j, k), static_cast<std::size_t>(n1_)}; }
    std::span<const T> column(int j, int k) const { return {data_.data() + index(1, j, k), static_cast<std::size_t>(n1_)}; }
    void fill(T v) { std::fill(data_.begin(), data_.end(), v); }

private:
    std::size_t index(int i, int j, int k) const {
        assert(i >= 1 && i <= n1_ && j >= 1 && j <= n2_ && k >= 1 && k <= n3_);
        return static_cast<std::size_t>(i - 1) +
               static_cast<std::size_t>(n1_) * ((j - 1) + static_cast<std::size_t>(n2_) * (k - 1));
    }
    int n1_ = 0, n2_ = 0, n3_ = 0;
    std::vector<T> data_;
};

}  // namespace miscli
